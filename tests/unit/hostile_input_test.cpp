// Every value the program reads or builds a path from, made hostile one at a time: both runs go
// through under the sanitizers, touch nothing but the product's own items and the copy and
// script in TEMP, and show the message the situation calls for.
#include <gtest/gtest.h>

#include <functional>

#include "removal/removal_steps.h"
#include "sample_world.h"
#include "sim/product_items.h"

namespace {

enum Target { InstallPathValue, StartupValue, ProgramsValue, TempPath, ModulePath };

const char* const TargetNames[] = {"InstallPath", "Startup", "Programs", "TEMP", "module path"};

struct Variant {
    const char* name;
    bool text;      // a string (else raw registry bytes)
    std::string value;
    DWORD type;
};

// A path of exactly length characters that starts like a real folder.
std::string PathOfLength(size_t length, const std::string& start = "C:\\Program Files\\QUENDRA Software\\")
{
    std::string path = start;
    while (path.size() < length) {
        path += (path.size() % 40 == 0) ? '\\' : 'q';
    }
    return path.substr(0, length);
}

std::vector<Variant> Variants()
{
    return {
        {"empty", true, "", REG_SZ},
        {"one character", true, "C", REG_SZ},
        {"258 characters", true, PathOfLength(258), REG_SZ},
        {"259 characters", true, PathOfLength(259), REG_SZ},
        {"260 characters", true, PathOfLength(260), REG_SZ},
        {"over 260 characters", true, PathOfLength(400), REG_SZ},
        {"260 bytes without terminator", false, PathOfLength(260), REG_SZ},
        {"short, without terminator", false, "C:\\Program Files\\QUENDRA Software\\Dovrance", REG_SZ},
        {"DWORD", false, std::string("C:\\\0", 4), REG_DWORD},
        {"binary", false, std::string("\x01\x02\x03\x04\x05\x06\x07", 7), REG_BINARY},
        {"trailing backslashes", true, "C:\\Program Files\\QUENDRA Software\\Dovrance\\\\\\", REG_SZ},
        {"percent signs", true, "C:\\Program Files\\QUENDRA Software\\Dov%rance%", REG_SZ},
        {"drive root", true, "C:\\", REG_SZ},
        {"doubled backslashes", true, "C:\\\\Program Files\\\\QUENDRA Software\\\\Dovrance", REG_SZ},
    };
}

// The sample installation, put where the hostile value points as well, with bystanders: a user's
// files, another product of the company, and a file at the cut-off form of every long path.
void ArrangeWorld(Target target, const Variant& variant)
{
    MakeFirstRunWorld();
    InstallFiles(InstallFolder);
    InstallKeysAndShortcuts();
    sim::AddFile("C:\\Documents\\letter.txt", "mine");
    sim::AddFile("C:\\Program Files\\QUENDRA Software\\Kelvar\\kelvar.exe", "other");
    sim::AddKey(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Kelvar");
    sim::AddKey(HKEY_LOCAL_MACHINE, "Software\\QUENDRA Software\\Kelvar");
    sim::AddFile("C:\\TEMP\\draft.txt", "draft");

    std::string text = variant.value;
    std::string cut = text.find('\0') == std::string::npos ? text : text.substr(0, text.find('\0'));
    switch (target) {
    case InstallPathValue:
    case StartupValue:
    case ProgramsValue: {
        const char* name = target == InstallPathValue ? "InstallPath"
                           : target == StartupValue   ? "StartUp"
                                                      : "Programs";
        const std::string& key = target == InstallPathValue ? ProductKey : ShellFoldersPath;
        if (variant.text) {
            sim::SetStringValue(target == InstallPathValue ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                                key, name, text);
        } else {
            sim::SetRawValue(target == InstallPathValue ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                             key, name, variant.type, text);
        }
        if (cut.size() > 1 && target == InstallPathValue) {
            InstallFiles(cut);
            sim::SetRawValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", variant.type,
                             variant.text ? text + '\0' : text);
        } else if (cut.size() > 1) {
            sim::AddFile(cut + "\\" + ShortcutName);
        }
        break;
    }
    case TempPath:
        if (cut.size() > 1) {
            sim::AddFolder(cut);
        }
        sim::SetTempPath(cut);
        break;
    case ModulePath:
        sim::AddFile(cut, ProgramBytes);
        sim::SetModulePath(cut);
        break;
    }
    // Files at the cut-off forms of the paths built from the value must never be deleted.
    for (const std::string& name : InstalledFileNames) {
        std::string full = cut + "\\" + name;
        if (full.size() > 259 && cut.size() < 258) {
            sim::AddFile(full.substr(0, 259), "trap");
        }
    }
}

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
            if ((target == TempPath || target == ModulePath) && !variant.text) {
                continue;  // the system reports these as strings
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
