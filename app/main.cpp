// Pilonix: the desktop program.
#include "app/escaped_errors.h"
#include "app/program_entry.h"

int main(int argc, char** argv) {
    return plx::RunCatchingEscapes(argc, argv, [&] { return plx::RunProgram(argc, argv); });
}
