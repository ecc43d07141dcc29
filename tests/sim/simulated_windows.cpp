#include "sim/simulated_windows.h"

#include "sim/code_pages.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>

namespace {

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

    std::string commandLine = "\"C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe\"";
    std::string modulePath = "C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe";
    std::string tempPath = "C:\\TEMP\\";

    std::vector<Window> windows;
    std::deque<int> answers;
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

World world;

// --- The call log: each operation the program calls, with its arguments as values (texts,
// numbers, handles; pointers only as present or null), so that two builds of the program can be
// compared call by call.

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

template <typename Number>
std::string Num(Number value)
{
    return std::to_string((long long)value);
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

template <typename... Pieces>
void LogCall(const char* name, const Pieces&... pieces)
{
    if (!world.logCalls) {
        return;
    }
    std::string line = std::string(name) + "(";
    bool first = true;
    ((line += (first ? "" : ", ") + std::string(pieces), first = false), ...);
    world.calls.push_back(line + ")");
}

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        c = (char)std::tolower((unsigned char)c);
    }
    return out;
}

// --- Registry helpers

std::string RootId(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE) {
        return "hklm";
    }
    if (root == HKEY_CURRENT_USER) {
        return "hkcu";
    }
    return "";
}

std::string KeyId(HKEY root, const std::string& path)
{
    std::string id = RootId(root);
    if (id.empty()) {
        auto open = world.keyHandles.find((uintptr_t)root);
        if (open == world.keyHandles.end()) {
            return "";
        }
        id = open->second;
    }
    return path.empty() ? id : id + "\\" + Lower(path);
}

bool KeyIdExists(const std::string& id)
{
    return id == "hklm" || id == "hkcu" || world.keys.count(id) > 0;
}

std::vector<std::string> SubKeyNames(const std::string& id)
{
    std::vector<std::string> names;
    std::string prefix = id + "\\";
    for (auto it = world.keys.lower_bound(prefix); it != world.keys.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        std::string rest = it->first.substr(prefix.size());
        if (rest.find('\\') == std::string::npos) {
            names.push_back(rest);
        }
    }
    return names;
}

void CreateKeyId(const std::string& id)
{
    for (size_t at = id.find('\\'); at != std::string::npos; at = id.find('\\', at + 1)) {
        world.keys[id.substr(0, at)];
    }
    world.keys[id];
    world.keys.erase("hklm");
    world.keys.erase("hkcu");
}

HKEY NewKeyHandle(const std::string& id)
{
    uintptr_t handle = world.nextHandle++;
    world.keyHandles[handle] = id;
    return (HKEY)handle;
}

// --- File helpers

using sim::NormalPath;

// Backslashes only, runs of backslashes folded and no trailing one, as Windows reads a path.
std::string CleanPath(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == '/') {
            c = '\\';
        }
        if (c == '\\' && !out.empty() && out.back() == '\\') {
            continue;
        }
        out += c;
    }
    while (out.size() > 1 && out.back() == '\\') {
        out.pop_back();
    }
    return out;
}

std::string ParentOf(const std::string& normal)
{
    size_t cut = normal.rfind('\\');
    return cut == std::string::npos ? "" : normal.substr(0, cut);
}

Entry* FindEntry(const std::string& normal)
{
    auto it = world.entries.find(normal);
    return it == world.entries.end() ? nullptr : &it->second;
}

bool ParentIsFolder(const std::string& normal)
{
    std::string parent = ParentOf(normal);
    if (parent.empty()) {
        return true;  // a drive or a bare name
    }
    Entry* folder = FindEntry(parent);
    return folder && folder->folder;
}

// The 8.3 name a file system gives a name that is not one: letters it cannot take become "_",
// blanks and dots go, six letters of the name and three of the extension stay, upper case.
bool IsShortName(const std::string& name)
{
    size_t dot = name.find('.');
    size_t base = dot == std::string::npos ? name.size() : dot;
    size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
    if (base == 0 || base > 8 || extension > 3 || name.find('.', base + 1) != std::string::npos) {
        return false;
    }
    for (char c : name) {
        if ((unsigned char)c >= 0x80 || c == ' ' || std::strchr("+,;=[]\\\"*?<>|:/", c)) {
            return false;
        }
    }
    return true;
}

std::string ShortNamePart(const std::string& part, size_t most)
{
    std::string out;
    for (char16_t c : sim::TextToWide(part)) {
        if (out.size() == most) {
            break;
        }
        if (c == ' ' || c == '.') {
            continue;
        }
        bool usable = c < 0x80 && c != '?' && !std::strchr("+,;=[]", (char)c);
        out += usable ? (char)std::toupper((unsigned char)c) : '_';
    }
    return out;
}

