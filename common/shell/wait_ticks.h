// WaitTicks: a short wait that keeps the windows alive.
#pragma once

#include <cstdint>

namespace plx {

// Waits `milliseconds` of real time while the application goes on handling its events (timer
// events included), then returns the milliseconds actually waited.
std::int64_t WaitTicks(std::int64_t milliseconds);

}  // namespace plx
