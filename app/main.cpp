// Pilonix: the desktop program.
#include "app/program_entry.h"

int main(int argc, char** argv) {
    return plx::RunProgram(argc, argv);
}
