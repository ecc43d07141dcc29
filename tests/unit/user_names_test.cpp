// Profiles named in letters beyond plain ASCII: accented letters that both code pages hold, letters
// only the ANSI code page holds, and letters it lacks; with the wide functions as on NT, missing
// as on Windows 95, or only failing; with short names on and off.
#include <gtest/gtest.h>

#include "confirm/confirm_phase.h"
#include "removal/removal_steps.h"
#include "sample_world.h"
#include "sim/code_pages.h"

namespace {

const std::string Zoe = "C:\\Users\\Zoé";        // é: in the ANSI and the OEM code page
const std::string Simon = "C:\\Users\\Šimon";     // Š: in the ANSI code page only
const std::string Lukasz = "C:\\Users\\Łukasz";   // Ł: in neither
const std::string LukaszShort = "C:\\Users\\_UKASZ~1";
const std::string SimonShort = "C:\\Users\\_IMON~1";

std::string Oem(const std::string& text)
{
    return sim::AnsiToOem(sim::TextToAnsi(text));
}

std::string ExpectedScript(const std::string& temp, const std::string& script)
{
    return "\r\n@echo off\r\n:myLabel\r\ndel \"" + temp + "uninstall.exe\"\r\nif exist \"" + temp +
           "uninstall.exe\" goto myLabel\r\ndel \"" + script + "\"\r\n";
}

// The file that the script's first line deletes, as the command interpreter reads its name.
std::string ScriptTarget(const std::string& script)
{
    size_t start = script.find("del \"") + 5;
    std::string oemPath = script.substr(start, script.find('"', start) - start);
    return sim::TextFromAnsi(sim::OemToAnsi(oemPath));
}

void SetProfile(const std::string& profile)
{
    sim::AddFolder(profile + "\\Temp");
    sim::SetTempPath(profile + "\\Temp\\");
}

}  // namespace

