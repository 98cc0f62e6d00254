// libcurl's process-wide set-up, done once for every part of the program that transfers.
#pragma once

namespace plx {

// Initialises libcurl the first time it is called; safe from any thread.
void EnsureCurlReady();

}  // namespace plx
