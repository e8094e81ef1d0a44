#include "net/HttpUrl.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(HttpUrl, CutsAddressesIntoRequestParts) {
  struct TCase {
    const char* Address;
    bool Usable;
    const char* Scheme;
    const char* Host;
    int Port;
    const char* Target;
  } Cases[] = {
      {"http://host", true, "http", "host", 80, "/"},
      {"HTTP://Host.Example/dir/a.jpg", true, "http", "Host.Example", 80, "/dir/a.jpg"},
      {"http://host:8080/x?y=1", true, "http", "host", 8080, "/x?y=1"},
      {"http://host:/x", true, "http", "host", 80, "/x"},
      {"http://host?q", true, "http", "host", 80, "/?q"},
      {"http://host/a#frag", true, "http", "host", 80, "/a"},
      {"http://u:p@host:81/", true, "http", "host", 81, "/"},
      {"http://[::1]:8080/v", true, "http", "::1", 8080, "/v"},
      {"http://host/a b\"<>\\^`{|}\x01\x7F\xFF%41", true, "http", "host", 80,
       "/a%20b%22%3C%3E%5C%5E%60%7B%7C%7D%01%7F%FF%41"},
      {"http://host:0/", false, "http", "host", 80, "/"},
      {"http://host:65536/", false, "http", "host", 80, "/"},
      {"http://host:8x/", false, "http", "host", 80, "/"},
      {"http:///path", false, "http", "", 80, "/path"},
      {"http://ho st/", false, "http", "ho st", 80, "/"},
      {"http://[::1/", false, "http", "::1", 80, "/"},
      {"www.example.com/a.jpg", false, "", "", 80, ""},
      {"", false, "", "", 80, ""},
  };
  for (const auto& C : Cases) {
    THttpUrl U;
    EXPECT_EQ(ParseHttpUrl(C.Address, U), C.Usable) << C.Address;
    EXPECT_EQ(U.Scheme, C.Scheme) << C.Address;
    EXPECT_EQ(U.Host, C.Host) << C.Address;
    if (C.Usable) {
      EXPECT_EQ(U.Port, C.Port) << C.Address;
    }
    if (*C.Target) {
      EXPECT_EQ(U.Target, C.Target) << C.Address;
    }
  }
}

}  // namespace
}  // namespace lumora
