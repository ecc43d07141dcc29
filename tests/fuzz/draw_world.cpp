#include "fuzz/draw_world.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform_services.h"
#include "sim/product_items.h"
#include "sim/simulated_windows.h"

namespace {

const char ProductKey[] = "Software\\QUENDRA Software\\Dovrance";
const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string InstallFolder = "C:\\Program Files\\QUENDRA Software\\Dovrance";

std::string DrawText(FuzzedDataProvider& input, size_t most)
{
    std::string text = input.ConsumeRandomLengthString(most);
    if (input.ConsumeBool()) {
        text = "C:\\Program Files\\QUENDRA Software\\" + text;
    }
    return text;
}

// A registry value: absent, a string, or raw bytes of any type.
void DrawValue(FuzzedDataProvider& input, HKEY root, const char* key, const char* name)
{
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return;
    case 1:
        sim::SetStringValue(root, key, name, DrawText(input, 320));
        return;
    default: {
        DWORD type = input.ConsumeIntegralInRange<DWORD>(0, 4);
        sim::SetRawValue(root, key, name, type, DrawText(input, 320));
    }
    }
}

void AddProductFiles(const std::string& folder)
{
    for (const std::string& name : sim::InstalledFileNames) {
        sim::AddFile(folder + "\\" + name, name);
    }
    sim::AddFile(folder + "\\uninstall.exe", "MZ");
}

std::string Terminated(const std::string& bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

// What every drawn world starts from: the product installed, another product of the company,
// a user's letter, and the uninstall entry. Built once and copied in for each world.
void MakeBaseWorld()
{
    sim::ResetWorld();
    AddProductFiles(InstallFolder);
    sim::AddFile("C:\\Program Files\\QUENDRA Software\\Kelvar\\kelvar.exe", "other");
    sim::AddFile("C:\\Documents\\letter.txt", "mine");
    sim::AddKey(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Kelvar\\Saves");
    sim::AddKey(HKEY_CURRENT_USER, std::string(ProductKey) + "\\Settings\\Recent");
    sim::SetStringValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraDovrance", "DisplayName", "x");
}

}  // namespace

void DrawWorld(FuzzedDataProvider& input)
{
    static const sim::SavedWorld base = [] {
        MakeBaseWorld();
        return sim::SaveWorld();
    }();
    sim::LoadWorld(base);

    DrawValue(input, HKEY_LOCAL_MACHINE, ProductKey, "InstallPath");
    DrawValue(input, HKEY_CURRENT_USER, ShellFolders, "StartUp");
    DrawValue(input, HKEY_CURRENT_USER, ShellFolders, "Programs");

    // Put files where the drawn install path points, pictures with drawn names among them.
    std::string drawnInstall = DrawText(input, 280);
    if (drawnInstall.size() > 1 && drawnInstall.find('\0') == std::string::npos) {
        AddProductFiles(drawnInstall);
        int pictures = input.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < pictures; ++i) {
            std::string name = Terminated(input.ConsumeRandomLengthString(260));
            if (!name.empty() && name.find('\\') == std::string::npos && name != "." && name != "..") {
                sim::AddFile(drawnInstall + "\\vandrel\\" + name, "picture");
            }
        }
        if (input.ConsumeBool()) {
            sim::SetStringValue(HKEY_LOCAL_MACHINE, ProductKey, "InstallPath", drawnInstall);
        }
    }

    std::string temp = Terminated(DrawText(input, 300));
    if (temp.size() > 1) {
        sim::AddFolder(temp);
    }
    sim::SetTempPath(temp);
    std::string module = Terminated(DrawText(input, 300));
    if (module.size() > 1) {
        sim::AddFile(module, "MZ");
    }
    sim::SetModulePath(module);

    sim::FailCopyFile(input.ConsumeBool());
    sim::FailCreateFile(input.ConsumeBool());
    sim::FailQueryInfoKey(input.ConsumeBool());
    sim::SetDeleteKeyTakesTree(input.ConsumeBool());
    sim::SetShellExecuteResult(input.ConsumeIntegralInRange(0, 64));
    sim::LockFile(InstallFolder + "\\uninstall.exe", input.ConsumeIntegralInRange(-1, 4000));
    if (input.ConsumeBool()) {
        sim::MakeKeyUndeletable(HKEY_CURRENT_USER, std::string(ProductKey) + "\\Settings\\Recent");
    }
    if (input.ConsumeBool()) {
        sim::AddWindow("QuendraDovrance");
        sim::SetWindowProcess(input.ConsumeIntegralInRange(-1, 40000), input.ConsumeBool());
    }
    sim::QueueAnswer(input.ConsumeBool() ? IDOK : IDCANCEL);
    sim::SetWideFunctions((sim::WideFunctions)input.ConsumeIntegralInRange(0, 2));
    sim::SetShortNames(input.ConsumeBool());
}

void StopAtForeignChanges(const sim::ProductItems& items, const sim::Footprint& before)
{
    std::vector<std::string> foreign = sim::ForeignChanges(items, before, sim::TakeFootprint());
    for (const std::string& change : foreign) {
        std::fprintf(stderr, "foreign change: %s\n", change.c_str());
    }
    if (!foreign.empty() || sim::OpenHandleCount() != 0) {
        std::abort();
    }
}