// The short names of every entry directly in folder (normal path), by the entry's normal path,
// numbered in the order of the names as a file system would number them.
std::map<std::string, std::string> ShortNamesIn(const std::string& folder)
{
    std::map<std::string, std::string> names;
    std::map<std::string, int> used;
    std::string prefix = folder + "\\";
    for (auto it = world.entries.lower_bound(prefix); it != world.entries.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        if (it->first.find('\\', prefix.size()) != std::string::npos) {
            continue;
        }
        std::string name = it->second.path.substr(it->second.path.find_last_of('\\') + 1);
        if (!world.shortNames || IsShortName(name)) {
            names[it->first] = name;
            continue;
        }
        size_t dot = name.rfind('.');
        std::string base = ShortNamePart(name.substr(0, dot), 6);
        std::string extension = dot == std::string::npos ? "" : ShortNamePart(name.substr(dot + 1), 3);
        std::string number = std::to_string(++used[base + "." + extension]);
        names[it->first] = base + "~" + number + (extension.empty() ? "" : "." + extension);
    }
    return names;
}

// A path that names folders or files by their short names, in the normal form of their long
// names; other paths as they are.
std::string ResolveShortNames(const std::string& normal)
{
    if (normal.find('~') == std::string::npos || FindEntry(normal)) {
        return normal;
    }
    std::string resolved;
    size_t start = 0;
    while (start <= normal.size()) {
        size_t end = normal.find('\\', start);
        std::string part = normal.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string path = resolved.empty() ? part : resolved + "\\" + part;
        if (!resolved.empty() && !FindEntry(path) && part.find('~') != std::string::npos) {
            for (const auto& name : ShortNamesIn(resolved)) {
                if (Lower(name.second) == part) {
                    path = name.first;
                    break;
                }
            }
        }
        resolved = path;
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return resolved;
}

// The normal form of a path that the program passed to an A function.
std::string PathKey(const char* ansi)
{
    return ResolveShortNames(NormalPath(sim::TextFromAnsi(ansi ? ansi : "")));
}

bool HasChildren(const std::string& normal)
{
    std::string prefix = normal + "\\";
    auto it = world.entries.lower_bound(prefix);
    return it != world.entries.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

bool IsLocked(const Entry& entry)
{
    return entry.lockedUntil == -1 || world.clockMs < entry.lockedUntil;
}

bool IsOpen(const std::string& normal)
{
    for (auto& open : world.fileHandles) {
        if (open.second.path == normal) {
            return true;
        }
    }
    return false;
}

BOOL Fail(DWORD error)
{
    world.lastError = error;
    return FALSE;
}

void CopyName(char* target, const std::string& name)
{
    size_t n = std::min(name.size(), (size_t)MAX_PATH - 1);
    std::memcpy(target, name.data(), n);
    target[n] = 0;
}

}  // namespace

// ---------------------------------------------------------------- the test interface

namespace sim {

std::string NormalPath(const std::string& path)
{
    return Lower(CleanPath(TextFromTest(path)));
}

std::string LongNormalPath(const std::string& path)
{
    return ResolveShortNames(NormalPath(path));
}

void ResetWorld()
{
    world = World();
}

void AddKey(HKEY root, const std::string& path)
{
    CreateKeyId(KeyId(root, path));
}

void SetRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes)
{
    std::string id = KeyId(root, path);
    CreateKeyId(id);
    world.keys[id].values[Lower(name)] = Value{type, bytes, u""};
}

void SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text)
{
    std::string letters = TextFromTest(text);
    SetRawValue(root, path, name, REG_SZ, TextToAnsi(letters) + std::string(1, '\0'));
    world.keys[KeyId(root, path)].values[Lower(name)].wide = TextToWide(letters) + u'\0';
}

void RemoveKey(HKEY root, const std::string& path)
{
    std::string id = KeyId(root, path);
    std::string prefix = id + "\\";
    for (auto it = world.keys.begin(); it != world.keys.end();) {
        bool below = it->first == id || it->first.compare(0, prefix.size(), prefix) == 0;
        it = below ? world.keys.erase(it) : std::next(it);
    }
}

void RemoveValue(HKEY root, const std::string& path, const std::string& name)
{
    auto key = world.keys.find(KeyId(root, path));
    if (key != world.keys.end()) {
        key->second.values.erase(Lower(name));
    }
}

bool KeyExists(HKEY root, const std::string& path)
{
    return world.keys.count(KeyId(root, path)) > 0;
}

std::vector<std::string> ListKeys(HKEY root)
{
    std::vector<std::string> out;
    std::string prefix = RootId(root) + "\\";
    for (auto& key : world.keys) {
        if (key.first.compare(0, prefix.size(), prefix) == 0) {
            out.push_back(key.first.substr(prefix.size()));
        }
    }
    return out;
}

void MakeKeyUndeletable(HKEY root, const std::string& path)
{
    world.undeletableKeys.insert(KeyId(root, path));
}

