// What a run of both phases leaves, as lines to compare: every call with its arguments, the exit
// statuses, the boxes, messages, launches, notices and pauses, the clock, open handles, and every
// file (with its contents and attributes) and key. Once for the host build, once for the shipped
// program on the emulator, each over a world that arrange builds afresh.
#ifndef OUTCOME_H
#define OUTCOME_H

#include <functional>
#include <string>
#include <vector>

std::vector<std::string> RunHostBuild(const std::function<void()>& arrange);
std::vector<std::string> RunShippedProgram(const std::function<void()>& arrange);

// "" when both are the same; else where they first differ, with the lines around it.
std::string FirstDifference(const std::vector<std::string>& host,
                            const std::vector<std::string>& shipped);

// The shipped program's path: $SHIPPED_PROGRAM, or build/win32/uninstall.exe of this checkout.
std::string ShippedProgramPath();
bool ShippedProgramExists();

#endif
