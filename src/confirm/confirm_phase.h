// The first run: ask, close the product, drop the uninstall entry, hand off to a copy in TEMP.
#ifndef CONFIRM_PHASE_H
#define CONFIRM_PHASE_H

void RunConfirmationPhase();

// Asks the product's main window to close and waits, for a bounded time, until its process has
// ended. Always returns 1.
int CloseRunningApplication();

// Copies this program into TEMP as uninstall.exe and starts it with the internal switch.
// Returns 1 when the copy was started, 0 after a reported failure.
int RelaunchFromTemp();

#endif
