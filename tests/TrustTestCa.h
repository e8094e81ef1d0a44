#pragma once
// Trust for the loopback TLS servers' test CA in the Windows tests: the CA
// goes into the current user's Root store of the Wine prefix the tests run
// in (through CryptoAPI), where WinHTTP's verification finds it. Nothing
// outside that prefix changes; earlier test CAs are taken out first, so the
// store holds at most one.

#include <string>

namespace lumora::test {

inline constexpr char TestCaName[] = "Lumora Test CA";

// Adds the certificate in the PEM file Path; false with Error when it fails.
bool AddTestCaToUserRoot(const std::string& Path, std::string& Error);

}  // namespace lumora::test
