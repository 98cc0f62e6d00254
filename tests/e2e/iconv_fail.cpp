// Preloaded into the program by a test: from PLXTEST_ICONV_FAIL_AFTER_MS milliseconds after the
// first conversion on, every iconv_open fails, as on a system without the CP932 converter.
#include <dlfcn.h>
#include <iconv.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

extern "C" iconv_t iconv_open(const char* to, const char* from) {
    using Open = iconv_t (*)(const char*, const char*);
    static const Open real = reinterpret_cast<Open>(::dlsym(RTLD_NEXT, "iconv_open"));
    static const auto firstCall = std::chrono::steady_clock::now();
    const char* after = std::getenv("PLXTEST_ICONV_FAIL_AFTER_MS");
    const auto elapsed = std::chrono::steady_clock::now() - firstCall;
    if (after && elapsed >= std::chrono::milliseconds(std::atol(after))) {
        errno = EINVAL;
        return reinterpret_cast<iconv_t>(-1);
    }
    return real(to, from);
}
