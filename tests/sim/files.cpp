// Files and folders: paths without case, attributes, timed locks, searches and open files.
#include "sim/world.h"

#include <string_view>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim/code_pages.h"

namespace sim::detail {

// Backslashes only, runs of backslashes folded and no trailing one, as Windows reads a path;
// in lower case too when asked.
std::string CleanPath(std::string_view path, bool lower)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (lower && c >= 'A' && c <= 'Z') {
            c = (char)(c - 'A' + 'a');
        }
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

// The normal form of a path that the program passed to an A function.
std::string PathKey(const char* ansi)
{
    std::string_view path(ansi ? ansi : "");
    bool plain = std::all_of(path.begin(), path.end(), [](char c) { return (unsigned char)c < 0x80; });
    std::string normal = plain ? CleanPath(path, true) : NormalPath(sim::TextFromAnsi(std::string(path)));
    return normal.find('~') == std::string::npos ? normal : ResolveShortNames(normal);
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

void CopyName(char* target, const std::string& name)
{
    size_t n = std::min(name.size(), (size_t)MAX_PATH - 1);
    std::memcpy(target, name.data(), n);
    target[n] = 0;
}

void FillFound(const std::pair<std::string, bool>& name, LPWIN32_FIND_DATAA found)
{
    std::memset(found, 0, sizeof *found);
    found->dwFileAttributes = name.second ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    CopyName(found->cFileName, sim::TextToAnsi(name.first));
}

}  // namespace sim::detail

using namespace sim::detail;

namespace sim {

// One pass over the path; only text beyond plain ASCII needs converting first.
std::string NormalPath(const std::string& path)
{
    return CleanPath(IsPlainAscii(path) ? path : TextFromTest(path), true);
}

std::string LongNormalPath(const std::string& path)
{
    return ResolveShortNames(NormalPath(path));
}

void AddFolder(const std::string& path)
{
    std::string clean = CleanPath(TextFromTest(path), false);
    std::string normal = CleanPath(clean, true);  // the same path in lower case
    for (size_t at = clean.find('\\');; at = clean.find('\\', at + 1)) {
        size_t end = at == std::string::npos ? clean.size() : at;
        std::string above = normal.substr(0, end);
        if (!above.empty() && !FindEntry(above)) {
            world.entries.emplace(above, Entry{clean.substr(0, end), true, "", 0u, 0});
        }
        if (at == std::string::npos) {
            break;
        }
    }
}

void AddFile(const std::string& path, const std::string& contents, bool readOnly)
{
    std::string clean = CleanPath(TextFromTest(path), false);
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

}  // namespace sim

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    LOG_CALL("CreateDirectoryA", Text(path), Ptr(security));
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
    world.entries[normal] = Entry{CleanPath(sim::TextFromAnsi(path), false), true, "", 0u, 0};
    return TRUE;
}

BOOL CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists)
{
    LOG_CALL("CopyFileA", Text(existingFile), Text(newFile), Num(failIfExists));
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
    world.entries[to] = Entry{CleanPath(sim::TextFromAnsi(newFile), false), false, source->contents,
                              source->attributes, 0};
    world.events.push_back("copied to " + to);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path)
{
    LOG_CALL("DeleteFileA", Text(path));
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
    LOG_CALL("SetFileAttributesA", Text(path), Num(attributes));
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
    LOG_CALL("GetFileAttributesA", Text(path));
    Entry* entry = FindEntry(PathKey(path));
    if (!entry) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = entry->attributes | (entry->folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL RemoveDirectoryA(LPCSTR path)
{
    LOG_CALL("RemoveDirectoryA", Text(path));
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

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found)
{
    LOG_CALL("FindFirstFileA", Text(pattern), Ptr(found));
    std::string text = sim::TextFromAnsi(pattern);
    size_t cut = text.find_last_of('\\');
    std::string folder = ResolveShortNames(sim::NormalPath(cut == std::string::npos ? "" : text.substr(0, cut)));
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
    LOG_CALL("FindNextFileA", Handle(handle), Ptr(found));
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
    LOG_CALL("FindClose", Handle(handle));
    return world.searches.erase((uintptr_t)handle) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags, HANDLE templateFile)
{
    LOG_CALL("CreateFileA", Text(path), Num(access), Num(shareMode), Ptr(security), Num(creation),
                Num(flags), Handle(templateFile));
    if (world.failCreateFile || creation != CREATE_NEW) {
        Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    std::string normal = PathKey(path);
    if (FindEntry(normal)) {
        Fail(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if (normal.empty() || !ParentIsFolder(normal)) {
        Fail(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    world.entries[normal] = Entry{CleanPath(sim::TextFromAnsi(path), false), false, "", 0u, 0};
    uintptr_t handle = world.nextHandle++;
    world.fileHandles[handle] = OpenFile{normal};
    return (HANDLE)handle;
}

BOOL WriteFile(HANDLE handle, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    LOG_CALL("WriteFile", Handle(handle), Bytes(data, size), Num(size), Ptr(written), Ptr(overlapped));
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
    LOG_CALL("CloseHandle", Handle(handle));
    bool closed = world.fileHandles.erase((uintptr_t)handle) ||
                  world.processHandles.erase((uintptr_t)handle);
    return closed ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL IsBadReadPtr(const void* address, UINT_PTR size)
{
    LOG_CALL("IsBadReadPtr", Ptr(address), Num(size));
    return address == nullptr;
}

BOOL IsBadWritePtr(LPVOID address, UINT_PTR size)
{
    LOG_CALL("IsBadWritePtr", Ptr(address), Num(size));
    return address == nullptr;
}

LPSTR lstrcpyA(LPSTR target, LPCSTR source)
{
    LOG_CALL("lstrcpyA", Ptr(target), Text(source));
    return std::strcpy(target, source);
}

LPSTR lstrcatA(LPSTR target, LPCSTR source)
{
    LOG_CALL("lstrcatA", Text(target), Text(source));
    return std::strcat(target, source);
}

int lstrlenA(LPCSTR text)
{
    LOG_CALL("lstrlenA", Text(text));
    return text ? (int)std::strlen(text) : 0;
}

int lstrcmpA(LPCSTR first, LPCSTR second)
{
    LOG_CALL("lstrcmpA", Text(first), Text(second));
    return std::strcmp(first, second);
}
