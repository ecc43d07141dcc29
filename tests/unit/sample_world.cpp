#include "sample_world.h"

void MakeFirstRunWorld()
{
    sim::ResetWorld();
    sim::AddFile(InstalledUninstaller, ProgramBytes);
    sim::SetModulePath(InstalledUninstaller);
    sim::SetCommandLine("\"" + InstalledUninstaller + "\"");
    sim::AddFolder(TempFolder);
    sim::SetTempPath(TempFolder);
    sim::SetStringValue(HKEY_LOCAL_MACHINE, UninstallEntryPath, "DisplayName", "QUENDRA Dovrance 98");
    sim::SetStringValue(HKEY_LOCAL_MACHINE, UninstallListPath + "\\OtherProgram", "DisplayName",
                        "Other");
}

void InstallFiles(const std::string& installFolder)
{
    for (const std::string& name : InstalledFileNames) {
        sim::AddFile(installFolder + "\\" + name, name);
    }
    sim::AddFile(installFolder + "\\vandrel\\hill.bmp");
    sim::AddFile(installFolder + "\\vandrel\\lake.jpg");
    sim::AddFile(installFolder + "\\uninstall.exe", ProgramBytes);
    sim::SetStringValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", installFolder);
}

void InstallKeysAndShortcuts()
{
    sim::SetStringValue(HKEY_LOCAL_MACHINE, ProductKey, "Version", "1.0");
    sim::SetStringValue(HKEY_LOCAL_MACHINE, AppPathsEntryPath, "", InstallFolder + "\\Dovrance.exe");
    sim::SetStringValue(HKEY_CURRENT_USER, ProductKey, "Player", "Anna");
    sim::SetStringValue(HKEY_CURRENT_USER, ProductKey + "\\Settings\\Recent\\Deep", "x", "y");
    sim::SetStringValue(HKEY_CURRENT_USER, ProductKey + "\\Scores", "best", "10");
    sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "StartUp", StartupFolder);
    sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "Programs", ProgramsFolder);
    sim::AddFile(StartupFolder + "\\" + ShortcutName);
    sim::AddFile(ProgramsFolder + "\\" + ShortcutName);
}

void MakeSecondRunWorld()
{
    sim::ResetWorld();
    sim::AddFolder(TempFolder);
    sim::SetTempPath(TempFolder);
    sim::AddFile(TempCopy, ProgramBytes);
    sim::SetModulePath(TempCopy);
    sim::SetCommandLine(TempCopy + " /internally");
    InstallFiles(InstallFolder);
    InstallKeysAndShortcuts();
}

std::vector<std::string> Snapshot()
{
    std::vector<std::string> all;
    for (const std::string& key : sim::ListKeys(HKEY_LOCAL_MACHINE)) {
        all.push_back("HKLM\\" + key);
    }
    for (const std::string& key : sim::ListKeys(HKEY_CURRENT_USER)) {
        all.push_back("HKCU\\" + key);
    }
    for (const std::string& entry : sim::ListEntries()) {
        all.push_back(entry + " " + sim::FileContents(entry));
    }
    return all;
}