void SetDeleteKeyTakesTree(bool takesTree)
{
    world.deleteKeyTakesTree = takesTree;
}

void FailQueryInfoKey(bool fail)
{
    world.failQueryInfoKey = fail;
}

void AddFolder(const std::string& path)
{
    std::string clean = CleanPath(TextFromTest(path));
    if (clean.empty()) {
        return;
    }
    for (size_t at = clean.find('\\'); at != std::string::npos; at = clean.find('\\', at + 1)) {
        std::string above = NormalPath(clean.substr(0, at));
        if (!above.empty() && !FindEntry(above)) {
            world.entries[above] = Entry{clean.substr(0, at), true, "", 0u, 0};
        }
    }
    if (!FindEntry(NormalPath(clean))) {
        world.entries[NormalPath(clean)] = Entry{clean, true, "", 0u, 0};
    }
}

void AddFile(const std::string& path, const std::string& contents, bool readOnly)
{
    std::string clean = CleanPath(TextFromTest(path));
    if (clean.empty()) {
        return;
    }
    size_t cut = clean.rfind('\\');
    if (cut != std::string::npos && cut > 0) {
        AddFolder(clean.substr(0, cut));
    }
    world.entries[NormalPath(clean)] =
        Entry{clean, false, contents, readOnly ? FILE_ATTRIBUTE_READONLY : 0u, 0};
}

bool FileExists(const std::string& path)
{
    Entry* entry = FindEntry(ResolveShortNames(NormalPath(path)));
    return entry && !entry->folder;
}

bool FolderExists(const std::string& path)
{
    Entry* entry = FindEntry(ResolveShortNames(NormalPath(path)));
    return entry && entry->folder;
}

bool IsReadOnly(const std::string& path)
{
    Entry* entry = FindEntry(ResolveShortNames(NormalPath(path)));
    return entry && (entry->attributes & FILE_ATTRIBUTE_READONLY);
}

std::string FileContents(const std::string& path)
{
    Entry* entry = FindEntry(ResolveShortNames(NormalPath(path)));
    return entry ? entry->contents : "";
}

