// Draws a simulated machine from the input and runs both phases over it twice: through the host
// build and through the shipped 32-bit program on the CPU emulator. Stops at the first call,
// argument or end state in which the two differ, at a run of the shipped program that fails, and
// at any change that is not the uninstaller's own or any handle left open.
#include <cstdio>
#include <cstdlib>

#include "differential/outcome.h"
#include "fuzz/draw_world.h"
#include "sim/product_items.h"
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
    // Both runs start from the same world, read the same way (reading opens keys, which the
    // handle values that both runs must agree on count); the shipped program's run is also held
    // to what the host build's fuzz target checks.
    sim::ProductItems items;
    sim::Footprint before;
    auto arrange = [&] {
        FuzzedDataProvider input(data, size);
        DrawWorld(input);
        items = sim::ReadProductItems();
        before = sim::TakeFootprint();
    };
    std::vector<std::string> host = RunHostBuild(arrange);
    std::vector<std::string> shipped = RunShippedProgram(arrange);
    std::string difference = FirstDifference(host, shipped);
    if (!difference.empty()) {
        std::fprintf(stderr, "the shipped program differs from the host build:\n%s", difference.c_str());
        std::abort();
    }
    StopAtForeignChanges(items, before);
    sim::ReleaseWorld();
    return 0;
}
