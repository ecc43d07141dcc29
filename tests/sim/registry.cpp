// The registry: keys below both roots, names without case, values as A and W functions read them.
#include "sim/world.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim/code_pages.h"

namespace sim::detail {

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

LSTATUS WINAPI SimRegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD dataSize)
{
    LOG_CALL("RegQueryValueExW", Handle(key), WideText(valueName), Ptr(reserved), Ptr(type), Ptr(data),
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

}  // namespace sim::detail

using namespace sim::detail;

namespace sim {

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

void SetDeleteKeyTakesTree(bool takesTree)
{
    world.deleteKeyTakesTree = takesTree;
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

}  // namespace sim

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    LOG_CALL("RegOpenKeyExA", Handle(key), Text(subKey), Num(options), Num(access), Ptr(result));
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
    LOG_CALL("RegCreateKeyExA", Handle(key), Text(subKey), Num(reserved), Text(keyClass), Num(options),
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
    LOG_CALL("RegQueryValueExA", Handle(key), Text(valueName), Ptr(reserved), Ptr(type), Ptr(data),
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
    LOG_CALL("RegEnumKeyExA", Handle(key), Num(index), Ptr(name), Size(nameSize), Ptr(reserved),
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
    LOG_CALL("RegQueryInfoKeyA", Handle(key), Ptr(keyClass), Ptr(classSize), Ptr(reserved),
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
    LOG_CALL("RegDeleteKeyA", Handle(key), Text(subKey));
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
    LOG_CALL("RegCloseKey", Handle(key));
    return world.keyHandles.erase((uintptr_t)key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
