// Draws a simulated machine from the input and runs both phases over it twice: through the host
// build and through the shipped 32-bit program on the CPU emulator. Stops at the first call,
// argument or end state in which the two differ, or at a run of the shipped program that fails.
#include <cstdio>
#include <cstdlib>

#include "differential/outcome.h"
#include "fuzz/draw_world.h"
#include "sim/simulated_windows.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!ShippedProgramExists()) {
        std::fprintf(stderr, "%s is missing: build it first (bash scripts/build.sh win32)\n",
                     ShippedProgramPath().c_str());
        std::exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto arrange = [&] {
        FuzzedDataProvider input(data, size);
        DrawWorld(input);
    };
    std::string difference = FirstDifference(RunHostBuild(arrange), RunShippedProgram(arrange));
    if (!difference.empty()) {
        std::fprintf(stderr, "the shipped program differs from the host build:\n%s", difference.c_str());
        std::abort();
    }
    sim::ReleaseWorld();
    return 0;
}
