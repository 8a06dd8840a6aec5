#include "support/test_certificates.h"

#include <cstdio>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace sornel::test {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

KeyPtr makeKey()
{
    KeyPtr key(EVP_RSA_gen(2048), EVP_PKEY_free);
    if (!key) {
        throw std::runtime_error("no RSA key");
    }
    return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (extension == nullptr) {
        throw std::runtime_error("bad extension");
    }
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

// A certificate for `key`, valid from `fromSeconds` to `toSeconds` around now, signed by the
// issuer (or by itself when there is none).
CertPtr makeCertificate(EVP_PKEY* key, const char* commonName, const char* altNames, bool isCa,
                        long fromSeconds, long toSeconds, X509* issuer, EVP_PKEY* issuerKey,
                        long serial)
{
    CertPtr cert(X509_new(), X509_free);
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), fromSeconds);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), toSeconds);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer != nullptr ? issuer : cert.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
    if (isCa) {
        addExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
    } else {
        addExtension(cert.get(), signer, NID_basic_constraints, "CA:FALSE");
        addExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
        addExtension(cert.get(), signer, NID_subject_alt_name, altNames);
    }
    if (X509_sign(cert.get(), issuerKey != nullptr ? issuerKey : key, EVP_sha256()) == 0) {
        throw std::runtime_error("cannot sign");
    }
    return cert;
}

void writeCertificate(const std::string& path, X509* cert)
{
    FILE* file = std::fopen(path.c_str(), "w");
    PEM_write_X509(file, cert);
    std::fclose(file);
}

void writeKey(const std::string& path, EVP_PKEY* key)
{
    FILE* file = std::fopen(path.c_str(), "w");
    PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(file);
}

CertificateFiles writePair(const std::string& directory, const std::string& name, X509* cert,
                           EVP_PKEY* key)
{
    CertificateFiles files{directory + "/" + name + ".crt", directory + "/" + name + ".key"};
    writeCertificate(files.certificate, cert);
    writeKey(files.privateKey, key);
    return files;
}

} // namespace

TestCertificates::TestCertificates(const std::string& directory)
{
    constexpr long kDay = 24 * 3600;
    const KeyPtr caKey = makeKey();
    const CertPtr ca = makeCertificate(caKey.get(), "Sornel Test CA", nullptr, true, -kDay,
                                       30 * kDay, nullptr, nullptr, 1);
    caFile_ = directory + "/ca.crt";
    writeCertificate(caFile_, ca.get());

    const KeyPtr serverKey = makeKey();
    const char* loopback = "IP:127.0.0.1,DNS:localhost";
    valid_ = writePair(directory, "valid",
                       makeCertificate(serverKey.get(), "localhost", loopback, false, -kDay,
                                       30 * kDay, ca.get(), caKey.get(), 2)
                           .get(),
                       serverKey.get());
    expired_ = writePair(directory, "expired",
                         makeCertificate(serverKey.get(), "localhost", loopback, false, -30 * kDay,
                                         -2 * kDay, ca.get(), caKey.get(), 3)
                             .get(),
                         serverKey.get());
    otherHost_ =
        writePair(directory, "other-host",
                  makeCertificate(serverKey.get(), "www.example.org", "DNS:www.example.org", false,
                                  -kDay, 30 * kDay, ca.get(), caKey.get(), 4)
                      .get(),
                  serverKey.get());
    selfSigned_ = writePair(directory, "self-signed",
                            makeCertificate(serverKey.get(), "localhost", loopback, false, -kDay,
                                            30 * kDay, nullptr, nullptr, 5)
                                .get(),
                            serverKey.get());
}

} // namespace sornel::test
