#include "TrustTestCa.h"

#include <windows.h>
// after windows.h, which it needs
#include <wincrypt.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace lumora::test {

namespace {

struct TStoreCloser {
  void operator()(void* Store) const { CertCloseStore(static_cast<HCERTSTORE>(Store), 0); }
};

std::string LastError(const char* Step) {
  return std::string(Step) + " failed (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

bool AddTestCaToUserRoot(const std::string& Path, std::string& Error) {
  std::ifstream In(Path, std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  const std::string Pem = Text.str();
  if (!In || Pem.empty()) {
    Error = "cannot read " + Path;
    return false;
  }
  DWORD Size = 0;
  if (!CryptStringToBinaryA(Pem.c_str(), static_cast<DWORD>(Pem.size()), CRYPT_STRING_BASE64HEADER,
                            nullptr, &Size, nullptr, nullptr)) {
    Error = LastError("CryptStringToBinaryA");
    return false;
  }
  std::vector<BYTE> Der(Size);
  if (!CryptStringToBinaryA(Pem.c_str(), static_cast<DWORD>(Pem.size()), CRYPT_STRING_BASE64HEADER,
                            Der.data(), &Size, nullptr, nullptr)) {
    Error = LastError("CryptStringToBinaryA");
    return false;
  }

  std::unique_ptr<void, TStoreCloser> Store(CertOpenSystemStoreA(0, "ROOT"));
  if (!Store) {
    Error = LastError("CertOpenSystemStore");
    return false;
  }
  if (!CertAddEncodedCertificateToStore(Store.get(), X509_ASN_ENCODING, Der.data(), Size,
                                        CERT_STORE_ADD_USE_EXISTING, nullptr)) {
    Error = LastError("CertAddEncodedCertificateToStore");
    return false;
  }
  return true;
}

}  // namespace lumora::test
