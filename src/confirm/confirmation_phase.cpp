#include "confirm/confirm_phase.h"

#include "platform/path_text.h"
#include "platform/platform_services.h"
#include "product/product_names.h"

const char UninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char QuestionStart[] = "This will uninstall ";
const int QuestionSize = 300;

int CloseRunningApplication()
{
    HWND productWindow = FindWindowA(ProductTag, 0);
    if (productWindow) {
        PostMessageA(productWindow, WM_CLOSE, 0, 0);
    }
    return 1;
}

static void DeleteUninstallEntry()
{
    HKEY uninstallList;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS, &uninstallList) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(uninstallList, ProductTag);
        RegCloseKey(uninstallList);
    }
}

// Cancel leaves everything as it was; any other answer, a failed box included, goes on.
void RunConfirmationPhase()
{
    char question[QuestionSize];
    CopyText(question, QuestionSize, QuestionStart);
    AppendText(question, QuestionSize, DisplayName);
    AppendText(question, QuestionSize, ".");
    if (MessageBoxA(0, question, DisplayName, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL) {
        return;
    }
    CloseRunningApplication();
    // The entry goes first, so that a failed hand-off leaves no entry pointing at a half-removed
    // product in the list of installed programs.
    DeleteUninstallEntry();
    RelaunchFromTemp();
}
