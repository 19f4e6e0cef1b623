#include "tls_files.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

#include "bounded_file.h"

namespace veltro::tap {

namespace {

constexpr std::size_t kLargestTlsFile = 1024 * 1024;

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Bio = std::unique_ptr<BIO, BioFree>;
using Certificate = std::unique_ptr<X509, X509Free>;
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;

int noPassphrase(char*, int, int, void*) {
    return -1;
}

Bio memoryOf(const std::string& content) {
    return Bio(BIO_new_mem_buf(content.data(), static_cast<int>(content.size())));
}

Certificate firstCertificate(const std::string& content) {
    const Bio bio = memoryOf(content);
    return Certificate(bio ? PEM_read_bio_X509(bio.get(), nullptr, noPassphrase, nullptr) : nullptr);
}

}  // namespace

bool checkTlsFiles(const std::string& caFile, const std::string& certFile, const std::string& keyFile,
                   std::string& error) {
    std::string content;
    if (caFile.empty()) {
        return true;
    }
    bool ok = readBoundedFile(caFile, kLargestTlsFile, "CA file", content, error);
    if (ok && !firstCertificate(content)) {
        error = "the CA file " + caFile + " holds no PEM certificate";
        ok = false;
    }
    Certificate cert;
    if (ok && !certFile.empty()) {
        ok = readBoundedFile(certFile, kLargestTlsFile, "certificate file", content, error);
        cert = ok ? firstCertificate(content) : nullptr;
        if (ok && !cert) {
            error = "the certificate file " + certFile + " holds no PEM certificate";
            ok = false;
        }
    }
    if (ok && !keyFile.empty()) {
        ok = readBoundedFile(keyFile, kLargestTlsFile, "key file", content, error);
        const Bio bio = ok ? memoryOf(content) : nullptr;
        const Key key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassphrase, nullptr) : nullptr);
        if (ok && !key) {
            error = "the key file " + keyFile + " holds no private key that opens without a passphrase";
            ok = false;
        } else if (ok && cert && X509_check_private_key(cert.get(), key.get()) != 1) {
            error = "the key file " + keyFile + " is not the key of the certificate " + certFile;
            ok = false;
        }
    }
    ERR_clear_error();
    return ok;
}

}  // namespace veltro::tap
