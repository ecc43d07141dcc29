// Draws a simulated machine from fuzzer input: registry values, TEMP, the program's own path, the
// names in the picture folder, which operations fail, the product's window and process, whether
// the wide functions and short names are there.
#ifndef DRAW_WORLD_H
#define DRAW_WORLD_H

#include <fuzzer/FuzzedDataProvider.h>

void DrawWorld(FuzzedDataProvider& input);

#endif