TEST(UserNames, ScriptNamesItsPathsAsTheInterpreterReadsThem)
{
    struct ScriptCase {
        const char* name;
        std::string profile;
        sim::WideFunctions wide;
        bool shortNames;
        std::string written;  // the temporary folder as the script names it, "" for no script
    };
    const ScriptCase cases[] = {
        {"accented letters, converted", Zoe, sim::WideAsOnNt, true, Oem(Zoe + "\\Temp\\")},
        {"accented letters, Windows 95", Zoe, sim::WideMissing, false, Oem(Zoe + "\\Temp\\")},
        {"letter only in ANSI, short form", Simon, sim::WideAsOnNt, true, SimonShort + "\\Temp\\"},
        {"letter only in ANSI, Windows 95", Simon, sim::WideMissing, true, SimonShort + "\\Temp\\"},
        {"letter only in ANSI, no short names", Simon, sim::WideAsOnNt, false, ""},
        {"letter in neither, short form", Lukasz, sim::WideAsOnNt, true, LukaszShort + "\\Temp\\"},
        {"letter in neither, stubs fail", Lukasz, sim::WideStubs, true, ""},
        {"letter in neither, no short names", Lukasz, sim::WideAsOnNt, false, ""},
    };
    for (const ScriptCase& row : cases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        sim::SetWideFunctions(row.wide);
        sim::SetShortNames(row.shortNames);
        SetProfile(row.profile);
        sim::AddFile(row.profile + "\\Temp\\uninstall.exe", ProgramBytes);
        std::vector<std::string> before = sim::ListEntries();

        ScheduleSelfDelete();

        const std::string script = row.profile + "\\Temp\\delme1.bat";
        if (row.written.empty()) {
            EXPECT_EQ(before, sim::ListEntries());
            EXPECT_TRUE(sim::ProgramsStarted().empty());
        } else {
            std::string text = sim::FileContents(script);
            EXPECT_EQ(ExpectedScript(row.written, row.written + "delme1.bat"), text);
            EXPECT_EQ(sim::NormalPath(row.profile + "\\Temp\\uninstall.exe"),
                      sim::LongNormalPath(ScriptTarget(text)));
            ASSERT_EQ(1u, sim::ProgramsStarted().size());
            EXPECT_TRUE(sim::FileExists(sim::ProgramsStarted()[0].file));
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(UserNames, PercentSignsAreDoubledAfterTheConversion)
{
    MakeSecondRunWorld();
    SetProfile("C:\\Users\\Zoé 100%");
    ScheduleSelfDelete();
    std::string temp = Oem("C:\\Users\\Zoé 100%%\\Temp\\");
    EXPECT_EQ(ExpectedScript(temp, temp + "delme1.bat"),
              sim::FileContents("C:\\Users\\Zoé 100%\\Temp\\delme1.bat"));
}

TEST(UserNames, HandOffReachesTheSameTemporaryFolder)
{
    struct HandOffCase {
        const char* name;
        std::string profile;
        std::string module;  // the running program's path, "" for the installed one
        sim::WideFunctions wide;
        bool shortNames;
        std::string started;  // the copy's path as started, "" for a reported failure
    };
    const std::string desktopProgram = Lukasz + "\\Desktop\\uninstall.exe";
    const HandOffCase cases[] = {
        {"accented letters", Zoe, "", sim::WideAsOnNt, true, Zoe + "\\Temp\\uninstall.exe"},
        {"accented letters, Windows 95", Zoe, "", sim::WideMissing, true,
         Zoe + "\\Temp\\uninstall.exe"},
        {"letter in neither", Lukasz, "", sim::WideAsOnNt, true, LukaszShort + "\\Temp\\uninstall.exe"},
        {"letter in neither, no short names", Lukasz, "", sim::WideAsOnNt, false, ""},
        {"letter in neither, Windows 95 reads a best fit", Lukasz, "", sim::WideMissing, true, ""},
        {"letter in neither, stubs fail", Lukasz, "", sim::WideStubs, true, ""},
        {"program started from such a profile", "C:\\TEMP", desktopProgram, sim::WideAsOnNt,
         true, TempCopy},
        {"program started from such a profile, Windows 95", "C:\\TEMP", desktopProgram,
         sim::WideMissing, true, ""},
    };
    for (const HandOffCase& row : cases) {
        SCOPED_TRACE(row.name);
        MakeFirstRunWorld();
        sim::SetWideFunctions(row.wide);
        sim::SetShortNames(row.shortNames);
        sim::AddFolder(row.profile);
        sim::SetTempPath(row.profile + (row.profile == "C:\\TEMP" ? "\\" : "\\Temp\\"));
        sim::AddFolder(row.profile + "\\Temp");
        if (!row.module.empty()) {
            sim::AddFile(row.module, ProgramBytes);
            sim::SetModulePath(row.module);
        }
        std::vector<std::string> before = sim::ListEntries();

        EXPECT_EQ(row.started.empty() ? 0 : 1, RelaunchFromTemp());

        if (row.started.empty()) {
            ASSERT_EQ(1u, sim::BoxesShown().size());
            EXPECT_EQ("Can not copy uninstall.exe to TEMP.", sim::BoxesShown()[0].text);
            EXPECT_EQ(before, sim::ListEntries());
            continue;
        }
        EXPECT_TRUE(sim::BoxesShown().empty());
        ASSERT_EQ(1u, sim::ProgramsStarted().size());
        const sim::ProgramStarted& started = sim::ProgramsStarted()[0];
        EXPECT_EQ(row.started, started.file);
        EXPECT_EQ(ProgramBytes, sim::FileContents(started.file));
        // The copy's working folder is the folder that holds it.
        EXPECT_EQ(sim::LongNormalPath(started.directory + "\\uninstall.exe"),
                  sim::LongNormalPath(started.file));
        EXPECT_TRUE(sim::FolderExists(started.directory));
    }
}

TEST(UserNames, ShortcutsUnderAProfileOutsideTheAnsiCodePage)
{
    struct ShortcutCase {
        const char* name;
        sim::WideFunctions wide;
        bool shortNames;
        bool removed;
        size_t notices;
    };
    const ShortcutCase cases[] = {
        {"wide functions, short names", sim::WideAsOnNt, true, true, 2},
        {"no short names: skipped, not guessed", sim::WideAsOnNt, false, false, 0},
        {"Windows 95 reads a best fit, as before", sim::WideMissing, true, false, 2},
        {"stubs fail, as before", sim::WideStubs, true, false, 2},
    };
    const std::string startup = Lukasz + "\\Start Menu\\Programs\\StartUp";
    const std::string programs = Lukasz + "\\Start Menu\\Programs";
    for (const ShortcutCase& row : cases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        sim::SetWideFunctions(row.wide);
        sim::SetShortNames(row.shortNames);
        sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "StartUp", startup);
        sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "Programs", programs);
        sim::AddFile(startup + "\\" + ShortcutName);
        sim::AddFile(programs + "\\" + ShortcutName);
        // The best fit names another user's folders, which must stay as they are.
        sim::AddFile("C:\\Users\\Lukasz\\Start Menu\\Programs\\StartUp\\" + ShortcutName, "his");

        RemoveShortcuts();

        EXPECT_NE(row.removed, sim::FileExists(startup + "\\" + ShortcutName));
        EXPECT_NE(row.removed, sim::FileExists(programs + "\\" + ShortcutName));
        EXPECT_EQ(row.notices, sim::ShellNotices().size());
        if (row.removed) {
            EXPECT_EQ(LukaszShort + "\\STARTM~1\\Programs\\StartUp\\" + ShortcutName,
                      sim::ShellNotices()[0].path);
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

// Both runs over a whole installation whose user's profile is named outside the ANSI code page:
// everything of the product goes, and the script deletes the copy that the first run made.
TEST(UserNames, WholeUninstallUnderAProfileOutsideTheAnsiCodePage)
{
    for (sim::WideFunctions wide : {sim::WideAsOnNt, sim::WideMissing}) {
        SCOPED_TRACE(wide == sim::WideAsOnNt ? "as on NT" : "as on Windows 95");
        MakeFirstRunWorld();
        sim::SetWideFunctions(wide);
        InstallFiles(InstallFolder);
        InstallKeysAndShortcuts();
        const std::string startup = Lukasz + "\\Start Menu\\Programs\\StartUp";
        const std::string programs = Lukasz + "\\Start Menu\\Programs";
        sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "StartUp", startup);
        sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, "Programs", programs);
        sim::AddFile(startup + "\\" + ShortcutName);
        sim::AddFile(programs + "\\" + ShortcutName);
        SetProfile(Lukasz);
        sim::ProductItems items = sim::ReadProductItems();
        sim::Footprint before = sim::TakeFootprint();

        sim::SetCommandLine("uninstall.exe");
        WinMain(nullptr, nullptr, nullptr, 0);
        if (wide == sim::WideMissing) {
            // The best fit names no folder: as before, the copy fails and nothing is removed.
            ASSERT_EQ(2u, sim::BoxesShown().size());
            EXPECT_EQ("Can not copy uninstall.exe to TEMP.", sim::BoxesShown()[1].text);
            EXPECT_TRUE(sim::ProgramsStarted().empty());
            continue;
        }
        sim::SetCommandLine("uninstall.exe /internally");
        WinMain(nullptr, nullptr, nullptr, 0);

        for (const std::string& change : sim::ForeignChanges(items, before, sim::TakeFootprint())) {
            ADD_FAILURE() << change;
        }
        EXPECT_EQ(1u, sim::BoxesShown().size());  // the question only
        EXPECT_FALSE(sim::FolderExists(InstallFolder));
        EXPECT_FALSE(sim::FileExists(startup + "\\" + ShortcutName));
        EXPECT_FALSE(sim::FileExists(programs + "\\" + ShortcutName));
        std::string script = sim::FileContents(Lukasz + "\\Temp\\delme1.bat");
        EXPECT_EQ(sim::NormalPath(Lukasz + "\\Temp\\uninstall.exe"), sim::LongNormalPath(ScriptTarget(script)));
        EXPECT_TRUE(sim::FileExists(ScriptTarget(script)));
    }
}
