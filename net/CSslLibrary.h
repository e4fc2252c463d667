#pragma once
// The TLS engine's functions, bound by name at run time from libssl and libcrypto:
// nothing of the engine is linked into the program. Declarations come from the
// engine's headers, so every pointer has the engine's own type.

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <string>

// Functions of libssl, in binding order. Successors stand in for names the engine no
// longer exports: SSL_get_state for SSL_state, TLS_client_method for SSLv23_method,
// OPENSSL_init_ssl for SSL_library_init and SSL_load_error_strings,
// SSL_get1_peer_certificate for SSL_get_peer_certificate.
#define LF_SSL_FUNCTIONS(X)                                                                                        \
    X(SSL_state_string_long)                                                                                       \
    X(SSL_get_state)                                                                                               \
    X(SSL_set_info_callback)                                                                                       \
    X(SSL_set_bio)                                                                                                 \
    X(SSL_set_connect_state)                                                                                       \
    X(SSL_set_session)                                                                                             \
    X(BIO_f_ssl)                                                                                                   \
    X(SSL_new)                                                                                                     \
    X(SSL_CTX_new)                                                                                                 \
    X(TLS_client_method)                                                                                           \
    X(OPENSSL_init_ssl)                                                                                            \
    X(SSL_CTX_free)                                                                                                \
    X(SSL_free)                                                                                                    \
    X(SSL_get_error)                                                                                               \
    X(SSL_shutdown)                                                                                                \
    X(SSL_alert_type_string_long)                                                                                  \
    X(SSL_alert_desc_string_long)                                                                                  \
    X(SSL_CTX_set_verify)                                                                                          \
    X(SSL_CTX_get_cert_store)                                                                                      \
    X(SSL_get_verify_result)                                                                                       \
    X(SSL_get1_peer_certificate)                                                                                   \
    X(SSL_get_version)                                                                                             \
    X(SSL_get_current_cipher)                                                                                      \
    X(SSL_CIPHER_get_name)                                                                                         \
    X(SSL_CIPHER_get_version)                                                                                      \
    X(SSL_do_handshake)                                                                                            \
    X(SSL_set1_host)                                                                                               \
    X(SSL_ctrl)                                                                                                    \
    X(SSL_CTX_ctrl)                                                                                                \
    X(SSL_CTX_set_default_verify_paths)

// Functions of libcrypto, in binding order; the key size comes from EVP_PKEY_get_bits
// and EVP_PKEY_get_base_id now that keys are opaque.
#define LF_CRYPTO_FUNCTIONS(X)                                                                                     \
    X(BIO_ctrl_pending)                                                                                            \
    X(BIO_read)                                                                                                    \
    X(BIO_ctrl)                                                                                                    \
    X(BIO_write)                                                                                                   \
    X(BIO_ctrl_get_write_guarantee)                                                                                \
    X(BIO_new_bio_pair)                                                                                            \
    X(BIO_new)                                                                                                     \
    X(BIO_free)                                                                                                    \
    X(BIO_free_all)                                                                                                \
    X(i2t_ASN1_OBJECT)                                                                                             \
    X(OBJ_obj2nid)                                                                                                 \
    X(X509_NAME_ENTRY_get_object)                                                                                  \
    X(X509_NAME_get_entry)                                                                                         \
    X(X509_NAME_entry_count)                                                                                       \
    X(X509_get_subject_name)                                                                                       \
    X(X509_get_issuer_name)                                                                                        \
    X(OBJ_nid2sn)                                                                                                  \
    X(X509_NAME_ENTRY_get_data)                                                                                    \
    X(X509_STORE_CTX_set_error)                                                                                    \
    X(X509_digest)                                                                                                 \
    X(EVP_sha1)                                                                                                    \
    X(X509_STORE_CTX_get_current_cert)                                                                             \
    X(X509_STORE_CTX_get_error)                                                                                    \
    X(X509_free)                                                                                                   \
    X(X509_get_pubkey)                                                                                             \
    X(EVP_PKEY_get_bits)                                                                                           \
    X(EVP_PKEY_get_base_id)                                                                                        \
    X(EVP_PKEY_free)                                                                                               \
    X(BIO_test_flags)                                                                                              \
    X(X509_get0_notBefore)                                                                                         \
    X(X509_get0_notAfter)                                                                                          \
    X(ASN1_STRING_get0_data)                                                                                       \
    X(ASN1_STRING_length)                                                                                          \
    X(ASN1_STRING_type)

class CSslLibrary {
public:
    CSslLibrary() = default;
    ~CSslLibrary() { Unload(); }
    CSslLibrary(const CSslLibrary&) = delete;
    CSslLibrary& operator=(const CSslLibrary&) = delete;

    // Loads both libraries and binds every function; false (everything released) with
    // the missing library or function named in missing.
    bool Load(const std::string& sslName, const std::string& cryptoName, std::string& missing);
    void Unload();
    bool IsLoaded() const { return m_ssl != nullptr; }

#define LF_DECLARE_POINTER(name) decltype(&::name) name = nullptr;
    LF_SSL_FUNCTIONS(LF_DECLARE_POINTER)
    LF_CRYPTO_FUNCTIONS(LF_DECLARE_POINTER)
#undef LF_DECLARE_POINTER

private:
    void* m_ssl = nullptr;
    void* m_crypto = nullptr;
};
