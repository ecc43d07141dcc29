// Worlds in which one value the program reads or builds a path from is hostile: the sample
// installation, put where the value points as well, with bystanders (a user's files, another
// product of the company, and a file at the cut-off form of every long path).
#ifndef HOSTILE_WORLDS_H
#define HOSTILE_WORLDS_H

#include <string>
#include <vector>

#include "platform/platform_services.h"

enum Target { InstallPathValue, StartupValue, ProgramsValue, TempPath, ModulePath };

extern const char* const TargetNames[];

struct Variant {
    const char* name;
    bool text;      // a string (else raw registry bytes)
    std::string value;
    DWORD type;
};

std::vector<Variant> Variants();

// Whether the target can hold the variant (the system reports TEMP and its own path as strings).
bool Applies(Target target, const Variant& variant);

void ArrangeWorld(Target target, const Variant& variant);

#endif
