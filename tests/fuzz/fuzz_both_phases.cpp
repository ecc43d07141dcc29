// Draws a simulated machine from the input, runs both phases on it and stops at any change that
// is not the uninstaller's own, or any handle left open.
#include <cstdio>
#include <cstdlib>

#include "fuzz/draw_world.h"
#include "platform/platform_services.h"
#include "sim/product_items.h"
#include "sim/simulated_windows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    DrawWorld(input);
    sim::ProductItems items = sim::ReadProductItems();
    sim::Footprint before = sim::TakeFootprint();

    sim::SetCommandLine("uninstall.exe");
    WinMain(nullptr, nullptr, nullptr, 0);
    sim::SetCommandLine("uninstall.exe /internally");
    WinMain(nullptr, nullptr, nullptr, 0);

    StopAtForeignChanges(items, before);
    sim::ReleaseWorld();
    return 0;
}
