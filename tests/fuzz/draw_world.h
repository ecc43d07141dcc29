// Draws a simulated machine from fuzzer input: registry values, TEMP, the program's own path, the
// names in the picture folder, which operations fail, the product's window and process, whether
// the wide functions and short names are there.
#ifndef DRAW_WORLD_H
#define DRAW_WORLD_H

#include <fuzzer/FuzzedDataProvider.h>

#include "sim/product_items.h"

void DrawWorld(FuzzedDataProvider& input);

// Stops the run at any change since before that is not the uninstaller's own, or at any handle
// left open.
void StopAtForeignChanges(const sim::ProductItems& items, const sim::Footprint& before);

#endif
