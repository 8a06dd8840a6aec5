#pragma once

// Certificates made at test time: a test CA that only the tests trust, and server
// certificates signed by it (valid, expired, or for another host name), as PEM files.

#include <string>

namespace sornel::test {

struct CertificateFiles {
    std::string certificate;
    std::string privateKey;
};

class TestCertificates {
public:
    // Writes everything into `directory`, which must exist.
    explicit TestCertificates(const std::string& directory);

    const std::string& caFile() const { return caFile_; }
    const CertificateFiles& valid() const { return valid_; }           // 127.0.0.1 and localhost
    const CertificateFiles& expired() const { return expired_; }       // 127.0.0.1, ended long ago
    const CertificateFiles& otherHost() const { return otherHost_; }   // www.example.org only
    const CertificateFiles& selfSigned() const { return selfSigned_; } // 127.0.0.1, no CA

private:
    std::string caFile_;
    CertificateFiles valid_;
    CertificateFiles expired_;
    CertificateFiles otherHost_;
    CertificateFiles selfSigned_;
};

} // namespace sornel::test
