// The second run and its steps, in the order the run calls them.
#ifndef REMOVAL_STEPS_H
#define REMOVAL_STEPS_H

#include "platform/platform_services.h"

void RunRemovalPhase();

// Reads a string value of the product key below root into out (at least MAX_PATH bytes).
// Returns 1 when out holds the terminated value, 0 otherwise (out is then empty).
int QueryProductSzValue(HKEY root, const char* valueName, char* out);

void RemoveShortcuts();
void RemoveRegistryEntries();

// Deletes every sub-key, at every depth, of keyPath below HKEY_CURRENT_USER.
void DeleteSubKeyTree(const char* keyPath);

void RemoveInstalledFiles(const char* installFolder);
void ScheduleSelfDelete();

#endif
