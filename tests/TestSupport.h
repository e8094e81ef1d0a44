#pragma once
// Helpers shared by the tests: throw-away folders, the loopback test server
// (started by run_with_server.py) and its request log.

#include <string>
#include <vector>

namespace lumora::test {

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it at the end of the test. Path() ends with the separator.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

std::vector<std::string> FolderNames(const std::string& Folder);  // sorted
std::string ReadWholeFile(const std::string& Path);
void WriteWholeFile(const std::string& Path, const std::string& Data);

// "http://127.0.0.1:<port>" of the test server; fails the test when absent.
std::string ServerBase();
// "https://localhost:<port>" of the test server's TLS server with the given
// certificate: "good" (signed by the test CA), "wronghost", "expired",
// "selfsigned", or "drop" (closes every handshake); fails the test when absent.
std::string TlsServerBase(const std::string& Kind = "good");
// Makes this process's HTTP client trust the test CA: natively through the CA
// file option, on Windows through the current user's Root store of the Wine
// prefix. False (and a test failure) when it cannot.
bool TrustTestCa();

// A path prefix no other test uses, so the log can be read per test.
std::string UniquePrefix();
// The request log entries whose target starts with Prefix, one string each
// (request line, then header lines).
std::vector<std::string> ServerLog(const std::string& Prefix);
// Only the request lines of those entries ("GET /x HTTP/1.1"), in order.
std::vector<std::string> ServerRequestLines(const std::string& Prefix);
// How many connections carried the requests whose target starts with Prefix,
// and how many of those requests a connection closed on without answering.
struct TServerConnections {
  int Connections = 0;
  int Dropped = 0;
};
TServerConnections ServerConnections(const std::string& Prefix);
// Makes the test server answer Path (its target, tag included, under /site/)
// with Body; other /site/ targets answer with their own target as body.
void RegisterPage(const std::string& Path, const std::string& Body);
// A loopback port on which nothing listens.
int ClosedPort();

}  // namespace lumora::test
