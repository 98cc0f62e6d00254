// A name lookup that hangs, for tests: preloaded (LD_PRELOAD) into a test process, it makes
// getaddrinfo for any name ending in ".stall.test" wait PLXTEST_DNS_DELAY_MS milliseconds (20000
// when unset) and then answer as for 127.0.0.1. Every other name goes to the real getaddrinfo.
#include <dlfcn.h>
#include <netdb.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

bool IsStalled(const char* node) {
    static const char kSuffix[] = ".stall.test";
    std::size_t length = std::strlen(node), suffix = sizeof kSuffix - 1;
    return length >= suffix && strcasecmp(node + length - suffix, kSuffix) == 0;
}

void Hang() {
    const char* text = std::getenv("PLXTEST_DNS_DELAY_MS");
    long ms = text ? std::atol(text) : 20000;
    timespec left{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int getaddrinfo(const char* node, const char* service,
                                                                  const addrinfo* hints, addrinfo** result) {
    static GetAddrInfo real = reinterpret_cast<GetAddrInfo>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (!real) return EAI_SYSTEM;
    if (node && IsStalled(node)) {
        Hang();
        return real("127.0.0.1", service, hints, result);
    }
    return real(node, service, hints, result);
}
