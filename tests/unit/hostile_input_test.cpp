// Every value the program reads or builds a path from, made hostile one at a time: both runs go
// through under the sanitizers, touch nothing but the product's own items and the copy and
// script in TEMP, and show the message the situation calls for.
#include <gtest/gtest.h>

#include <functional>

#include "hostile_worlds.h"
#include "removal/removal_steps.h"
#include "sample_world.h"
#include "sim/product_items.h"

namespace {

std::vector<std::string> BoxTexts()
{
    std::vector<std::string> texts;
    for (const sim::MessageBoxShown& box : sim::BoxesShown()) {
        EXPECT_EQ("QUENDRA Dovrance 98", box.caption);
        texts.push_back(box.text);
    }
    return texts;
}

// The message each run must show, or "" for none.
std::string ExpectedFirstRunMessage(Target target, const Variant& variant)
{
    size_t length = variant.value.size();
    if (target == TempPath && (length == 0 || length >= 247)) {
        return "Can not copy uninstall.exe to TEMP.";  // unknown, or the copy's path would not fit
    }
    if (target == TempPath && sim::NormalPath(variant.value) == sim::NormalPath(InstallFolder)) {
        return "Can not copy uninstall.exe to TEMP.";  // it would copy the program onto itself
    }
    if (target == ModulePath && (length == 0 || length >= 260)) {
        return "Can not copy uninstall.exe to TEMP.";
    }
    return "";
}

std::string ExpectedSecondRunMessage(Target target, const Variant& variant)
{
    if (target != InstallPathValue) {
        return "";
    }
    const std::string& bytes = variant.value;
    bool terminated = variant.text ? bytes.size() < 260 : bytes.find('\0') != std::string::npos ||
                                                             bytes.size() < 260;
    return terminated ? "" : "Can not find install path to remove files.";
}

}  // namespace

TEST(HostileInput, BothRunsTouchOnlyTheProductsOwnItems)
{
    for (int target = InstallPathValue; target <= ModulePath; ++target) {
        for (const Variant& variant : Variants()) {
            if (!Applies((Target)target, variant)) {
                continue;
            }
            SCOPED_TRACE(std::string(TargetNames[target]) + ": " + variant.name);
            ArrangeWorld((Target)target, variant);
            sim::ProductItems items = sim::ReadProductItems();
            sim::Footprint before = sim::TakeFootprint();

            sim::SetCommandLine("uninstall.exe");
            EXPECT_EQ(1, WinMain(nullptr, nullptr, nullptr, 0));
            std::vector<std::string> firstBoxes = BoxTexts();
            std::string firstMessage = ExpectedFirstRunMessage((Target)target, variant);
            ASSERT_EQ(firstMessage.empty() ? 1u : 2u, firstBoxes.size());
            if (!firstMessage.empty()) {
                EXPECT_EQ(firstMessage, firstBoxes[1]);
            }

            sim::SetCommandLine("uninstall.exe /internally");
            EXPECT_EQ(1, WinMain(nullptr, nullptr, nullptr, 0));
            std::vector<std::string> allBoxes = BoxTexts();
            std::vector<std::string> secondBoxes(allBoxes.begin() + firstBoxes.size(), allBoxes.end());
            std::string secondMessage = ExpectedSecondRunMessage((Target)target, variant);
            ASSERT_EQ(secondMessage.empty() ? 0u : 1u, secondBoxes.size());
            if (!secondMessage.empty()) {
                EXPECT_EQ(secondMessage, secondBoxes[0]);
            }

            for (const std::string& change : sim::ForeignChanges(items, before, sim::TakeFootprint())) {
                ADD_FAILURE() << change;
            }
            EXPECT_EQ(0, sim::OpenHandleCount());
        }
    }
}

// The check above must see a foreign deletion when there is one.
TEST(HostileInput, ForeignChangesAreSeen)
{
    MakeSecondRunWorld();
    sim::AddFile("C:\\Documents\\letter.txt", "mine");
    sim::AddKey(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Kelvar");
    sim::ProductItems items = sim::ReadProductItems();
    sim::Footprint before = sim::TakeFootprint();
    DeleteFileA("C:\\Documents\\letter.txt");
    DeleteFileA((InstallFolder + "\\Dovrance.exe").c_str());
    sim::RemoveKey(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Kelvar");
    std::vector<std::string> changes = sim::ForeignChanges(items, before, sim::TakeFootprint());
    EXPECT_EQ(2u, changes.size());
}
