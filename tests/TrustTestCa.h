#pragma once
// Trust for the loopback TLS servers' test CA in the Windows tests: the CA
// goes into the current user's Root store of the Wine prefix the tests run
// in (through CryptoAPI), where WinHTTP's verification finds it. Nothing
// outside that prefix changes. The test CA is kept from run to run
// (tests/tls_certs.py), so the store gains one certificate, not one a run:
// Wine's store cannot reliably take one out again.

#include <string>

namespace lumora::test {

// Adds the certificate in the PEM file Path; false with Error when it fails.
bool AddTestCaToUserRoot(const std::string& Path, std::string& Error);

}  // namespace lumora::test
