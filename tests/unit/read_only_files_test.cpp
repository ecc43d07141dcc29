// A product installed from a CD-ROM: its files are read-only. Each file the uninstaller deletes
// loses the attribute first; one it still cannot delete gets its attributes back; a user's file
// is never touched.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

const std::string UsersFile = InstallFolder + "\\my notes.txt";
const std::string StartupLink = StartupFolder + "\\" + ShortcutName;
const std::string ProgramsLink = ProgramsFolder + "\\" + ShortcutName;
const std::string Picture = InstallFolder + "\\vandrel\\hill.bmp";

void MakeReadOnly(const std::string& path)
{
    sim::AddFile(path, sim::FileContents(path), true);
}

void MakeAllReadOnly()
{
    for (const std::string& name : InstalledFileNames) {
        MakeReadOnly(InstallFolder + "\\" + name);
    }
    MakeReadOnly(Picture);
    MakeReadOnly(InstallFolder + "\\vandrel\\lake.jpg");
    MakeReadOnly(InstalledUninstaller);
    MakeReadOnly(StartupLink);
    MakeReadOnly(ProgramsLink);
}

struct ReadOnlyCase {
    const char* name;
    std::function<void()> arrange;
    std::vector<std::string> kept;  // files still there afterwards, each with its attributes
    std::vector<DWORD> keptAttributes;
    bool folderRemoved;
};

const ReadOnlyCase ReadOnlyCases[] = {
    {"every file read-only", MakeAllReadOnly, {}, {}, true},
    {"read-only uninstaller locked for good", [] {
         MakeAllReadOnly();
         sim::LockFile(InstalledUninstaller, -1); },
     {InstalledUninstaller}, {FILE_ATTRIBUTE_READONLY}, false},
    {"read-only hidden file locked for good", [] {
         MakeAllReadOnly();
         std::string locked = InstallFolder + "\\ovelt.txt";
         SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
         sim::LockFile(locked, -1); },
     {InstallFolder + "\\ovelt.txt"}, {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}, false},
    {"read-only locked picture", [] {
         MakeReadOnly(Picture);
         sim::LockFile(Picture, -1); },
     {Picture}, {FILE_ATTRIBUTE_READONLY}, false},
    {"a user's read-only file", [] {
         MakeAllReadOnly();
         sim::AddFile(UsersFile, "mine", true); },
     {UsersFile}, {FILE_ATTRIBUTE_READONLY}, false},
};

}  // namespace

TEST(ReadOnlyFiles, ProductFilesGoAndWhatStaysKeepsItsAttributes)
{
    for (const ReadOnlyCase& row : ReadOnlyCases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        row.arrange();

        RemoveShortcuts();
        RemoveInstalledFiles(InstallFolder.c_str());

        for (size_t i = 0; i < row.kept.size(); ++i) {
            EXPECT_TRUE(sim::FileExists(row.kept[i])) << row.kept[i];
            EXPECT_EQ(row.keptAttributes[i], GetFileAttributesA(row.kept[i].c_str())) << row.kept[i];
        }
        for (const std::string& name : InstalledFileNames) {
            std::string path = InstallFolder + "\\" + name;
            bool kept = std::find(row.kept.begin(), row.kept.end(), path) != row.kept.end();
            EXPECT_EQ(kept, sim::FileExists(path)) << name;
        }
        EXPECT_FALSE(sim::FileExists(StartupLink));
        EXPECT_FALSE(sim::FileExists(ProgramsLink));
        EXPECT_EQ(!row.folderRemoved, sim::FolderExists(InstallFolder));
        for (const std::string& event : sim::Events()) {
            EXPECT_EQ(std::string::npos, event.find(sim::NormalPath(UsersFile))) << event;
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}
