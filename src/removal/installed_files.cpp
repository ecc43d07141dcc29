#include "platform/path_text.h"
#include "platform/product_files.h"
#include "product/product_names.h"
#include "removal/removal_steps.h"

// The product's files in the install folder, deleted in this order.
const char* const InstallFileList[] = {
    MainExecutableName,
    "Tessily.htm",
    "quillane.txt",
    "ovelt.txt",
    "QUENDRA Dovrance 98 Wendrip.url",
    "pellory.htm",
    "skelvin.htm",
    "torvic.exe",
    "kwandle.exe",
    "kwandle_dll.dll",
    "pobbelin.mid",
};
const int InstallFileCount = sizeof InstallFileList / sizeof InstallFileList[0];
const char PictureFolderName[] = "vandrel";
const char CompanyFolderMarker[] = "\\QUENDRA Software";
const int UninstallerRetryLimit = 50;
const DWORD UninstallerRetryPauseMs = 50;

// Builds folder + "\" + name (+ "\" + subName when given); 0 when it would not fit.
static int BuildChildPath(char* path, const char* folder, const char* name, const char* subName)
{
    int built = CopyText(path, MAX_PATH, folder) && AppendText(path, MAX_PATH, "\\") &&
                AppendText(path, MAX_PATH, name);
    if (built && subName) {
        built = AppendText(path, MAX_PATH, "\\") && AppendText(path, MAX_PATH, subName);
    }
    return built;
}

static void DeleteListedFiles(const char* installFolder)
{
    char path[MAX_PATH];
    for (int i = 0; i < InstallFileCount; ++i) {
        if (BuildChildPath(path, installFolder, InstallFileList[i], 0)) {
            DeleteProductFile(path);
        }
    }
}

// The search lists the folder itself and its parent as "." and "..".
static int IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Every file of the picture folder goes, whatever its name; sub-folders are not entered, so
// one of them keeps the picture folder in place.
static void RemovePictureFolder(const char* installFolder)
{
    char pattern[MAX_PATH];
    char path[MAX_PATH];
    WIN32_FIND_DATAA found;
    if (BuildChildPath(pattern, installFolder, PictureFolderName, "*.*")) {
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!IsDotEntry(found.cFileName) &&
                    BuildChildPath(path, installFolder, PictureFolderName, found.cFileName)) {
                    DeleteProductFile(path);
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    if (BuildChildPath(path, installFolder, PictureFolderName, 0)) {
        RemoveDirectoryA(path);
    }
}

// The installed uninstaller is the file the first run was started from; that run ends right
// after starting this one, so its file is retried for a bounded time while it is still in use.
static void DeleteInstalledUninstaller(const char* installFolder)
{
    char path[MAX_PATH];
    if (!BuildChildPath(path, installFolder, UninstallerFileName, 0)) {
        return;
    }
    DWORD attributes = ClearReadOnly(path);
    int retries = 0;
    while (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        if (++retries > UninstallerRetryLimit) {
            RestoreAttributes(path, attributes);
            return;
        }
        Sleep(UninstallerRetryPauseMs);
    }
}

// The folder above the install folder goes only when it is the company's own folder (or lies
// inside it) and nothing else is left in it.
static void RemoveCompanyFolder(const char* installFolder)
{
    char parent[MAX_PATH];
    if (!CopyText(parent, MAX_PATH, installFolder)) {
        return;
    }
    int cut = -1;
    for (int i = 0; parent[i]; ++i) {
        if (parent[i] == '\\') {
            cut = i;
        }
    }
    if (cut < 0) {
        return;
    }
    parent[cut] = 0;
    if (ContainsText(parent, CompanyFolderMarker)) {
        RemoveDirectoryA(parent);
    }
}

void RemoveInstalledFiles(const char* installFolder)
{
    DeleteListedFiles(installFolder);
    RemovePictureFolder(installFolder);
    DeleteInstalledUninstaller(installFolder);
    // A folder that still holds anything (a user's file, an uninstaller that outlived the
    // retries) stays, and so does everything above it.
    if (!RemoveDirectoryA(installFolder)) {
        return;
    }
    RemoveCompanyFolder(installFolder);
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATH, installFolder, 0);
}
