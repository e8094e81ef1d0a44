// Today's web in the HTTP client, one contract for both back ends (libcurl
// natively, WinHTTP under Wine): https:// with the certificate verified on a
// kept-alive session, redirects followed within their rules, and every bad
// certificate or redirect ending its own request with a reason. Checked
// against the real loopback servers (plain and TLS) and their shared log.

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "net/HttpClient.h"

namespace lumora {
namespace {

using test::ServerBase;
using test::ServerConnections;
using test::ServerRequestLines;
using test::TlsServerBase;
using test::UniquePrefix;

std::string Pattern(std::size_t N) {
  std::string S(N, '\0');
  for (std::size_t I = 0; I < N; ++I) S[I] = static_cast<char>((I % 4096) % 251);
  return S;
}

std::string Encode(const std::string& S) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Out;
  for (unsigned char C : S) {
    if (isalnum(C) || C == '-' || C == '.' || C == '_') {
      Out += static_cast<char>(C);
    } else {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 15];
    }
  }
  return Out;
}

bool Contains(const std::string& S, const std::string& Part) {
  return S.find(Part) != std::string::npos;
}

class TodaysWebClient : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::TrustTestCa(); }
};

// One session, one TLS connection for several requests, GET and HEAD alike.
TEST_F(TodaysWebClient, HttpsKeepsOneVerifiedConnectionPerSession) {
  const std::string Tag = UniquePrefix();
  THttpSession Session;
  THttpClient Client(Session);
  Client.SetTodaysWeb(true);
  EXPECT_EQ(Client.Get(TlsServerBase() + Tag + "/bytes/70000/a.jpg"), Pattern(70000));
  EXPECT_EQ(Client.Host(), "localhost");
  Client.Head(TlsServerBase() + Tag + "/bytes/300/b.jpg");
  EXPECT_EQ(Client.ContentLength(), 300);
  EXPECT_EQ(Client.Get(TlsServerBase() + Tag + "/bytes/10/c.jpg"), Pattern(10));
  EXPECT_EQ(ServerRequestLines(Tag).size(), 3u);
  EXPECT_EQ(ServerConnections(Tag).Connections, 1);
}

// A kept TLS connection the server ends, with or without answering the
// request that found it closed, is replaced without losing a request.
TEST_F(TodaysWebClient, KeptTlsConnectionsTheServerEndsAreReplaced) {
  for (const char* Mode : {"/closeafter/2", "/dropafter/2"}) {
    const std::string Tag = UniquePrefix();
    THttpSession Session;
    for (int I = 0; I < 6; ++I) {
      const std::string Path = "/site/p" + std::to_string(I) + ".jpg";
      THttpClient Client(Session);
      Client.SetTodaysWeb(true);
      try {
        Client.Head(TlsServerBase() + Tag + Mode + Path);
        EXPECT_EQ(Client.Get(TlsServerBase() + Tag + Mode + Path), Tag + Path) << Mode;
      } catch (const EHttpError& E) {
        ADD_FAILURE() << Mode << Path << ": " << E.what();
      }
    }
    EXPECT_EQ(ServerRequestLines(Tag).size(), 12u) << Mode;
    // One per two requests; Wine's WinHTTP at times opens one more.
    EXPECT_LE(ServerConnections(Tag).Connections, 7) << Mode;
  }
}

// The design's own client: no https, no redirect followed, nothing sent.
TEST_F(TodaysWebClient, WithoutTodaysWebHttpsIsRefusedBeforeAnyRequest) {
  const std::string Tag = UniquePrefix();
  THttpClient Client;
  try {
    Client.Get(TlsServerBase() + Tag + "/bytes/10/a.jpg");
    ADD_FAILURE() << "no error";
  } catch (const EHttpError& E) {
    EXPECT_EQ(std::string(E.what()), "Unsupported protocol: https");
  }
  EXPECT_TRUE(ServerRequestLines(Tag).empty());
}

// Every redirect kind, on both kinds of server, for GET and HEAD; a session
// keeps its one connection over the hops.
TEST_F(TodaysWebClient, FollowsEachRedirectKindForGetAndHead) {
  for (const bool Secure : {false, true}) {
    for (const int Code : {301, 302, 303, 307, 308}) {
      const std::string Tag = UniquePrefix() + "-" + std::to_string(Code) + (Secure ? "s" : "");
      const std::string Base = (Secure ? TlsServerBase() : ServerBase()) + Tag;
      THttpSession Session;
      THttpClient Client(Session);
      Client.SetTodaysWeb(true);
      EXPECT_EQ(Client.Get(Base + "/redirect/" + std::to_string(Code) + "/p/a.jpg"), Pattern(16));
      EXPECT_EQ(Client.FinalAddress(), Base + "/bytes/16/p/a.jpg");
      EXPECT_EQ(Client.ResponseCode(), 200);
      Client.Head(Base + "/redirect/" + std::to_string(Code) + "/q.jpg");
      EXPECT_EQ(Client.ContentLength(), 16);
      EXPECT_EQ(ServerRequestLines(Tag).size(), 4u) << Code;
      // Not one per hop: the redirects' bodies are read, their connection
      // kept (Wine's WinHTTP at times opens a second one).
      EXPECT_LE(ServerConnections(Tag).Connections, 2) << Code;
    }
  }
}

