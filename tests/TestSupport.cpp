#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "net/HttpClient.h"
#ifdef _WIN32
#include "TrustTestCa.h"
#endif
#include "sys/FileSystem.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace lumora::test {

namespace {
std::string RandomToken() {
  static std::atomic<unsigned> Counter{0};
  std::random_device Rd;
  return std::to_string(Rd()) + "-" + std::to_string(Counter++);
}
}  // namespace

TTempFolder::TTempFolder() {
  const fs::path P = fs::temp_directory_path() / ("lumora-test-" + RandomToken());
  fs::create_directories(P);
  FPath = P.string();
  if (FPath.back() != PathDelim) FPath += PathDelim;
}

TTempFolder::~TTempFolder() {
  std::error_code Ec;
  fs::remove_all(fs::path(FPath), Ec);
}

std::vector<std::string> FolderNames(const std::string& Folder) {
  std::vector<std::string> Names;
  for (const auto& E : fs::directory_iterator(Folder))
    Names.push_back(E.path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

std::string ReadWholeFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

void WriteWholeFile(const std::string& Path, const std::string& Data) {
  std::ofstream(Path, std::ios::binary) << Data;
}

std::string ServerBase() {
  const char* Addr = std::getenv("LUMORA_TEST_HTTP");
  if (!Addr || !*Addr) {
    ADD_FAILURE() << "LUMORA_TEST_HTTP is not set: run this test through run_with_server.py";
    return "http://127.0.0.1:1";
  }
  return std::string("http://") + Addr;
}

std::string TlsServerBase(const std::string& Kind) {
  const char* Ports = std::getenv("LUMORA_TEST_TLS");
  const std::string Key = Kind + "=";
  std::istringstream In(Ports ? Ports : "");
  for (std::string Item; In >> Item;)
    if (Item.rfind(Key, 0) == 0) return "https://localhost:" + Item.substr(Key.size());
  ADD_FAILURE() << "LUMORA_TEST_TLS names no " << Kind
                << " server: run this test through run_with_server.py";
  return "https://localhost:1";
}

bool TrustTestCa() {
  const char* Ca = std::getenv("LUMORA_TEST_CA");
  if (!Ca || !*Ca) {
    ADD_FAILURE() << "LUMORA_TEST_CA is not set: run this test through run_with_server.py";
    return false;
  }
#ifdef _WIN32
  // The server wrote a path of the Linux side; Wine shows the root as Z:.
  std::string Error;
  if (!AddTestCaToUserRoot(std::string("Z:") + Ca, Error)) {
    ADD_FAILURE() << "cannot trust the test CA: " << Error;
    return false;
  }
#else
  SetHttpCaFile(Ca);
#endif
  return true;
}

std::string UniquePrefix() {
  const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string Name = Info ? std::string(Info->test_suite_name()) + "." + Info->name() : "t";
  for (char& C : Name)
    if (!isalnum(static_cast<unsigned char>(C))) C = '_';
  return "/~" + Name + "-" + RandomToken();
}

std::vector<std::string> ServerLog(const std::string& Prefix) {
  THttpClient Client;
  const std::string Text = Client.Get(ServerBase() + "/__log?prefix=" + Prefix);
  std::vector<std::string> Entries;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    auto End = Text.find("\n\n", Pos);
    if (End == std::string::npos) End = Text.size();
    Entries.push_back(Text.substr(Pos, End - Pos));
    Pos = End + 2;
  }
  return Entries;
}

std::vector<std::string> ServerRequestLines(const std::string& Prefix) {
  std::vector<std::string> Lines;
  for (const auto& E : ServerLog(Prefix)) Lines.push_back(E.substr(0, E.find('\n')));
  return Lines;
}

TServerConnections ServerConnections(const std::string& Prefix) {
  THttpClient Client;
  const std::string Text = Client.Get(ServerBase() + "/__connections?prefix=" + Prefix);
  TServerConnections C;
  C.Connections = std::atoi(Text.c_str());
  C.Dropped = std::atoi(Text.c_str() + std::min(Text.size(), Text.find(' ') + 1));
  return C;
}

namespace {
std::string PercentEncoded(const std::string& Bytes) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Out;
  for (const char Ch : Bytes) {
    const auto C = static_cast<unsigned char>(Ch);
    if (isalnum(C)) {
      Out += Ch;
    } else {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 15];
    }
  }
  return Out;
}
}  // namespace

void RegisterPage(const std::string& Path, const std::string& Body) {
  THttpClient Client;
  Client.Get(ServerBase() + "/__page?path=" + PercentEncoded(Path) +
             "&body=" + PercentEncoded(Body));
}

int ClosedPort() {
#ifdef _WIN32
  static const bool Started = [] {
    WSADATA D;
    return WSAStartup(MAKEWORD(2, 2), &D) == 0;
  }();
  (void)Started;
  SOCKET S = socket(AF_INET, SOCK_STREAM, 0);
#else
  int S = socket(AF_INET, SOCK_STREAM, 0);
#endif
  sockaddr_in A{};
  A.sin_family = AF_INET;
  A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  A.sin_port = 0;
  bind(S, reinterpret_cast<sockaddr*>(&A), sizeof A);
  socklen_t Len = sizeof A;
  getsockname(S, reinterpret_cast<sockaddr*>(&A), &Len);
#ifdef _WIN32
  closesocket(S);
#else
  close(S);
#endif
  return ntohs(A.sin_port);
}

}  // namespace lumora::test
