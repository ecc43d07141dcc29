// The world, its reset, the log of what the program called and did, and the faults to inject.
#include "sim/world.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim/code_pages.h"

namespace sim::detail {

World world;

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        c = (char)std::tolower((unsigned char)c);
    }
    return out;
}

std::string Text(const char* text)
{
    return text ? "\"" + std::string(text) + "\"" : "null";
}

std::string WideText(const char16_t* text)
{
    return text ? "L\"" + sim::TextFromWide(text) + "\"" : "null";
}

std::string Bytes(const void* data, size_t size)
{
    return data ? "\"" + std::string((const char*)data, size) + "\"" : "null";
}

std::string Ptr(const void* pointer)
{
    return pointer ? "ptr" : "null";
}

// Handles as the 32-bit values a 32-bit program holds.
std::string Handle(const void* handle)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%x", (unsigned)(uintptr_t)handle);
    return text;
}

std::string Size(const DWORD* size)
{
    return size ? "[" + std::to_string(*size) + "]" : "null";
}

BOOL Fail(DWORD error)
{
    world.lastError = error;
    return FALSE;
}

}  // namespace sim::detail

using namespace sim::detail;

namespace sim {

void ResetWorld()
{
    world = World();
    world.commandLine = "\"C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe\"";
    world.modulePath = "C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe";
    world.tempPath = "C:\\TEMP\\";
}

void ReleaseWorld()
{
    world = World();
}

// Saved worlds live as long as the process: each is saved once and loaded many times.
std::vector<World>& SavedWorlds()
{
    static std::vector<World>* saved = new std::vector<World>();
    return *saved;
}

SavedWorld SaveWorld()
{
    SavedWorlds().push_back(world);
    return SavedWorld{(int)SavedWorlds().size() - 1};
}

void LoadWorld(SavedWorld saved)
{
    world = SavedWorlds().at(saved.index);
}

const std::vector<std::string>& Events()
{
    return world.events;
}

void SetCallLog(bool on)
{
    world.logCalls = on;
}

const std::vector<std::string>& Calls()
{
    return world.calls;
}

int OpenHandleCount()
{
    return (int)(world.keyHandles.size() + world.fileHandles.size() + world.searches.size() +
                 world.processHandles.size());
}

void MakeKeyUndeletable(HKEY root, const std::string& path)
{
    world.undeletableKeys.insert(KeyId(root, path));
}

void FailQueryInfoKey(bool fail)
{
    world.failQueryInfoKey = fail;
}

void LockFile(const std::string& path, long long untilMs)
{
    Entry* entry = FindEntry(ResolveShortNames(NormalPath(path)));
    if (entry) {
        entry->lockedUntil = untilMs;
    }
}

void FailCopyFile(bool fail)
{
    world.failCopyFile = fail;
}

void FailCreateFile(bool fail)
{
    world.failCreateFile = fail;
}

void SetShellExecuteResult(intptr_t result)
{
    world.shellExecuteResult = result;
}

int DeleteAttempts(const std::string& path)
{
    auto it = world.deleteAttempts.find(NormalPath(path));
    return it == world.deleteAttempts.end() ? 0 : it->second;
}

const std::vector<unsigned>& Pauses()
{
    return world.pauses;
}

long long ClockMs()
{
    return world.clockMs;
}

}  // namespace sim

DWORD GetLastError(void)
{
    LOG_CALL("GetLastError");
    return world.lastError;
}
