#include "confirm/confirm_phase.h"

#include "platform/path_text.h"
#include "platform/platform_services.h"
#include "product/product_names.h"

const char UninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char QuestionStart[] = "This will uninstall ";
const int QuestionSize = 300;
// Long enough for a product that asks its user whether to save changes before it closes.
const DWORD ProductCloseTimeoutMs = 30000;

// Asks the product's first window to close and waits until its process has ended: a running
// program's files cannot be deleted, and a product that saves its settings on the way out
// would bring back its key after the cleanup. The process is opened before the message goes,
// while its window surely exists; one that cannot be opened is not waited for.
int CloseRunningApplication()
{
    HWND productWindow = FindWindowA(ProductTag, 0);
    if (!productWindow) {
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(productWindow, &processId);
    HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : 0;
    PostMessageA(productWindow, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, ProductCloseTimeoutMs);
        CloseHandle(process);
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
    // The entry goes only once the copy that removes the product has started, and before this
    // run ends, so that the list of installed programs shows the product gone when it refreshes;
    // after a failed hand-off nothing has been removed and the user can try again from there.
    if (RelaunchFromTemp()) {
        DeleteUninstallEntry();
    }
}
