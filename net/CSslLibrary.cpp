#include "net/CSslLibrary.h"

#include <dlfcn.h>

namespace {

template <typename Pointer>
bool Bind(void* library, const char* name, Pointer& pointer, std::string& missing)
{
    pointer = reinterpret_cast<Pointer>(dlsym(library, name));
    if (!pointer && missing.empty())
        missing = name;
    return pointer != nullptr;
}

}  // namespace

bool CSslLibrary::Load(const std::string& sslName, const std::string& cryptoName, std::string& missing)
{
    Unload();
    missing.clear();
    // The engine registers exit handlers: its code must stay mapped until the end.
    m_ssl = dlopen(sslName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!m_ssl) {
        missing = sslName;
        return false;
    }
#define LF_BIND_SSL(name) Bind(m_ssl, #name, name, missing);
    LF_SSL_FUNCTIONS(LF_BIND_SSL)
#undef LF_BIND_SSL
    if (missing.empty()) {
        m_crypto = dlopen(cryptoName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!m_crypto)
            missing = cryptoName;
    }
    if (missing.empty()) {
#define LF_BIND_CRYPTO(name) Bind(m_crypto, #name, name, missing);
        LF_CRYPTO_FUNCTIONS(LF_BIND_CRYPTO)
#undef LF_BIND_CRYPTO
    }
    if (!missing.empty()) {
        Unload();
        return false;
    }
    return true;
}

void CSslLibrary::Unload()
{
#define LF_CLEAR(name) name = nullptr;
    LF_SSL_FUNCTIONS(LF_CLEAR)
    LF_CRYPTO_FUNCTIONS(LF_CLEAR)
#undef LF_CLEAR
    if (m_crypto)
        dlclose(m_crypto);
    if (m_ssl)
        dlclose(m_ssl);
    m_crypto = m_ssl = nullptr;
}
