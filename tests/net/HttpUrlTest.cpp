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
      {"https://host/a.jpg", true, "https", "host", 443, "/a.jpg"},
      {"HTTPS://host:8443", true, "https", "host", 8443, "/"},
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

// Redirect locations and picture references of today's web.
TEST(HttpUrl, ResolvesReferencesAgainstABase) {
  const std::string B = "https://h:8443/a/b/page.html?q=1#top";
  const struct {
    const char* Reference;
    const char* Expected;
  } Cases[] = {
      {"http://other/x.jpg", "http://other/x.jpg"},
      {"HTTPS://other/./y/../x.jpg", "HTTPS://other/x.jpg"},
      {"//cdn.example/p.jpg", "https://cdn.example/p.jpg"},
      {"/root.jpg", "https://h:8443/root.jpg"},
      {"/../../up.jpg", "https://h:8443/up.jpg"},
      {"c.jpg", "https://h:8443/a/b/c.jpg"},
      {"./c.jpg?x=/y", "https://h:8443/a/b/c.jpg?x=/y"},
      {"../c.jpg", "https://h:8443/a/c.jpg"},
      {"../../../../c.jpg", "https://h:8443/c.jpg"},
      {"?r=2", "https://h:8443/a/b/page.html?r=2"},
      {"", "https://h:8443/a/b/page.html?q=1"},
      {"#f", "https://h:8443/a/b/page.html?q=1#f"},
      {"file:///etc/passwd", "file:///etc/passwd"},
      {"javascript:alert(1)", "javascript:alert(1)"},
      {"a:b/c", "a:b/c"},                   // a scheme of its own
      {"1a:b", "https://h:8443/a/b/1a:b"},  // not a scheme: a path
  };
  for (const auto& C : Cases)
    EXPECT_EQ(ResolveReference(B, C.Reference), C.Expected) << C.Reference;
  // A base without a path or with a query only.
  EXPECT_EQ(ResolveReference("http://h", "x.jpg"), "http://h/x.jpg");
  EXPECT_EQ(ResolveReference("http://h?q=/a/b", "x.jpg"), "http://h/x.jpg");
  EXPECT_EQ(ResolveReference("http://h", "/x.jpg"), "http://h/x.jpg");
  // A long reference is resolved whole, in time linear in its length.
  const std::string Long(100000, 'a');
  EXPECT_EQ(ResolveReference("http://h/d/", Long), "http://h/d/" + Long);

  EXPECT_EQ(AddressScheme("HtTp+X.-1://a"), "http+x.-1");
  EXPECT_EQ(AddressScheme("/a:b"), "");
  EXPECT_EQ(AddressScheme("a/b:c"), "");
  EXPECT_EQ(AddressScheme(":x"), "");
}

}  // namespace
}  // namespace lumora
