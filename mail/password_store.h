// The mail login's password in the desktop's secret store (the Secret Service, through
// QtKeychain), under the service name "Pilonix". The store may have to start or unlock first, so
// every call returns at once and its answer comes later, on the calling thread, as a queued event.
#pragma once

#include <functional>
#include <string>

class QObject;

namespace plx {

enum class SecretAnswer {
    Found,     // read: the password is there
    NotFound,  // read: the store answered, and holds no password
    Stored,    // write: the store holds the password now
    NoStore,   // no secret store answered (or it refused): the password has to go elsewhere
};

struct SecretResult {
    SecretAnswer answer = SecretAnswer::NoStore;
    std::string password;  // CP932, when found
    std::string why;       // the store's reason when it did not answer
};

using SecretDone = std::function<void(const SecretResult&)>;

// `done` runs in `context`'s thread; when `context` goes first, the answer is dropped.
void ReadMailPassword(QObject* context, SecretDone done);
void WriteMailPassword(QObject* context, const std::string& password, SecretDone done);

}  // namespace plx
