#include "removal/removal_steps.h"

#include "platform/path_text.h"
#include "product/product_names.h"

const char InstallPathValueName[] = "InstallPath";
const char NoInstallPathText[] = "Can not find install path to remove files.";
const char BadValueNameText[] = "Error querying SZ value from registry. Invalid value name.";
const char BadReturnValueText[] = "Error querying SZ value from registry. Invalid return value.";

static int ReportQueryFailure(const char* text)
{
    MessageBoxA(0, text, DisplayName, MB_ICONHAND);
    return 0;
}

int QueryProductSzValue(HKEY root, const char* valueName, char* out)
{
    if (!valueName || IsBadReadPtr(valueName, 1) || !valueName[0]) {
        return ReportQueryFailure(BadValueNameText);
    }
    if (!out || IsBadWritePtr(out, MAX_PATH)) {
        return ReportQueryFailure(BadReturnValueText);
    }
    HKEY productKey;
    if (RegCreateKeyExA(root, ProductKeyPath, 0, 0, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, 0,
                        &productKey, 0) != ERROR_SUCCESS) {
        return 0;
    }
    // Emptied whole, so that data shorter than the buffer always ends in a terminator.
    for (int i = 0; i < MAX_PATH; ++i) {
        out[i] = 0;
    }
    DWORD size = MAX_PATH;
    LONG result = RegQueryValueExA(productKey, valueName, 0, 0, (LPBYTE)out, &size);
    RegCloseKey(productKey);
    // Data that fills the whole buffer without a terminator is not a string.
    if (result != ERROR_SUCCESS || LacksTerminator(out, MAX_PATH)) {
        out[0] = 0;
        return 0;
    }
    return 1;
}

// The install path is read before the registry step deletes the key that holds it.
void RunRemovalPhase()
{
    char installPath[MAX_PATH] = {0};
    if (!QueryProductSzValue(HKEY_LOCAL_MACHINE, InstallPathValueName, installPath)) {
        MessageBoxA(0, NoInstallPathText, DisplayName, MB_OK);
    }
    RemoveShortcuts();
    RemoveRegistryEntries();
    if (lstrlenA(installPath) > 1) {
        RemoveInstalledFiles(installPath);
    }
    ScheduleSelfDelete();
}
