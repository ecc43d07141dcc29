// The same world, run once through the host build of the program and once through the shipped
// 32-bit uninstall.exe on the CPU emulator: both must make the same calls, in the same order,
// with the same arguments, and leave the same world behind.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "differential/outcome.h"
#include "hostile_worlds.h"
#include "sample_world.h"

namespace {

struct NamedWorld {
    std::string name;
    std::function<void()> arrange;
};

void Installed()
{
    MakeFirstRunWorld();
    InstallFiles(InstallFolder);
    InstallKeysAndShortcuts();
}

void InstalledAndRunning()
{
    Installed();
    sim::AddWindow("QuendraDovrance");
}

void AllReadOnly()
{
    Installed();
    for (const std::string& entry : sim::ListEntries()) {
        if (entry.back() != '\\' && entry.find("quendra software") != std::string::npos) {
            SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_READONLY);
        }
    }
}

void InProfile(const std::string& profile, sim::WideFunctions wide, bool shortNames)
{
    Installed();
    sim::SetWideFunctions(wide);
    sim::SetShortNames(shortNames);
    sim::AddFolder(profile + "\\Temp");
    sim::SetTempPath(profile + "\\Temp\\");
    for (const char* folder : {"StartUp", "Programs"}) {
        std::string path = profile + "\\Start Menu\\" + folder;
        sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, folder, path);
        sim::AddFile(path + "\\" + ShortcutName);
    }
}

