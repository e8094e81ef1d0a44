// What the client tells of a reply's Content-Type and sends as Referer, one
// contract for both back ends (libcurl natively, WinHTTP under Wine), checked
// against the loopback server and its request log.

#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "net/HttpClient.h"

namespace lumora {
namespace {

using test::ServerBase;
using test::ServerLog;
using test::UniquePrefix;

// The media type alone, lower-cased, for GET and HEAD alike; nothing for a
// reply without one or with one no registry holds (over 255 bytes), while a
// 100 KB header of parameters after a real type still gives that type.
TEST(ReplyContentType, IsTheMediaTypeOfTheReplyOnBothBackEnds) {
  const struct {
    const char* Sent;  // as the /type/ route takes it
    std::string Type;
  } Cases[] = {
      {"image%2Fjpeg", "image/jpeg"},
      {"Image%2FPNG%3B%20charset%3Dbinary", "image/png"},
      {"text%2Fhtml%3Bcharset%3Dutf-8", "text/html"},
      {"%20image%2Fwebp%20%20%3B", "image/webp"},
      {"-", ""},
      {"~100000", "image/png"},
      {"^249", "image/" + std::string(249, 'a')},
      {"^250", ""},
  };
  const std::string Tag = UniquePrefix();
  THttpSession Session;
  for (const auto& C : Cases) {
    const std::string Address = ServerBase() + Tag + "/type/" + C.Sent + "/10/x";
    THttpClient Client(Session);
    Client.Head(Address);
    EXPECT_EQ(Client.ContentType(), C.Type) << "HEAD " << C.Sent;
    EXPECT_EQ(Client.Get(Address).size(), 10u) << C.Sent;
    EXPECT_EQ(Client.ContentType(), C.Type) << "GET " << C.Sent;
  }
}

TEST(ReplyContentType, IsKeptForAnErrorReplyAndAfterRedirects) {
  const std::string Tag = UniquePrefix();
  THttpClient Client;
  EXPECT_THROW(Client.Get(ServerBase() + Tag + "/status/404/x"), EHttpError);
  EXPECT_EQ(Client.ContentType(), "application/octet-stream");
  Client.SetTodaysWeb(true);
  std::string Seen;
  Client.Get(ServerBase() + Tag + "/hops/2/type/image%2Fgif/5/x", [&](const char*, std::size_t) {
    Seen = Client.ContentType();  // known to the sink from the first piece on
    return true;
  });
  EXPECT_EQ(Seen, "image/gif");
  Client.Get(ServerBase() + Tag + "/type/-/5/x");
  EXPECT_EQ(Client.ContentType(), "");  // the last reply's, not an earlier one's
}

// The Referer lines of the requests whose target starts with Prefix, one per
// request ("" for a request without one).
std::vector<std::string> Referers(const std::string& Prefix) {
  std::vector<std::string> Out;
  for (const std::string& E : ServerLog(Prefix)) {
    const auto P = E.find("\nReferer: ");
    Out.push_back(P == std::string::npos ? "" : E.substr(P + 10, E.find('\n', P + 1) - P - 10));
  }
  return Out;
}

TEST(ReplyReferer, GoesWithHeadGetAndEveryRedirectWithoutItsFragment) {
  const std::string Tag = UniquePrefix();
  THttpSession Session;
  THttpClient Client(Session);
  Client.SetTodaysWeb(true);
  Client.SetReferer("http://pages.example/gallery/p.html?id=4#top");
  Client.Head(ServerBase() + Tag + "/hops/1/bytes/5/a.jpg");
  Client.Get(ServerBase() + Tag + "/hops/1/bytes/5/a.jpg");
  const std::string Page = "http://pages.example/gallery/p.html?id=4";
  EXPECT_EQ(Referers(Tag), (std::vector<std::string>{Page, Page, Page, Page}));
}

TEST(ReplyReferer, IsNotSentWhenNoneIsGivenDowngradedOrBroken) {
  const std::string Tag = UniquePrefix();
  const char* Given[] = {"", "https://secure.example/p.html", "http://h/p\r\nX-Evil: 1"};
  for (const char* Referer : Given) {
    THttpClient Client;
    Client.SetReferer(Referer);
    Client.Get(ServerBase() + Tag + "/bytes/5/a.jpg");
  }
  EXPECT_EQ(Referers(Tag), (std::vector<std::string>{"", "", ""}));
  for (const std::string& E : ServerLog(Tag)) EXPECT_EQ(E.find("X-Evil"), std::string::npos) << E;
}

}  // namespace
}  // namespace lumora
