// Short (8.3) names: made for each name that is not one, understood in any path, or switched off.
#include "sim/world.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim/code_pages.h"

namespace sim::detail {

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
    // The first part is a drive, a name in the current folder, or empty before a leading "\".
    for (bool first = true; start <= normal.size(); first = false) {
        size_t end = normal.find('\\', start);
        std::string part = normal.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string path = first ? part : resolved + "\\" + part;
        if (!first && !FindEntry(path) && part.find('~') != std::string::npos) {
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

DWORD WINAPI SimGetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size)
{
    LOG_CALL("GetShortPathNameW", WideText(longPath), Ptr(shortPath), Num(size));
    if (!WideFunctionsWork()) {
        return 0;
    }
    std::string shortForm = ShortFormOf(sim::TextFromWide(longPath));
    if (shortForm.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    return CopyOut(sim::TextToWide(shortForm), shortPath, size);
}

}  // namespace sim::detail

using namespace sim::detail;

namespace sim {

void SetShortNames(bool on)
{
    world.shortNames = on;
}

}  // namespace sim

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size)
{
    LOG_CALL("GetShortPathNameA", Text(longPath), Ptr(shortPath), Num(size));
    std::string shortForm = ShortFormOf(sim::TextFromAnsi(longPath ? longPath : ""));
    if (shortForm.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    return CopyOut(sim::TextToAnsi(shortForm), shortPath, size);
}
