// The inside of the simulated Windows, shared by its rooms: the world that the operations read
// and change, and the helpers more than one room uses. Tests use simulated_windows.h instead.
#ifndef SIM_WORLD_H
#define SIM_WORLD_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_services.h"
#include "sim/simulated_windows.h"

namespace sim::detail {

struct Value {
    DWORD type;
    std::string bytes;   // as the A functions read it
    std::u16string wide;  // as the W functions read a string; empty: converted from bytes
};

struct Key {
    std::map<std::string, Value> values;  // by lower-case name
};

struct Entry {
    std::string path;  // as first given, for listings
    bool folder;
    std::string contents;
    DWORD attributes;  // besides FILE_ATTRIBUTE_DIRECTORY
    long long lockedUntil;  // 0: not locked, -1: locked for good
};

struct OpenFile {
    std::string path;  // normalised
};

struct Search {
    std::vector<std::pair<std::string, bool>> names;  // name, is a folder
    size_t next;
};

struct Window {
    std::string windowClass;
    DWORD processId;
    long long closesAfterMs;  // how long its process takes to end once asked to close; -1: never
    bool openable;            // whether OpenProcess may open its process
    long long endsAtMs;       // when its process ends; -1: still running
};

struct World {
    std::map<std::string, Key> keys;  // "hklm\software\..." in lower case
    std::set<std::string> undeletableKeys;
    bool deleteKeyTakesTree = false;
    bool failQueryInfoKey = false;

    std::map<std::string, Entry> entries;  // normalised lower-case path
    bool failCopyFile = false;
    bool failCreateFile = false;
    std::map<std::string, int> deleteAttempts;

    // An empty world holds no memory of its own: see ReleaseWorld.
    std::string commandLine;
    std::string modulePath;
    std::string tempPath;

    std::vector<Window> windows;
    std::vector<int> answers;
    size_t nextAnswer = 0;
    std::vector<sim::MessageBoxShown> boxes;
    std::vector<sim::PostedMessage> posted;

    intptr_t shellExecuteResult = 42;
    std::vector<sim::ProgramStarted> started;
    std::vector<sim::ShellNotice> notices;
    std::vector<unsigned> pauses;
    long long clockMs = 0;

    uintptr_t nextHandle = 0x1000;
    std::map<uintptr_t, std::string> keyHandles;
    std::map<uintptr_t, OpenFile> fileHandles;
    std::map<uintptr_t, Search> searches;
    DWORD lastError = 0;

    sim::WideFunctions wideFunctions = sim::WideAsOnNt;
    bool shortNames = true;

    std::map<uintptr_t, size_t> processHandles;  // handle -> index of the window of its process
    std::vector<std::string> events;
    bool logCalls = false;
    std::vector<std::string> calls;
};

extern World world;

std::string Lower(const std::string& text);
std::string Text(const char* text);
std::string WideText(const char16_t* text);
std::string Bytes(const void* data, size_t size);
std::string Ptr(const void* pointer);
// Handles as the 32-bit values a 32-bit program holds.
std::string Handle(const void* handle);
std::string Size(const DWORD* size);
BOOL Fail(DWORD error);
std::string KeyId(HKEY root, const std::string& path);
LSTATUS WINAPI SimRegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD dataSize);
Entry* FindEntry(const std::string& normal);
// A path that names folders or files by their short names, in the normal form of their long
std::string ResolveShortNames(const std::string& normal);
DWORD WINAPI SimGetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size);
bool WideFunctionsWork();

// --- The call log: each operation the program calls, with its arguments as values (texts,
// numbers, handles; pointers only as present or null), so that two builds of the program can be
// compared call by call.
std::string Text(const char* text);
std::string WideText(const char16_t* text);
std::string Bytes(const void* data, size_t size);
std::string Ptr(const void* pointer);
std::string Handle(const void* handle);  // as the 32-bit value a 32-bit program holds
std::string Size(const DWORD* size);

template <typename Number>
std::string Num(Number value)
{
    return std::to_string((long long)value);
}

template <typename... Pieces>
void LogLine(const char* name, const Pieces&... pieces)
{
    std::string line = std::string(name) + "(";
    bool first = true;
    ((line += (first ? "" : ", ") + std::string(pieces), first = false), ...);
    world.calls.push_back(line + ")");
}

// Copies text and its terminator when it fits: its length; else the size it needs.
template <typename Char>
DWORD CopyOut(const std::basic_string<Char>& text, Char* buffer, DWORD size)
{
    if (text.size() + 1 > size) {
        return (DWORD)text.size() + 1;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return (DWORD)text.size();
}

// Logs a call; its arguments are put into words only while the log is on.
#define LOG_CALL(...) (world.logCalls ? LogLine(__VA_ARGS__) : (void)0)

}  // namespace sim::detail

#endif
