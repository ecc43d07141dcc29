#include "confirm/confirm_phase.h"

#include "platform/path_text.h"
#include "platform/platform_services.h"
#include "platform/system_paths.h"
#include "product/product_names.h"

const char CopyFailedText[] = "Can not copy uninstall.exe to TEMP.";
const char StartFailedText[] = "Can not start uninstall.exe in TEMP.";

static int ReportRelaunchFailure(const char* text)
{
    MessageBoxA(0, text, DisplayName, MB_ICONHAND);
    return 0;
}

// Builds the copy's path, TEMP\uninstall.exe; 0 when TEMP is unknown, has no form that the
// ANSI functions can name, or the path would not fit.
static int BuildTempCopyPath(char* target)
{
    if (!FindTempFolder(target)) {
        return 0;
    }
    // A TEMP folder that does not exist yet is made before the copy.
    CreateDirectoryA(target, 0);
    return EndWithBackslash(target, MAX_PATH) && AppendText(target, MAX_PATH, UninstallerFileName);
}

int RelaunchFromTemp()
{
    char runningProgram[MAX_PATH];
    char target[MAX_PATH];
    char workingFolder[MAX_PATH] = {0};  // stays terminated even if TEMP cannot be read again

    if (!FindModulePath(runningProgram) ||
        !BuildTempCopyPath(target) || !CopyFileA(runningProgram, target, FALSE)) {
        return ReportRelaunchFailure(CopyFailedText);
    }
    // A program copied from a CD-ROM is read-only and so is its copy; the script that removes
    // the copy could never delete it, and no later copy could replace it.
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);

    if (!FindTempFolder(workingFolder)) {
        workingFolder[0] = 0;
    }
    HINSTANCE started = ShellExecuteA(0, 0, target, InternalSwitch, workingFolder, SW_MINIMIZE);
    if ((INT_PTR)started <= 32) {
        return ReportRelaunchFailure(StartFailedText);
    }
    return 1;
}
