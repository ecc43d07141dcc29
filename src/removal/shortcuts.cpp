#include "platform/path_text.h"
#include "platform/product_files.h"
#include "platform/system_paths.h"
#include "product/product_names.h"
#include "removal/removal_steps.h"

const char ShellFoldersKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const ShortcutFolderValues[] = {"Startup", "Programs"};
const int ShortcutFolderCount = sizeof ShortcutFolderValues / sizeof ShortcutFolderValues[0];
const char ShortcutExtension[] = ".lnk";
const int ValueNameSize = 16;

typedef LONG(WINAPI* WideValueReader)(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                      LPBYTE data, LPDWORD size);

// Where the folder's value holds letters that the ANSI code page lacks, the ANSI read gives a
// best fit that names another folder: the value is read again wide and replaced by an ANSI form
// of the same folder, or rejected where it has none. Where the wide read is missing or fails
// (Windows 95 and 98), the ANSI read stands.
static int UseExactFolderForm(HKEY shellFolders, const char* valueName, char* path)
{
    WideValueReader readWideValue =
        (WideValueReader)FindSystemFunction("ADVAPI32.DLL", "RegQueryValueExW");
    WCHAR wideName[ValueNameSize];
    WCHAR wide[MAX_PATH + 1] = {0};  // the extra one always ends the text
    DWORD type = REG_NONE;
    DWORD size = MAX_PATH * sizeof(WCHAR);
    if (!readWideValue ||
        !MultiByteToWideChar(CP_ACP, 0, valueName, -1, wideName, ValueNameSize) ||
        readWideValue(shellFolders, wideName, 0, &type, (LPBYTE)wide, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return 1;
    }
    return ConvertToAnsiPath(wide, path);
}

// Builds folder\QUENDRA Dovrance 98.lnk from one shell-folder value; 0 when the value cannot be
// read, is not a terminated string, or the path would not fit.
static int BuildShortcutPath(HKEY shellFolders, const char* valueName, char* path)
{
    DWORD size = MAX_PATH;
    if (RegQueryValueExA(shellFolders, valueName, 0, 0, (LPBYTE)path, &size) != ERROR_SUCCESS ||
        LacksTerminator(path, MAX_PATH) || !UseExactFolderForm(shellFolders, valueName, path)) {
        return 0;
    }
    return EndWithBackslash(path, MAX_PATH) && AppendText(path, MAX_PATH, DisplayName) &&
           AppendText(path, MAX_PATH, ShortcutExtension);
}

// Startup first, then Programs. The shell is told of each path whether or not a file was
// there, so that a stale start-menu entry disappears either way.
void RemoveShortcuts()
{
    HKEY shellFolders;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ShellFoldersKeyPath, 0, KEY_QUERY_VALUE,
                      &shellFolders) != ERROR_SUCCESS) {
        return;
    }
    for (int i = 0; i < ShortcutFolderCount; ++i) {
        char path[MAX_PATH] = {0};
        if (BuildShortcutPath(shellFolders, ShortcutFolderValues[i], path)) {
            DeleteProductFile(path);
            SHChangeNotify(SHCNE_DELETE, SHCNF_PATH, path, 0);
        }
    }
    RegCloseKey(shellFolders);
}