std::vector<std::string> ListEntries()
{
    std::vector<std::string> out;
    for (auto& entry : world.entries) {
        out.push_back(entry.first + (entry.second.folder ? "\\" : ""));
    }
    return out;
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

void SetCommandLine(const std::string& text)
{
    world.commandLine = text;
}

void SetModulePath(const std::string& path)
{
    world.modulePath = TextFromTest(path);
}

void SetTempPath(const std::string& path)
{
    world.tempPath = TextFromTest(path);
}

void SetWideFunctions(WideFunctions functions)
{
    world.wideFunctions = functions;
}

void SetShortNames(bool on)
{
    world.shortNames = on;
}

std::string TempPathText()
{
    return world.tempPath;
}

std::string ValueText(HKEY root, const std::string& path, const std::string& name)
{
    auto key = world.keys.find(KeyId(root, path));
    if (key == world.keys.end() || !key->second.values.count(Lower(name))) {
        return "";
    }
    const Value& value = key->second.values[Lower(name)];
    std::string text = value.wide.empty() ? TextFromAnsi(value.bytes) : TextFromWide(value.wide);
    return text.substr(0, text.find('\0'));
}

void AddWindow(const std::string& windowClass)
{
    world.windows.push_back(Window{windowClass, (DWORD)(100 + world.windows.size()), 0, true, -1});
}

void SetWindowProcess(long long closesAfterMs, bool openable)
{
    world.windows.back().closesAfterMs = closesAfterMs;
    world.windows.back().openable = openable;
}

bool WindowProcessEnded(int index)
{
    const Window& window = world.windows[index];
    return window.endsAtMs >= 0 && window.endsAtMs <= world.clockMs;
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

void QueueAnswer(int answer)
{
    world.answers.push_back(answer);
}

const std::vector<MessageBoxShown>& BoxesShown()
{
    return world.boxes;
}

const std::vector<PostedMessage>& MessagesPosted()
{
    return world.posted;
}

void SetShellExecuteResult(intptr_t result)
{
    world.shellExecuteResult = result;
}

const std::vector<ProgramStarted>& ProgramsStarted()
{
    return world.started;
}

const std::vector<ShellNotice>& ShellNotices()
{
    return world.notices;
}

const std::vector<unsigned>& Pauses()
{
    return world.pauses;
}

long long ClockMs()
{
    return world.clockMs;
}

int DeleteAttempts(const std::string& path)
{
    auto it = world.deleteAttempts.find(NormalPath(path));
    return it == world.deleteAttempts.end() ? 0 : it->second;
}

int OpenHandleCount()
{
    return (int)(world.keyHandles.size() + world.fileHandles.size() + world.searches.size() +
                 world.processHandles.size());
}

}  // namespace sim

// ---------------------------------------------------------------- registry operations

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    LogCall("RegOpenKeyExA", Handle(key), Text(subKey), Num(options), Num(access), Ptr(result));
    std::string id = KeyId(key, subKey ? subKey : "");
    if (id.empty() || !KeyIdExists(id)) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewKeyHandle(id);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition)
{
    LogCall("RegCreateKeyExA", Handle(key), Text(subKey), Num(reserved), Text(keyClass), Num(options),
                Num(access), Ptr(security), Ptr(result), Ptr(disposition));
    std::string id = KeyId(key, subKey ? subKey : "");
    if (id.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    bool existed = KeyIdExists(id);
    if (!existed) {
        CreateKeyId(id);
    }
    if (disposition) {
        *disposition = existed ? 2 : 1;
    }
    *result = NewKeyHandle(id);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize)
{
    LogCall("RegQueryValueExA", Handle(key), Text(valueName), Ptr(reserved), Ptr(type), Ptr(data),
                Size(dataSize));
    auto open = world.keyHandles.find((uintptr_t)key);
    if (open == world.keyHandles.end()) {
        return ERROR_INVALID_HANDLE;
    }
    auto found = world.keys.find(open->second);
    if (found == world.keys.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto value = found->second.values.find(Lower(valueName ? valueName : ""));
    if (value == found->second.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->second.type;
    }
    DWORD needed = (DWORD)value->second.bytes.size();
    if (data && dataSize && needed > *dataSize) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::memcpy(data, value->second.bytes.data(), needed);
    }
    if (dataSize) {
        *dataSize = needed;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite)
{
    LogCall("RegEnumKeyExA", Handle(key), Num(index), Ptr(name), Size(nameSize), Ptr(reserved),
                Ptr(keyClass), Ptr(classSize), Ptr(lastWrite));
    std::string id = KeyId(key, "");
    if (id.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<std::string> names = SubKeyNames(id);
    if (index >= names.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::string& found = names[index];
    if (found.size() + 1 > *nameSize) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameSize = (DWORD)found.size();
    return ERROR_SUCCESS;
}

LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                         LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                         LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                         LPDWORD securityDescriptorSize, PFILETIME lastWrite)
{
    LogCall("RegQueryInfoKeyA", Handle(key), Ptr(keyClass), Ptr(classSize), Ptr(reserved),
                Ptr(subKeys), Ptr(maxSubKeyLength), Ptr(maxClassLength), Ptr(values),
                Ptr(maxValueNameLength), Ptr(maxValueLength), Ptr(securityDescriptorSize), Ptr(lastWrite));
    std::string id = KeyId(key, "");
    if (id.empty() || world.failQueryInfoKey) {
        return ERROR_ACCESS_DENIED;
    }
    if (subKeys) {
        *subKeys = (DWORD)SubKeyNames(id).size();
    }
    if (values) {
        *values = world.keys.count(id) ? (DWORD)world.keys[id].values.size() : 0;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    LogCall("RegDeleteKeyA", Handle(key), Text(subKey));
    if (!subKey || !*subKey) {
        return ERROR_ACCESS_DENIED;
    }
    std::string id = KeyId(key, subKey);
    if (id.empty() || !world.keys.count(id)) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (world.undeletableKeys.count(id)) {
        return ERROR_ACCESS_DENIED;
    }
    bool hasSubKeys = !SubKeyNames(id).empty();
    if (hasSubKeys && !world.deleteKeyTakesTree) {
        return ERROR_ACCESS_DENIED;
    }
    sim::RemoveKey(key, subKey);
    world.events.push_back("deleted key " + id);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key)
{
    LogCall("RegCloseKey", Handle(key));
    return world.keyHandles.erase((uintptr_t)key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// ---------------------------------------------------------------- process and files

LPSTR GetCommandLineA(void)
{
    LogCall("GetCommandLineA");
    return &world.commandLine[0];
}

DWORD GetModuleFileNameA(HINSTANCE module, LPSTR fileName, DWORD size)
{
    LogCall("GetModuleFileNameA", Handle(module), Ptr(fileName), Num(size));
    const std::string path = sim::TextToAnsi(world.modulePath);
    if (size == 0) {
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return (DWORD)path.size();
    }
    // Cut to fit and terminated, reporting the whole size, as later Windows versions do.
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = 0;
    world.lastError = 122;
    return size;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer)
{
    LogCall("GetTempPathA", Num(size), Ptr(buffer));
    const std::string path = sim::TextToAnsi(world.tempPath);
    if (path.size() + 1 > size) {
        return (DWORD)path.size() + 1;  // the size it needs; nothing written
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    LogCall("CreateDirectoryA", Text(path), Ptr(security));
    std::string normal = PathKey(path);
    if (normal.empty()) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    if (FindEntry(normal)) {
        return Fail(ERROR_ALREADY_EXISTS);
    }
    if (!ParentIsFolder(normal)) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    world.entries[normal] = Entry{CleanPath(sim::TextFromAnsi(path)), true, "", 0u, 0};
    return TRUE;
}

BOOL CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists)
{
    LogCall("CopyFileA", Text(existingFile), Text(newFile), Num(failIfExists));
    std::string from = PathKey(existingFile);
    std::string to = PathKey(newFile);
    if (world.failCopyFile) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    Entry* source = FindEntry(from);
    if (!source || source->folder) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    if (to.empty() || !ParentIsFolder(to)) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    if (from == to) {
        return Fail(ERROR_SHARING_VIOLATION);
    }
    Entry* target = FindEntry(to);
    if (target) {
        if (failIfExists) {
            return Fail(ERROR_FILE_EXISTS);
        }
        if (target->folder || (target->attributes & FILE_ATTRIBUTE_READONLY)) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        if (IsLocked(*target) || IsOpen(to)) {
            return Fail(ERROR_SHARING_VIOLATION);
        }
    }
    // The copy takes the source's attributes, read-only included.
    world.entries[to] = Entry{CleanPath(sim::TextFromAnsi(newFile)), false, source->contents,
                              source->attributes, 0};
    world.events.push_back("copied to " + to);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path)
{
    LogCall("DeleteFileA", Text(path));
    std::string normal = PathKey(path);
    world.deleteAttempts[normal]++;
    Entry* entry = FindEntry(normal);
    if (!entry) {
        return Fail(ParentIsFolder(normal) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    }
    if (entry->folder || (entry->attributes & FILE_ATTRIBUTE_READONLY)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (IsLocked(*entry) || IsOpen(normal)) {
        return Fail(ERROR_SHARING_VIOLATION);
    }
    world.entries.erase(normal);
    world.events.push_back("deleted " + normal);
    return TRUE;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes)
{
    LogCall("SetFileAttributesA", Text(path), Num(attributes));
    Entry* entry = FindEntry(PathKey(path));
    if (!entry) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    entry->attributes = attributes == FILE_ATTRIBUTE_NORMAL ? 0 : attributes & ~FILE_ATTRIBUTE_DIRECTORY;
    world.events.push_back("attributes " + std::to_string(entry->attributes) + " " + PathKey(path));
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    LogCall("GetFileAttributesA", Text(path));
    Entry* entry = FindEntry(PathKey(path));
    if (!entry) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = entry->attributes | (entry->folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

DWORD GetLastError(void)
{
    LogCall("GetLastError");
    return world.lastError;
}

BOOL RemoveDirectoryA(LPCSTR path)
{
    LogCall("RemoveDirectoryA", Text(path));
    std::string normal = PathKey(path);
    Entry* entry = FindEntry(normal);
    if (!entry) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    if (!entry->folder) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (HasChildren(normal)) {
        return Fail(ERROR_DIR_NOT_EMPTY);
    }
    world.entries.erase(normal);
    return TRUE;
}

namespace {

void FillFound(const std::pair<std::string, bool>& name, LPWIN32_FIND_DATAA found)
{
    std::memset(found, 0, sizeof *found);
    found->dwFileAttributes = name.second ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    CopyName(found->cFileName, sim::TextToAnsi(name.first));
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found)
{
    LogCall("FindFirstFileA", Text(pattern), Ptr(found));
    std::string text = sim::TextFromAnsi(pattern);
    size_t cut = text.find_last_of('\\');
    std::string folder = ResolveShortNames(NormalPath(cut == std::string::npos ? "" : text.substr(0, cut)));
    std::string mask = Lower(cut == std::string::npos ? text : text.substr(cut + 1));
    Entry* entry = FindEntry(folder);
    if (!entry || !entry->folder) {
        Fail(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool all = mask == "*.*" || mask == "*";
    Search search{{}, 0};
    if (all) {
        search.names.push_back({".", true});
        search.names.push_back({"..", true});
    }
    std::string prefix = folder + "\\";
    for (auto it = world.entries.lower_bound(prefix); it != world.entries.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        std::string rest = it->first.substr(prefix.size());
        if (rest.find('\\') != std::string::npos) {
            continue;
        }
        if (all || rest == mask) {
            std::string shown = it->second.path.substr(it->second.path.find_last_of('\\') + 1);
            search.names.push_back({shown, it->second.folder});
        }
    }
    if (search.names.empty()) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    FillFound(search.names[0], found);
    search.next = 1;
    uintptr_t handle = world.nextHandle++;
    world.searches[handle] = search;
    return (HANDLE)handle;
}

BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA found)
{
    LogCall("FindNextFileA", Handle(handle), Ptr(found));
    auto it = world.searches.find((uintptr_t)handle);
    if (it == world.searches.end()) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    Search& search = it->second;
    if (search.next >= search.names.size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    FillFound(search.names[search.next++], found);
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    LogCall("FindClose", Handle(handle));
    return world.searches.erase((uintptr_t)handle) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags, HANDLE templateFile)
{
    LogCall("CreateFileA", Text(path), Num(access), Num(shareMode), Ptr(security), Num(creation),
                Num(flags), Handle(templateFile));
    std::string normal = PathKey(path);
    if (world.failCreateFile || creation != CREATE_NEW) {
        Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (FindEntry(normal)) {
        Fail(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if (normal.empty() || !ParentIsFolder(normal)) {
        Fail(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    world.entries[normal] = Entry{CleanPath(sim::TextFromAnsi(path)), false, "", 0u, 0};
    uintptr_t handle = world.nextHandle++;
    world.fileHandles[handle] = OpenFile{normal};
    return (HANDLE)handle;
}

BOOL WriteFile(HANDLE handle, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    LogCall("WriteFile", Handle(handle), Bytes(data, size), Num(size), Ptr(written), Ptr(overlapped));
    auto it = world.fileHandles.find((uintptr_t)handle);
    if (it == world.fileHandles.end()) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    world.entries[it->second.path].contents.append((const char*)data, size);
    if (written) {
        *written = size;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    LogCall("CloseHandle", Handle(handle));
    bool closed = world.fileHandles.erase((uintptr_t)handle) ||
                  world.processHandles.erase((uintptr_t)handle);
    return closed ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

void Sleep(DWORD milliseconds)
{
    LogCall("Sleep", Num(milliseconds));
    world.pauses.push_back(milliseconds);
    world.clockMs += milliseconds;
}

BOOL IsBadReadPtr(const void* address, UINT_PTR size)
{
    LogCall("IsBadReadPtr", Ptr(address), Num(size));
    return address == nullptr;
}

BOOL IsBadWritePtr(LPVOID address, UINT_PTR size)
{
    LogCall("IsBadWritePtr", Ptr(address), Num(size));
    return address == nullptr;
}

LPSTR lstrcpyA(LPSTR target, LPCSTR source)
{
    LogCall("lstrcpyA", Ptr(target), Text(source));
    return std::strcpy(target, source);
}

LPSTR lstrcatA(LPSTR target, LPCSTR source)
{
    LogCall("lstrcatA", Text(target), Text(source));
    return std::strcat(target, source);
}

int lstrlenA(LPCSTR text)
{
    LogCall("lstrlenA", Text(text));
    return text ? (int)std::strlen(text) : 0;
}

int lstrcmpA(LPCSTR first, LPCSTR second)
{
    LogCall("lstrcmpA", Text(first), Text(second));
    return std::strcmp(first, second);
}

// ---------------------------------------------------------------- user and shell

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    LogCall("MessageBoxA", Handle(owner), Text(text), Text(caption), Num(style));
    world.boxes.push_back(sim::MessageBoxShown{text ? text : "", caption ? caption : "", style});
    if (world.answers.empty()) {
        return IDOK;
    }
    int answer = world.answers.front();
    world.answers.pop_front();
    return answer;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    LogCall("FindWindowA", Text(className), Text(windowName));
    for (size_t i = 0; i < world.windows.size(); ++i) {
        if (Lower(world.windows[i].windowClass) == Lower(className)) {
            return (HWND)(uintptr_t)(i + 1);
        }
    }
    return nullptr;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogCall("PostMessageA", Handle(window), Num(message), Num(wParam), Num(lParam));
    size_t index = (uintptr_t)window - 1;
    if (!window || index >= world.windows.size()) {
        return Fail(1400);
    }
    const std::string& windowClass = world.windows[index].windowClass;
    int sameClassBefore = 0;
    for (size_t i = 0; i < index; ++i) {
        sameClassBefore += Lower(world.windows[i].windowClass) == Lower(windowClass);
    }
    world.posted.push_back(sim::PostedMessage{windowClass, sameClassBefore, message, wParam, lParam});
    world.events.push_back("posted " + std::to_string(message) + " to " + windowClass);
    Window& target = world.windows[index];
    if (message == WM_CLOSE && target.endsAtMs < 0 && target.closesAfterMs >= 0) {
        target.endsAtMs = world.clockMs + target.closesAfterMs;
    }
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId)
{
    LogCall("GetWindowThreadProcessId", Handle(window), Ptr(processId));
    size_t index = (uintptr_t)window - 1;
    if (!window || index >= world.windows.size()) {
        return Fail(1400);  // ERROR_INVALID_WINDOW_HANDLE
    }
    if (processId) {
        *processId = world.windows[index].processId;
    }
    return world.windows[index].processId + 1;
}

HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId)
{
    LogCall("OpenProcess", Num(access), Num(inheritHandle), Num(processId));
    for (size_t i = 0; i < world.windows.size(); ++i) {
        const Window& window = world.windows[i];
        if (window.processId != processId || sim::WindowProcessEnded((int)i)) {
            continue;
        }
        if (!window.openable) {
            Fail(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        uintptr_t handle = world.nextHandle++;
        world.processHandles[handle] = i;
        return (HANDLE)handle;
    }
    Fail(87);  // ERROR_INVALID_PARAMETER: no such process
    return nullptr;
}

// Time passes while the program waits: until the process ends, or for the whole timeout.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    LogCall("WaitForSingleObject", Handle(object), Num(milliseconds));
    auto open = world.processHandles.find((uintptr_t)object);
    if (open == world.processHandles.end()) {
        Fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    long long endsAt = world.windows[open->second].endsAtMs;
    world.events.push_back("waited up to " + std::to_string(milliseconds) + " ms");
    if (endsAt >= 0 && endsAt <= world.clockMs + (long long)milliseconds) {
        world.clockMs = std::max(world.clockMs, endsAt);
        return WAIT_OBJECT_0;
    }
    world.clockMs += milliseconds;
    return WAIT_TIMEOUT;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    LogCall("wsprintfA", Ptr(buffer), Text(format), "-> " + Text(buffer));
    return written;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand)
{
    LogCall("ShellExecuteA", Handle(owner), Text(verb), Text(file), Text(parameters), Text(directory),
                Num(showCommand));
    world.events.push_back("started " + sim::TextFromAnsi(file ? file : ""));
    world.started.push_back(sim::ProgramStarted{verb ? verb : "", sim::TextFromAnsi(file ? file : ""),
                                                parameters ? parameters : "",
                                                sim::TextFromAnsi(directory ? directory : ""),
                                                showCommand});
    return (HINSTANCE)world.shellExecuteResult;
}

void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2)
{
    LogCall("SHChangeNotify", Num(eventId), Num(flags), flags == SHCNF_PATH ? Text((const char*)item1) : Ptr(item1),
                Ptr(item2));
    world.notices.push_back(
        sim::ShellNotice{eventId, flags, sim::TextFromAnsi(item1 ? (const char*)item1 : "")});
}

// ---------------------------------------------------------------- code pages and short names

namespace {

// The short form of a path: each folder and file named by its short name, the drive as given,
// a trailing backslash kept. "" when the path names nothing.
std::string ShortFormOf(const std::string& text)
{
    std::string normal = ResolveShortNames(NormalPath(text));
    if (normal.empty() || !FindEntry(normal)) {
        return "";
    }
    std::string shortForm;
    size_t start = 0;
    for (size_t end = normal.find('\\'); ; end = normal.find('\\', start)) {
        std::string prefix = normal.substr(0, end);
        if (start == 0) {
            shortForm = FindEntry(prefix) ? FindEntry(prefix)->path : prefix;
        } else {
            shortForm += "\\" + ShortNamesIn(normal.substr(0, start - 1))[prefix];
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    bool trailing = !text.empty() && (text.back() == '\\' || text.back() == '/');
    return trailing && shortForm.back() != '\\' ? shortForm + "\\" : shortForm;
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

bool WideFunctionsWork()
{
    if (world.wideFunctions == sim::WideStubs) {
        world.lastError = 120;  // ERROR_CALL_NOT_IMPLEMENTED
        return false;
    }
    return true;
}

DWORD WINAPI SimGetTempPathW(DWORD size, LPWSTR buffer)
{
    LogCall("GetTempPathW", Num(size), Ptr(buffer));
    return WideFunctionsWork() ? CopyOut(sim::TextToWide(world.tempPath), buffer, size) : 0;
}

DWORD WINAPI SimGetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    LogCall("GetModuleFileNameW", Handle(module), Ptr(buffer), Num(size));
    if (!WideFunctionsWork() || size == 0) {
        return 0;
    }
    std::u16string path = sim::TextToWide(world.modulePath);
    if (path.size() < size) {
        return CopyOut(path, buffer, size);
    }
    std::copy(path.begin(), path.begin() + size - 1, buffer);
    buffer[size - 1] = 0;
    return size;
}

DWORD WINAPI SimGetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size)
{
    LogCall("GetShortPathNameW", WideText(longPath), Ptr(shortPath), Num(size));
    if (!WideFunctionsWork()) {
        return 0;
    }
    std::string shortForm = ShortFormOf(sim::TextFromWide(longPath));
    if (shortForm.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    return CopyOut(sim::TextToWide(shortForm), shortPath, size);
}

LSTATUS WINAPI SimRegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD dataSize)
{
    LogCall("RegQueryValueExW", Handle(key), WideText(valueName), Ptr(reserved), Ptr(type), Ptr(data),
                Size(dataSize));
    if (!WideFunctionsWork()) {
        return 120;
    }
    std::string name = sim::TextToAnsi(sim::TextFromWide(valueName ? valueName : u""));
    DWORD valueType = REG_NONE;
    LSTATUS found = RegQueryValueExA(key, name.c_str(), reserved, &valueType, nullptr, nullptr);
    if (found != ERROR_SUCCESS) {
        return found;
    }
    const Value& value = world.keys[world.keyHandles[(uintptr_t)key]].values[Lower(name)];
    std::string bytes = value.bytes;
    if (valueType == REG_SZ || valueType == REG_EXPAND_SZ) {
        std::u16string wide = value.wide.empty() ? sim::TextToWide(sim::TextFromAnsi(bytes)) : value.wide;
        bytes.assign((const char*)wide.data(), wide.size() * sizeof(char16_t));
    }
    if (type) {
        *type = valueType;
    }
    if (data && dataSize && bytes.size() > *dataSize) {
        *dataSize = (DWORD)bytes.size();
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    if (dataSize) {
        *dataSize = (DWORD)bytes.size();
    }
    return ERROR_SUCCESS;
}

const HMODULE Kernel32Module = (HMODULE)(uintptr_t)0x7001;
const HMODULE Advapi32Module = (HMODULE)(uintptr_t)0x7002;

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    LogCall("GetModuleHandleA", Text(moduleName));
    std::string name = Lower(moduleName ? moduleName : "");
    return name == "kernel32.dll" ? Kernel32Module : name == "advapi32.dll" ? Advapi32Module : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    LogCall("GetProcAddress", Handle(module), Text(name));
    std::string wanted = name ? name : "";
    if (world.wideFunctions == sim::WideMissing) {
        return nullptr;
    }
    if (module == Kernel32Module && wanted == "GetTempPathW") {
        return (FARPROC)(void (*)(void))SimGetTempPathW;
    }
    if (module == Kernel32Module && wanted == "GetModuleFileNameW") {
        return (FARPROC)(void (*)(void))SimGetModuleFileNameW;
    }
    if (module == Kernel32Module && wanted == "GetShortPathNameW") {
        return (FARPROC)(void (*)(void))SimGetShortPathNameW;
    }
    if (module == Advapi32Module && wanted == "RegQueryValueExW") {
        return (FARPROC)(void (*)(void))SimRegQueryValueExW;
    }
    return nullptr;
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size)
{
    LogCall("GetShortPathNameA", Text(longPath), Ptr(shortPath), Num(size));
    std::string shortForm = ShortFormOf(sim::TextFromAnsi(longPath ? longPath : ""));
    if (shortForm.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    return CopyOut(sim::TextToAnsi(shortForm), shortPath, size);
}

// Only whole, terminated texts (length -1) are converted, as the program passes them.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int textSize, LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    LogCall("WideCharToMultiByte", Num(codePage), Num(flags), WideText(wide), Num(wideLength), Ptr(text),
                Num(textSize), Ptr(defaultChar), Ptr(usedDefaultChar));
    if (wideLength != -1 || !wide) {
        return Fail(87);  // ERROR_INVALID_PARAMETER
    }
    std::string converted = sim::TextToAnsi(sim::TextFromWide(wide));
    if (usedDefaultChar) {
        *usedDefaultChar = converted.find('?') != std::string::npos;
    }
    if ((int)converted.size() + 1 > textSize) {
        return Fail(122);  // ERROR_INSUFFICIENT_BUFFER
    }
    CopyOut(converted, text, (DWORD)textSize);
    return (int)converted.size() + 1;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                        int wideSize)
{
    LogCall("MultiByteToWideChar", Num(codePage), Num(flags), Text(text), Num(textLength), Ptr(wide),
                Num(wideSize));
    if (textLength != -1 || !text) {
        return Fail(87);
    }
    std::u16string converted = sim::TextToWide(sim::TextFromAnsi(text));
    if ((int)converted.size() + 1 > wideSize) {
        return Fail(122);
    }
    CopyOut(converted, wide, (DWORD)wideSize);
    return (int)converted.size() + 1;
}

BOOL CharToOemBuffA(LPCSTR source, LPSTR target, DWORD length)
{
    LogCall("CharToOemBuffA", Bytes(source, length), Ptr(target), Num(length));
    std::string converted = sim::AnsiToOem(std::string(source, length));
    std::memcpy(target, converted.data(), length);
    return TRUE;
}

BOOL OemToCharBuffA(LPCSTR source, LPSTR target, DWORD length)
{
    LogCall("OemToCharBuffA", Bytes(source, length), Ptr(target), Num(length));
    std::string converted = sim::OemToAnsi(std::string(source, length));
    std::memcpy(target, converted.data(), length);
    return TRUE;
}
