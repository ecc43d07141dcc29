#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

const char NoInstallPath[] = "Can not find install path to remove files.";

struct InstallPathCase {
    const char* name;
    std::function<void()> arrange;
    bool message;        // "Can not find install path..." shown
    std::string folder;  // the folder the file step removes; "" when the step must not run
};

void SetInstallPathBytes(DWORD type, const std::string& bytes)
{
    sim::SetRawValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", type, bytes);
}

const std::string LongestFolder = "C:\\" + std::string(256, 'x');  // 259 characters

const InstallPathCase InstallPathCases[] = {
    {"stored path", [] {}, false, InstallFolder},
    {"absent", [] { sim::RemoveValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath"); }, true, ""},
    {"no product key", [] { sim::RemoveKey(HKEY_LOCAL_MACHINE, ProductKey); }, true, ""},
    {"empty", [] { SetInstallPathBytes(REG_SZ, std::string(1, '\0')); }, false, ""},
    {"one character", [] { SetInstallPathBytes(REG_SZ, std::string("C\0", 2)); }, false, ""},
    {"trailing backslash",
     [] { sim::SetStringValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", InstallFolder + "\\"); },
     false, InstallFolder},
    {"without terminator, short", [] { SetInstallPathBytes(REG_SZ, InstallFolder); }, false,
     InstallFolder},
    {"of another type", [] { SetInstallPathBytes(REG_BINARY, InstallFolder + '\0'); }, false,
     InstallFolder},
    {"259 characters", [] {
         sim::AddFolder(LongestFolder);
         SetInstallPathBytes(REG_SZ, LongestFolder + '\0'); },
     false, LongestFolder},
    {"260 bytes, no terminator", [] { SetInstallPathBytes(REG_SZ, std::string(260, 'x')); }, true, ""},
    {"over 260 bytes", [] { SetInstallPathBytes(REG_SZ, std::string(300, 'x') + '\0'); }, true, ""},
};

}  // namespace

TEST(RemovalPhase, InstallPathDecidesTheFileStepAndTheMessage)
{
    for (const InstallPathCase& row : InstallPathCases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        row.arrange();

        RunRemovalPhase();

        const auto& boxes = sim::BoxesShown();
        ASSERT_EQ(row.message ? 1u : 0u, boxes.size());
        if (row.message) {
            EXPECT_EQ(NoInstallPath, boxes[0].text);
            EXPECT_EQ("QUENDRA Dovrance 98", boxes[0].caption);
            EXPECT_EQ(0u, boxes[0].style);
        }
        // Shortcuts, keys and the script are handled whatever the install path.
        EXPECT_FALSE(sim::FileExists(StartupFolder + "\\" + ShortcutName));
        EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, CompanyKey));
        EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, CompanyKey));
        EXPECT_TRUE(sim::FileExists(TempFolder + "delme1.bat"));
        if (row.folder.empty()) {
            EXPECT_TRUE(sim::FileExists(InstallFolder + "\\Dovrance.exe"));
            EXPECT_TRUE(sim::FileExists(InstalledUninstaller));
        } else {
            EXPECT_FALSE(sim::FolderExists(row.folder));
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(RemovalPhase, StepsRunInTheirOrderWithTheScriptLast)
{
    MakeSecondRunWorld();
    RunRemovalPhase();

    const auto& notices = sim::ShellNotices();
    ASSERT_EQ(3u, notices.size());
    EXPECT_EQ(StartupFolder + "\\" + ShortcutName, notices[0].path);
    EXPECT_EQ(ProgramsFolder + "\\" + ShortcutName, notices[1].path);
    EXPECT_EQ(SHCNE_RMDIR, notices[2].eventId);
    EXPECT_EQ(InstallFolder, notices[2].path);
    ASSERT_EQ(1u, sim::ProgramsStarted().size());
    EXPECT_EQ(TempFolder + "delme1.bat", sim::ProgramsStarted()[0].file);
    // Nothing of the product is left but the running copy, which the script removes.
    EXPECT_FALSE(sim::FolderExists(CompanyFolder));
    EXPECT_TRUE(sim::ListKeys(HKEY_CURRENT_USER).size() > 0);
    for (const std::string& key : sim::ListKeys(HKEY_CURRENT_USER)) {
        EXPECT_EQ(std::string::npos, key.find("quendra")) << key;
    }
    for (const std::string& key : sim::ListKeys(HKEY_LOCAL_MACHINE)) {
        EXPECT_EQ(std::string::npos, key.find("quendra")) << key;
        EXPECT_EQ(std::string::npos, key.find("dovrance")) << key;
    }
}

TEST(RemovalPhase, ReaderCreatesAMissingProductKeyAndTheCleanupRemovesIt)
{
    MakeSecondRunWorld();
    sim::RemoveKey(HKEY_LOCAL_MACHINE, CompanyKey);

    char out[MAX_PATH];
    EXPECT_EQ(0, QueryProductSzValue(HKEY_LOCAL_MACHINE, "InstallPath", out));
    EXPECT_STREQ("", out);
    EXPECT_TRUE(sim::KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    RemoveRegistryEntries();
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, CompanyKey));
}

TEST(RemovalPhase, ReaderRejectsBadArgumentsWithItsOwnMessages)
{
    struct BadArgumentCase {
        const char* valueName;
        bool nullOut;
        const char* message;
    };
    const BadArgumentCase cases[] = {
        {nullptr, false, "Error querying SZ value from registry. Invalid value name."},
        {"", false, "Error querying SZ value from registry. Invalid value name."},
        {"InstallPath", true, "Error querying SZ value from registry. Invalid return value."},
    };
    for (const BadArgumentCase& row : cases) {
        SCOPED_TRACE(row.message);
        MakeSecondRunWorld();
        char out[MAX_PATH];
        EXPECT_EQ(0, QueryProductSzValue(HKEY_LOCAL_MACHINE, row.valueName, row.nullOut ? nullptr : out));
        ASSERT_EQ(1u, sim::BoxesShown().size());
        EXPECT_EQ(row.message, sim::BoxesShown()[0].text);
        EXPECT_EQ(0x10u, sim::BoxesShown()[0].style);
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(RemovalPhase, ReaderEmptiesTheWholeBufferBeforeReading)
{
    MakeSecondRunWorld();
    SetInstallPathBytes(REG_SZ, "C:\\Q");  // no terminator of its own
    char out[MAX_PATH];
    std::fill(out, out + MAX_PATH, 'z');
    ASSERT_EQ(1, QueryProductSzValue(HKEY_LOCAL_MACHINE, "InstallPath", out));
    EXPECT_STREQ("C:\\Q", out);
}