TEST_F(TodaysWebClient, FollowsFiveHopsAndRelativeAndUpwardLocations) {
  const std::string Tag = UniquePrefix();
  THttpClient Client;
  Client.SetTodaysWeb(true);
  EXPECT_EQ(Client.Get(TlsServerBase() + Tag + "/hops/5/bytes/16/five.jpg"), Pattern(16));
  // "../../bytes/16/b.jpg" against .../to/302/<that>: two levels up.
  EXPECT_EQ(Client.Get(ServerBase() + Tag + "/to/302/" + Encode("../../bytes/16/b.jpg")),
            Pattern(16));
  EXPECT_EQ(Client.FinalAddress(), ServerBase() + Tag + "/bytes/16/b.jpg");
  // From http:// up to https:// is followed.
  const std::string Up = TlsServerBase() + Tag + "/bytes/16/up.jpg";
  EXPECT_EQ(Client.Get(ServerBase() + Tag + "/to/301/" + Encode(Up)), Pattern(16));
  EXPECT_EQ(Client.FinalAddress(), Up);
}

// Each bad certificate, bad server and bad redirect ends its request with a
// reason, at once, and requests nothing it should not.
TEST_F(TodaysWebClient, BadCertificatesAndRedirectsFailWithAReason) {
  const std::string Tag = UniquePrefix();
  const std::string Down = ServerBase() + Tag + "/down/bytes/16/a.jpg";
  const struct {
    std::string Address;
    const char* Reason;
  } Cases[] = {
      {TlsServerBase("expired") + Tag + "/bytes/16/a.jpg", CertificateNotTrusted},
      {TlsServerBase("selfsigned") + Tag + "/bytes/16/a.jpg", CertificateNotTrusted},
      {TlsServerBase("wronghost") + Tag + "/bytes/16/a.jpg", CertificateNotTrusted},
      {TlsServerBase("drop") + Tag + "/bytes/16/a.jpg", ""},
      {TlsServerBase() + Tag + "/hops/6/bytes/16/a.jpg", "more than 5 redirects"},
      {TlsServerBase() + Tag + "/loop/302/a", "redirect loop at "},
      {ServerBase() + Tag + "/loop/307/b", "redirect loop at "},
      {TlsServerBase() + Tag + "/to/302/" + Encode(Down), "from https:// down to http://"},
      {ServerBase() + Tag + "/to/302/" + Encode("file:///etc/passwd"), "protocol: file:"},
      {ServerBase() + Tag + "/to/301/" + Encode("ftp://localhost/a.jpg"), "protocol: ftp:"},
      {ServerBase() + Tag + "/to/303/" + Encode("javascript:alert(1)"), "protocol: javascript:"},
      {ServerBase() + Tag + "/to/302/", "without a Location"},
      {TlsServerBase() + Tag + "/longloc/100000", "redirect (302) to an address of "},
  };
  for (const auto& C : Cases) {
    for (const bool Head : {false, true}) {
      THttpSession Session;
      THttpClient Client(Session);
      Client.SetTodaysWeb(true);
      const auto Start = std::chrono::steady_clock::now();
      std::string Reason;
      try {
        if (Head)
          Client.Head(C.Address);
        else
          Client.Get(C.Address, [](const char*, std::size_t) { return true; });
        ADD_FAILURE() << "no error for " << C.Address;
      } catch (const EHttpError& E) {
        Reason = E.what();
      }
      EXPECT_TRUE(Contains(Reason, C.Reason)) << C.Address << ": " << Reason;
      EXPECT_FALSE(Reason.empty()) << C.Address;
      if (Contains(C.Reason, CertificateNotTrusted)) {
        EXPECT_TRUE(Contains(Reason, "localhost")) << Reason;
      }
      EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10)) << C.Address;
    }
  }
  EXPECT_TRUE(ServerRequestLines(Tag + "/down").empty());
  EXPECT_TRUE(ServerRequestLines(Tag + "/bytes").empty());  // no bad certificate went on
  // The loops stopped where they came round: a, b, then a again is refused.
  EXPECT_EQ(ServerRequestLines(Tag + "/loop/302/").size(), 4u);  // GET and HEAD, a and b each
}

}  // namespace
}  // namespace lumora
