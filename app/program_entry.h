// The program entry: single instance, application object, modules, message loop.
#pragma once

namespace plx {

// The process exit code: 0 after a normal end, 1 when start-up failed, -1 (255) when another
// copy is already running.
int RunProgram(int argc, char** argv);

}  // namespace plx
