#pragma once
// Certificates for TLS tests, made by the openssl command in a temporary folder the first time
// they are asked for and removed when the test program ends; no key is ever committed.
//
//     TrustCaCertificates(TestPki().CaFile);                  // the client trusts the test CA
//     TFakeEngine engine(LocalHost, TestPki().Trusted);        // an HTTPS fake engine
//
// Both server certificates name "secure.test" and 127.0.0.1; the untrusted one is self-signed.

#include <string>

namespace quorvia::testing {

struct TTlsIdentity {
    std::string CertFile; // PEM
    std::string KeyFile;  // PEM, unencrypted
};

struct TTestPki {
    std::string CaFile;     // the test CA's certificate
    TTlsIdentity Trusted;   // issued by the test CA
    TTlsIdentity Untrusted; // self-signed
};

// The name the server certificates carry besides 127.0.0.1.
inline constexpr const char* TestTlsHost = "secure.test";

// Throws, naming the package to install, when Qt has no TLS backend or openssl is missing.
const TTestPki& TestPki();

} // namespace quorvia::testing
