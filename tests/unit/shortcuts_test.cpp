#include <gtest/gtest.h>

#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

struct ShortcutCase {
    const char* name;
    std::function<void()> arrange;
    std::vector<std::string> noticed;  // deletion notices, in order
};

void SetFolderValue(const char* name, const std::string& folder)
{
    sim::SetStringValue(HKEY_CURRENT_USER, ShellFoldersPath, name, folder);
}

const std::string StartupLink = StartupFolder + "\\" + ShortcutName;
const std::string ProgramsLink = ProgramsFolder + "\\" + ShortcutName;
const std::string LongFolder = "C:\\" + std::string(232, 'f');  // 235 + "\" + 23 = 259

const ShortcutCase ShortcutCases[] = {
    {"both folders, both shortcuts", [] {}, {StartupLink, ProgramsLink}},
    {"values end with a backslash", [] {
         SetFolderValue("StartUp", StartupFolder + "\\");
         SetFolderValue("Programs", ProgramsFolder + "\\"); },
     {StartupLink, ProgramsLink}},
    {"Startup value missing",
     [] { sim::RemoveValue(HKEY_CURRENT_USER, ShellFoldersPath, "StartUp"); }, {ProgramsLink}},
    {"shortcut files missing", [] {
         DeleteFileA(StartupLink.c_str());
         DeleteFileA(ProgramsLink.c_str()); },
     {StartupLink, ProgramsLink}},
    {"no shell-folders key", [] { sim::RemoveKey(HKEY_CURRENT_USER, ShellFoldersPath); }, {}},
    {"empty value", [] { SetFolderValue("StartUp", ""); }, {"\\" + ShortcutName, ProgramsLink}},
    {"path exactly fits", [] { SetFolderValue("StartUp", LongFolder); },
     {LongFolder + "\\" + ShortcutName, ProgramsLink}},
    {"path one past the limit", [] { SetFolderValue("StartUp", LongFolder + "f"); }, {ProgramsLink}},
    {"value fills its buffer without a terminator", [] {
         sim::SetRawValue(HKEY_CURRENT_USER, ShellFoldersPath, "StartUp", REG_SZ, std::string(260, 'f')); },
     {ProgramsLink}},
    {"value longer than its buffer", [] { SetFolderValue("StartUp", std::string(400, 'f')); },
     {ProgramsLink}},
};

}  // namespace

TEST(Shortcuts, StartupThenProgramsNoticedWhetherOrNotTheFileWasThere)
{
    for (const ShortcutCase& row : ShortcutCases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        sim::AddFile(ProgramsFolder + "\\QUENDRA\\" + ShortcutName);  // a start-menu sub-folder
        sim::AddFile("C:\\All Users\\Start Menu\\Programs\\" + ShortcutName);
        sim::AddFile(LongFolder + "\\" + ShortcutName.substr(0, 22));  // the cut-off name
        row.arrange();

        RemoveShortcuts();

        ASSERT_EQ(row.noticed.size(), sim::ShellNotices().size());
        for (size_t i = 0; i < row.noticed.size(); ++i) {
            EXPECT_EQ(row.noticed[i], sim::ShellNotices()[i].path);
            EXPECT_EQ(SHCNE_DELETE, sim::ShellNotices()[i].eventId);
            EXPECT_EQ((unsigned)SHCNF_PATH, sim::ShellNotices()[i].flags);
            EXPECT_FALSE(sim::FileExists(row.noticed[i]));
        }
        bool startupHandled = !row.noticed.empty() && row.noticed[0] == StartupLink;
        EXPECT_EQ(!startupHandled, sim::FileExists(StartupLink));
        EXPECT_TRUE(sim::FileExists(ProgramsFolder + "\\QUENDRA\\" + ShortcutName));
        EXPECT_TRUE(sim::FileExists("C:\\All Users\\Start Menu\\Programs\\" + ShortcutName));
        EXPECT_TRUE(sim::FileExists(LongFolder + "\\" + ShortcutName.substr(0, 22)));
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}
