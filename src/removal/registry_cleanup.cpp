#include "platform/path_text.h"
#include "product/product_names.h"
#include "removal/removal_steps.h"

const char AppPathsKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char SoftwareKeyPath[] = "Software";

// Opens root\keyPath for changes and deletes its sub-key name.
static void DeleteNamedSubKey(HKEY root, const char* keyPath, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteKeyA(key, name);
        RegCloseKey(key);
    }
}

// Each sub-key found is deleted before the next query, so the walk always asks for index 0.
// A sub-key that stays (it cannot be deleted) would be found at index 0 again: the walk stops
// at this level then, and so it always ends.
void DeleteSubKeyTree(const char* keyPath)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    for (;;) {
        char name[MAX_PATH];
        char childPath[MAX_PATH];
        DWORD nameSize = MAX_PATH;
        if (RegEnumKeyExA(key, 0, name, &nameSize, 0, 0, 0, 0) != ERROR_SUCCESS) {
            break;
        }
        if (CopyText(childPath, MAX_PATH, keyPath) && AppendText(childPath, MAX_PATH, "\\") &&
            AppendText(childPath, MAX_PATH, name)) {
            DeleteSubKeyTree(childPath);
        }
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) {
            break;
        }
    }
    RegCloseKey(key);
}

// Deletes the product key below root, then the company key when no other sub-key is left in
// it. When the count cannot be read the company key stays: another product's keys may be in
// it, and on Windows 95 deleting a key deletes its whole tree.
static void RemoveProductAndCompanyKeys(HKEY root)
{
    HKEY companyKey;
    if (RegOpenKeyExA(root, CompanyKeyPath, 0, KEY_ALL_ACCESS, &companyKey) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteKeyA(companyKey, ProductKeyName);
    DWORD subKeys = 0;
    LONG counted = RegQueryInfoKeyA(companyKey, 0, 0, 0, &subKeys, 0, 0, 0, 0, 0, 0, 0);
    RegCloseKey(companyKey);
    if (counted == ERROR_SUCCESS && subKeys == 0) {
        DeleteNamedSubKey(root, SoftwareKeyPath, CompanyKeyName);
    }
}

void RemoveRegistryEntries()
{
    DeleteNamedSubKey(HKEY_LOCAL_MACHINE, AppPathsKeyPath, MainExecutableName);
    DeleteSubKeyTree(ProductKeyPath);
    RemoveProductAndCompanyKeys(HKEY_CURRENT_USER);
    RemoveProductAndCompanyKeys(HKEY_LOCAL_MACHINE);
}
