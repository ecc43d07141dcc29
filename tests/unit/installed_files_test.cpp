#include <gtest/gtest.h>

#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

struct FolderCase {
    const char* name;
    std::string installPath;  // as stored in the registry
    std::function<void()> arrange;
    bool installFolderRemoved;
    std::vector<std::string> removedFolders;  // besides the install folder
    std::vector<std::string> keptFolders;
};

const std::string ToolsFolder = CompanyFolder + "\\Tools";
const std::string ToolsInstall = ToolsFolder + "\\Dovrance";
const std::string GamesInstall = "C:\\Games\\Dovrance";

const FolderCase FolderCases[] = {
    {"every listed file and nothing else", InstallFolder, [] {}, true, {CompanyFolder}, {}},
    {"company folder holds another product", InstallFolder,
     [] { sim::AddFile(CompanyFolder + "\\Other\\other.exe"); }, true, {}, {CompanyFolder}},
    {"a user's file in the install folder", InstallFolder,
     [] { sim::AddFile(InstallFolder + "\\my notes.txt", "mine"); }, false, {},
     {InstallFolder, CompanyFolder}},
    {"a sub-folder in the picture folder", InstallFolder,
     [] { sim::AddFolder(InstallFolder + "\\vandrel\\mine"); }, false, {},
     {InstallFolder + "\\vandrel\\mine", CompanyFolder}},
    {"trailing backslash", InstallFolder + "\\", [] {}, true, {}, {CompanyFolder}},
    {"two levels below the company folder", ToolsInstall, [] { InstallFiles(ToolsInstall); },
     true, {ToolsFolder}, {CompanyFolder}},
    {"parent path without the marker", GamesInstall, [] { InstallFiles(GamesInstall); }, true,
     {}, {"C:\\Games"}},
    {"marker differs in case", "C:\\quendra software\\Dovrance",
     [] { InstallFiles("C:\\quendra software\\Dovrance"); }, true, {}, {"C:\\quendra software"}},
    {"no backslash at all", "Dovrance", [] { InstallFiles("Dovrance"); }, true, {}, {}},
};

std::string InstallFolderOf(const std::string& installPath)
{
    return installPath.back() == '\\' ? installPath.substr(0, installPath.size() - 1) : installPath;
}

}  // namespace

TEST(InstalledFiles, FoldersGoOnlyWhenEmptyAndTheCompanyFolderOnlyByItsMarker)
{
    for (const FolderCase& row : FolderCases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        row.arrange();
        std::string folder = InstallFolderOf(row.installPath);

        RemoveInstalledFiles(row.installPath.c_str());

        for (const std::string& name : InstalledFileNames) {
            EXPECT_FALSE(sim::FileExists(folder + "\\" + name)) << name;
        }
        EXPECT_FALSE(sim::FileExists(folder + "\\vandrel\\hill.bmp"));
        EXPECT_FALSE(sim::FileExists(folder + "\\uninstall.exe"));
        EXPECT_EQ(!row.installFolderRemoved, sim::FolderExists(folder));
        for (const std::string& removed : row.removedFolders) {
            EXPECT_FALSE(sim::FolderExists(removed)) << removed;
        }
        for (const std::string& kept : row.keptFolders) {
            EXPECT_TRUE(sim::FolderExists(kept)) << kept;
        }
        if (row.installFolderRemoved) {
            ASSERT_EQ(1u, sim::ShellNotices().size());
            EXPECT_EQ(SHCNE_RMDIR, sim::ShellNotices()[0].eventId);
            EXPECT_EQ((unsigned)SHCNF_PATH, sim::ShellNotices()[0].flags);
            EXPECT_EQ(row.installPath, sim::ShellNotices()[0].path);
        } else {
            EXPECT_TRUE(sim::ShellNotices().empty());
        }
        EXPECT_TRUE(sim::FileExists(TempCopy));
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(InstalledFiles, AUsersFileStaysWithItsFolder)
{
    MakeSecondRunWorld();
    sim::AddFile(InstallFolder + "\\my notes.txt", "mine");
    RemoveInstalledFiles(InstallFolder.c_str());
    EXPECT_EQ("mine", sim::FileContents(InstallFolder + "\\my notes.txt"));
}

TEST(InstalledFiles, InstalledUninstallerIsRetriedForABoundedTime)
{
    struct RetryCase {
        const char* name;
        long long lockedUntilMs;  // 0: not locked, -1: for good
        bool present;
        int attempts;
        size_t pauses;
        bool folderRemoved;
    };
    const RetryCase cases[] = {
        {"free", 0, true, 1, 0, true},
        {"locked for the first 200 ms", 200, true, 5, 4, true},
        {"locked for good", -1, true, 51, 50, false},
        {"absent", 0, false, 1, 0, true},
    };
    for (const RetryCase& row : cases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        if (!row.present) {
            DeleteFileA(InstalledUninstaller.c_str());
        }
        sim::LockFile(InstalledUninstaller, row.lockedUntilMs);
        int attemptsBefore = sim::DeleteAttempts(InstalledUninstaller);

        RemoveInstalledFiles(InstallFolder.c_str());

        EXPECT_EQ(row.attempts, sim::DeleteAttempts(InstalledUninstaller) - attemptsBefore);
        EXPECT_EQ(row.pauses, sim::Pauses().size());
        for (unsigned pause : sim::Pauses()) {
            EXPECT_EQ(50u, pause);
        }
        EXPECT_EQ(row.folderRemoved, !sim::FolderExists(InstallFolder));
        EXPECT_EQ(!row.folderRemoved, sim::FolderExists(CompanyFolder));
    }
}

// Paths are built in 260-byte buffers. An install path so long that a name does not fit
// skips that one file; a file whose path is the cut-off text must never be deleted in its place.
TEST(InstalledFiles, PathsThatDoNotFitAreSkippedNeverCutOff)
{
    for (int length : {226, 227, 228, 240, 246, 247, 250, 257, 258, 259}) {
        SCOPED_TRACE(length);
        MakeSecondRunWorld();
        std::string folder = "C:\\" + std::string(length - 3, 'd');
        InstallFiles(folder);
        const std::string longPicture = folder + "\\vandrel\\" + std::string(250, 'p');
        sim::AddFile(longPicture);
        std::vector<std::string> traps;
        for (const std::string& name : InstalledFileNames) {
            std::string full = folder + "\\" + name;
            if (full.size() > 259 && folder.size() + 1 < 259) {
                traps.push_back(full.substr(0, 259));
                sim::AddFile(traps.back(), "trap");
            }
        }

        RemoveInstalledFiles(folder.c_str());

        for (const std::string& name : InstalledFileNames) {
            std::string full = folder + "\\" + name;
            EXPECT_EQ(full.size() > 259, sim::FileExists(full)) << name;
        }
        for (const std::string& trap : traps) {
            EXPECT_EQ("trap", sim::FileContents(trap)) << trap;
        }
        EXPECT_TRUE(sim::FileExists(longPicture));
        EXPECT_TRUE(sim::FolderExists(folder));
        EXPECT_TRUE(sim::FileExists(TempCopy));
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}
