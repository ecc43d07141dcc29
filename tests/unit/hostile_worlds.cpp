#include "hostile_worlds.h"

#include "sample_world.h"

const char* const TargetNames[] = {"InstallPath", "Startup", "Programs", "TEMP", "module path"};

namespace {

// A path of exactly length characters that starts like a real folder.
std::string PathOfLength(size_t length, const std::string& start = "C:\\Program Files\\QUENDRA Software\\")
{
    std::string path = start;
    while (path.size() < length) {
        path += (path.size() % 40 == 0) ? '\\' : 'q';
    }
    return path.substr(0, length);
}

}  // namespace

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

bool Applies(Target target, const Variant& variant)
{
    return variant.text || (target != TempPath && target != ModulePath);
}

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
