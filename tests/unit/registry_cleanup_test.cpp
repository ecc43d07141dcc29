#include <gtest/gtest.h>

#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

const std::string OtherProductKey = "Software\\QUENDRA Software\\Kelvar";
const std::string OtherVendorKey = "Software\\Other Vendor\\Tool";

struct RegistryCase {
    const char* name;
    std::function<void()> arrange;
    bool userCompanyKept;
    bool machineCompanyKept;
};

const RegistryCase RegistryCases[] = {
    {"product alone under the company", [] {}, false, false},
    {"second product under both roots", [] {
         sim::AddKey(HKEY_CURRENT_USER, OtherProductKey);
         sim::AddKey(HKEY_LOCAL_MACHINE, OtherProductKey); },
     true, true},
    {"second product below the current user only",
     [] { sim::AddKey(HKEY_CURRENT_USER, OtherProductKey); }, true, false},
    {"second product below the local machine only",
     [] { sim::AddKey(HKEY_LOCAL_MACHINE, OtherProductKey); }, false, true},
    {"company key holds values only", [] {
         sim::SetStringValue(HKEY_CURRENT_USER, CompanyKey, "Registered", "yes");
         sim::SetStringValue(HKEY_LOCAL_MACHINE, CompanyKey, "Registered", "yes"); },
     false, false},
    {"no company key below the current user",
     [] { sim::RemoveKey(HKEY_CURRENT_USER, CompanyKey); }, false, false},
    {"no App Paths entry", [] { sim::RemoveKey(HKEY_LOCAL_MACHINE, AppPathsEntryPath); }, false,
     false},
    {"sub-key count unreadable keeps the company keys", [] { sim::FailQueryInfoKey(true); }, true,
     true},
    {"Windows 95: deleting a key takes its tree", [] {
         sim::SetDeleteKeyTakesTree(true);
         sim::AddKey(HKEY_CURRENT_USER, OtherProductKey + "\\Saves"); },
     true, false},
    {"Windows 95 with an unreadable count keeps the other product", [] {
         sim::SetDeleteKeyTakesTree(true);
         sim::FailQueryInfoKey(true);
         sim::AddKey(HKEY_CURRENT_USER, OtherProductKey + "\\Saves");
         sim::AddKey(HKEY_LOCAL_MACHINE, OtherProductKey); },
     true, true},
};

}  // namespace

TEST(RegistryCleanup, ProductKeysGoAndTheCompanyKeyOnlyWhenNothingElseIsInIt)
{
    for (const RegistryCase& row : RegistryCases) {
        SCOPED_TRACE(row.name);
        MakeSecondRunWorld();
        sim::AddKey(HKEY_CURRENT_USER, OtherVendorKey);
        sim::AddKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\other.exe");
        row.arrange();
        bool otherUser = sim::KeyExists(HKEY_CURRENT_USER, OtherProductKey);
        bool otherMachine = sim::KeyExists(HKEY_LOCAL_MACHINE, OtherProductKey);

        RemoveRegistryEntries();

        EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryPath));
        EXPECT_TRUE(sim::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\other.exe"));
        EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, ProductKey));
        EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
        EXPECT_EQ(row.userCompanyKept, sim::KeyExists(HKEY_CURRENT_USER, CompanyKey));
        EXPECT_EQ(row.machineCompanyKept, sim::KeyExists(HKEY_LOCAL_MACHINE, CompanyKey));
        EXPECT_EQ(otherUser, sim::KeyExists(HKEY_CURRENT_USER, OtherProductKey));
        EXPECT_EQ(otherMachine, sim::KeyExists(HKEY_LOCAL_MACHINE, OtherProductKey));
        EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, OtherVendorKey));
        EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, ShellFoldersPath));
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(RegistryCleanup, SubKeyTreeIsEmptiedAtEveryDepthAndKeepsTheKeyItself)
{
    MakeSecondRunWorld();
    sim::SetStringValue(HKEY_CURRENT_USER, ProductKey + "\\A\\B\\C", "v", "1");
    sim::AddKey(HKEY_CURRENT_USER, ProductKey + "\\A\\B2");
    sim::AddKey(HKEY_CURRENT_USER, ProductKey + "Extra");  // a sibling sharing the prefix

    DeleteSubKeyTree(ProductKey.c_str());

    for (const std::string& key : sim::ListKeys(HKEY_CURRENT_USER)) {
        EXPECT_EQ(std::string::npos, key.find("software\\quendra software\\dovrance\\")) << key;
    }
    EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, ProductKey));
    EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, ProductKey + "Extra"));
    EXPECT_EQ(0, sim::OpenHandleCount());
}

// A sub-key that cannot be deleted would be found again at index 0 for ever; the walk stops
// at that level, the rest of the cleanup goes on.
TEST(RegistryCleanup, WalkEndsAtAnUndeletableSubKey)
{
    MakeSecondRunWorld();
    sim::AddKey(HKEY_CURRENT_USER, ProductKey + "\\Locked\\Inner");
    sim::MakeKeyUndeletable(HKEY_CURRENT_USER, ProductKey + "\\Locked");

    RemoveRegistryEntries();

    EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, ProductKey + "\\Locked"));
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, ProductKey + "\\Locked\\Inner"));
    EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, CompanyKey));
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, CompanyKey));
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryPath));
    EXPECT_EQ(0, sim::OpenHandleCount());
}

// Child paths are built in 260-byte buffers: a tree whose paths would not fit is left at the
// level where they stop fitting, and nothing else is deleted in its place.
TEST(RegistryCleanup, SubKeyPathsThatDoNotFitAreNotFollowed)
{
    MakeSecondRunWorld();
    std::string deep = ProductKey;
    while (deep.size() < 300) {
        deep += "\\level" + std::to_string(deep.size());
    }
    sim::AddKey(HKEY_CURRENT_USER, deep);

    DeleteSubKeyTree(ProductKey.c_str());

    EXPECT_EQ(0, sim::OpenHandleCount());
    EXPECT_TRUE(sim::KeyExists(HKEY_CURRENT_USER, deep));
}