std::vector<NamedWorld> CommonWorlds()
{
    std::vector<NamedWorld> worlds = {
        {"the product running, OK", InstalledAndRunning},
        {"Cancel", [] { InstalledAndRunning(); sim::QueueAnswer(IDCANCEL); }},
        {"a failed box counts as OK", [] { Installed(); sim::QueueAnswer(0); }},
        {"two product windows", [] { InstalledAndRunning(); sim::AddWindow("QuendraDovrance"); }},
        {"the product closes after 1.5 s", [] { InstalledAndRunning(); sim::SetWindowProcess(1500, true); }},
        {"the product never closes", [] { InstalledAndRunning(); sim::SetWindowProcess(-1, true); }},
        {"the product cannot be opened", [] { InstalledAndRunning(); sim::SetWindowProcess(800, false); }},
        {"every product file read-only", AllReadOnly},
        {"read-only uninstaller locked for good", [] {
             AllReadOnly();
             sim::LockFile(InstalledUninstaller, -1); }},
        {"uninstaller locked for 200 ms", [] { Installed(); sim::LockFile(InstalledUninstaller, 200); }},
        {"a user's read-only file", [] { Installed(); sim::AddFile(InstallFolder + "\\notes.txt", "mine", true); }},
        {"another product of the company", [] {
             Installed();
             sim::AddFile(CompanyFolder + "\\Kelvar\\kelvar.exe", "other");
             sim::AddKey(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Kelvar");
             sim::AddKey(HKEY_LOCAL_MACHINE, "Software\\QUENDRA Software\\Kelvar"); }},
        {"no InstallPath", [] { Installed(); sim::RemoveValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath"); }},
        {"no product key", [] { Installed(); sim::RemoveKey(HKEY_LOCAL_MACHINE, ProductKey); }},
        {"no shell folders", [] { Installed(); sim::RemoveKey(HKEY_CURRENT_USER, ShellFoldersPath); }},
        {"install path ends with a backslash", [] {
             Installed();
             sim::SetStringValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", InstallFolder + "\\"); }},
        {"a sub-folder in the pictures", [] { Installed(); sim::AddFolder(InstallFolder + "\\vandrel\\mine"); }},
        {"copy fails", [] { Installed(); sim::FailCopyFile(true); }},
        {"earlier copy still running", [] { Installed(); sim::AddFile(TempCopy, "old"); sim::LockFile(TempCopy, -1); }},
        {"start fails", [] { Installed(); sim::SetShellExecuteResult(2); }},
        {"start result 32", [] { Installed(); sim::SetShellExecuteResult(32); }},
        {"script cannot be created", [] { Installed(); sim::FailCreateFile(true); }},
        {"two earlier scripts", [] {
             Installed();
             sim::AddFile("C:\\TEMP\\delme1.bat", "one");
             sim::AddFile("C:\\TEMP\\delme2.bat", "two"); }},
        {"all 200 script numbers taken", [] {
             Installed();
             for (int n = 1; n <= 200; ++n) {
                 sim::AddFile("C:\\TEMP\\delme" + std::to_string(n) + ".bat", "taken");
             } }},
        {"TEMP without backslash", [] { Installed(); sim::SetTempPath("C:\\TEMP"); }},
        {"TEMP missing", [] { Installed(); sim::SetTempPath("C:\\NEWTEMP\\"); }},
        {"percent signs in TEMP", [] {
             Installed();
             sim::AddFolder("C:\\50%off\\%TEMP%");
             sim::SetTempPath("C:\\50%off\\%TEMP%\\"); }},
        {"Windows 95 deletes key trees", [] { Installed(); sim::SetDeleteKeyTakesTree(true); }},
        {"the key count fails", [] { Installed(); sim::FailQueryInfoKey(true); }},
        {"an undeletable sub-key", [] {
             Installed();
             sim::MakeKeyUndeletable(HKEY_CURRENT_USER, ProductKey + "\\Settings\\Recent"); }},
        {"program started from a profile outside ANSI", [] {
             Installed();
             sim::AddFile("C:\\Users\\Łukasz\\Desktop\\uninstall.exe", ProgramBytes);
             sim::SetModulePath("C:\\Users\\Łukasz\\Desktop\\uninstall.exe"); }},
    };
    const char* const wideNames[] = {"as on NT", "missing", "stubs"};
    for (std::string profile : {"C:\\Users\\Zoé", "C:\\Users\\Šimon", "C:\\Users\\Łukasz"}) {
        for (int wide = sim::WideAsOnNt; wide <= sim::WideStubs; ++wide) {
            for (bool shortNames : {true, false}) {
                worlds.push_back({profile + ", wide functions " + wideNames[wide] +
                                      (shortNames ? "" : ", no short names"),
                                  [=] { InProfile(profile, (sim::WideFunctions)wide, shortNames); }});
            }
        }
    }
    return worlds;
}

void ExpectSameOutcome(const std::string& name, const std::function<void()>& arrange)
{
    SCOPED_TRACE(name);
    std::vector<std::string> host = RunHostBuild(arrange);
    std::vector<std::string> shipped = RunShippedProgram(arrange);
    std::string difference = FirstDifference(host, shipped);
    EXPECT_TRUE(difference.empty()) << difference;
}

}  // namespace

TEST(ShippedProgram, MakesTheSameCallsAndLeavesTheSameWorldAsTheHostBuild)
{
    if (!ShippedProgramExists()) {
        GTEST_SKIP() << ShippedProgramPath() << " is missing; it comes from the win32 build"
                     << " (bash scripts/build.sh win32)";
    }
    for (const NamedWorld& world : CommonWorlds()) {
        ExpectSameOutcome(world.name, world.arrange);
    }
}

TEST(ShippedProgram, SameOverTheHostileInputs)
{
    if (!ShippedProgramExists()) {
        GTEST_SKIP() << ShippedProgramPath() << " is missing; it comes from the win32 build"
                     << " (bash scripts/build.sh win32)";
    }
    for (int target = InstallPathValue; target <= ModulePath; ++target) {
        for (const Variant& variant : Variants()) {
            if (Applies((Target)target, variant)) {
                ExpectSameOutcome(std::string(TargetNames[target]) + ": " + variant.name,
                                  [&] { ArrangeWorld((Target)target, variant); });
            }
        }
    }
}
