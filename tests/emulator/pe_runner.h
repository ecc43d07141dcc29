// Runs the shipped 32-bit uninstall.exe on the Unicorn CPU emulator against the simulated Windows
// of tests/sim: the file is mapped by its own headers at its preferred base, every import points
// at a trap, and each call is served by the simulation's function of the same name, with its
// arguments read from the emulated stack and its texts and buffers copied both ways.
#ifndef PE_RUNNER_H
#define PE_RUNNER_H

#include <cstdint>
#include <string>

namespace emu {

struct RunResult {
    bool exited = false;      // the program called ExitProcess
    uint32_t exitCode = 0;
    std::string failure;      // why the run stopped otherwise: an unserved import, a stack out
                              // of balance, an emulator fault or the instruction limit
    uint64_t calls = 0;       // calls served
};

// Runs the program once from its entry point to ExitProcess, with the simulation's command line.
RunResult RunProgram(const std::string& exePath);

}  // namespace emu

#endif
