// What the uninstaller may change in a world, and every change it made that was not its own.
#include "sim/product_items.h"

#include <string_view>

#include "sim/code_pages.h"
#include "sim/simulated_windows.h"
#include "sim/world.h"

namespace sim {

const std::vector<std::string> InstalledFileNames = {
    "Dovrance.exe", "Tessily.htm", "quillane.txt", "ovelt.txt",
    "QUENDRA Dovrance 98 Wendrip.url", "pellory.htm", "skelvin.htm", "torvic.exe",
    "kwandle.exe", "kwandle_dll.dll", "pobbelin.mid",
};

namespace {

// A value as the uninstaller reads it: into a zero-filled 260-byte buffer, usable only when
// it ends inside that buffer. The text is what the ANSI read names.
bool ReadUsableValue(HKEY root, const char* path, const char* name, std::string& text)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[MAX_PATH] = {0};
    DWORD size = MAX_PATH;
    LONG result = RegQueryValueExA(key, name, 0, 0, (LPBYTE)buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || buffer[MAX_PATH - 1] != 0) {
        return false;
    }
    text = TextFromAnsi(buffer);
    return true;
}

std::string WithBackslash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

bool IsAtOrBelow(const std::string& key, const std::set<std::string>& roots)
{
    for (const std::string& root : roots) {
        if (key == root || key.compare(0, root.size() + 1, root + "\\") == 0) {
            return true;
        }
    }
    return false;
}

// The copy in TEMP and the scripts delme1.bat to delme200.bat beside it (and TEMP itself, which
// the first run makes when it is missing).
bool IsWritable(const ProductItems& items, const std::string& path)
{
    if (items.tempFolders.count(path)) {
        return true;
    }
    size_t cut = path.rfind('\\');
    if (cut == std::string::npos) {
        return false;
    }
    std::string_view name = std::string_view(path).substr(cut + 1);
    if (name != "uninstall.exe" && (name.size() < 10 || name.compare(0, 5, "delme") != 0)) {
        return false;  // decided before the folder is looked up, which copies it
    }
    std::string folder = path.substr(0, cut);
    if (!items.tempFolders.count(folder.empty() ? "\\" : folder)) {
        return false;
    }
    if (name == "uninstall.exe") {
        return true;
    }
    const std::string start = "delme";
    const std::string end = ".bat";
    if (name.size() <= start.size() + end.size() || name.compare(0, start.size(), start) != 0 ||
        name.compare(name.size() - end.size(), end.size(), end) != 0) {
        return false;
    }
    std::string number(name.substr(start.size(), name.size() - start.size() - end.size()));
    if (number.size() > 3 || number[0] == '0' ||
        number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    int n = std::stoi(number);
    return n >= 1 && n <= 200;
}

void AddInstallFolderItems(ProductItems& items, const std::string& install)
{
    for (const std::string& name : InstalledFileNames) {
        items.deletableFiles.insert(NormalPath(install + "\\" + name));
    }
    items.deletableFiles.insert(NormalPath(install + "\\uninstall.exe"));
    items.pictureFolder = NormalPath(install + "\\vandrel");
    items.deletableFiles.insert(items.pictureFolder);
    items.deletableFiles.insert(NormalPath(install));
    size_t cut = install.rfind('\\');
    if (cut != std::string::npos && install.substr(0, cut).find("\\QUENDRA Software") != std::string::npos) {
        items.deletableFiles.insert(NormalPath(install.substr(0, cut)));
    }
}

}  // namespace

Footprint TakeFootprint()
{
    Footprint footprint;
    for (const auto& entry : detail::world.entries) {
        footprint.entries.emplace_hint(footprint.entries.end(), entry.first,
                                       entry.second.folder ? "<folder>" : entry.second.contents);
    }
    for (const std::string& key : ListKeys(HKEY_LOCAL_MACHINE)) {
        footprint.keys.insert("hklm\\" + key);
    }
    for (const std::string& key : ListKeys(HKEY_CURRENT_USER)) {
        footprint.keys.insert("hkcu\\" + key);
    }
    return footprint;
}

ProductItems ReadProductItems()
{
    ProductItems items;
    std::string install;
    if (ReadUsableValue(HKEY_LOCAL_MACHINE, "Software\\QUENDRA Software\\Dovrance", "InstallPath",
                        install) && install.size() > 1) {
        AddInstallFolderItems(items, install);
    }
    const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    for (const char* name : {"Startup", "Programs"}) {
        // The folder as the ANSI read names it, and as the wide read names it.
        std::string folder;
        if (ReadUsableValue(HKEY_CURRENT_USER, shellFolders, name, folder)) {
            items.deletableFiles.insert(NormalPath(WithBackslash(folder) + "QUENDRA Dovrance 98.lnk"));
            folder = ValueText(HKEY_CURRENT_USER, shellFolders, name);
            items.deletableFiles.insert(NormalPath(WithBackslash(folder) + "QUENDRA Dovrance 98.lnk"));
        }
    }
    char temp[MAX_PATH] = {0};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> tempFolders = {TempPathText()};
    if (length > 0 && length < MAX_PATH) {
        tempFolders.push_back(TextFromAnsi(temp));
    }
    for (const std::string& reported : tempFolders) {
        std::string folder = WithBackslash(reported);
        items.tempFolders.insert(NormalPath(folder));
    }
    items.deletableKeys = {
        "hklm\\software\\microsoft\\windows\\currentversion\\uninstall\\quendradovrance",
        "hklm\\software\\microsoft\\windows\\currentversion\\app paths\\dovrance.exe",
        "hklm\\software\\quendra software",
        "hkcu\\software\\quendra software",
    };
    items.creatableKeys = {"hklm\\software", "hklm\\software\\quendra software",
                           "hklm\\software\\quendra software\\dovrance"};
    return items;
}

std::vector<std::string> ForeignChanges(const ProductItems& items, const Footprint& before,
                                        const Footprint& after)
{
    std::vector<std::string> foreign;
    const std::string pictures = items.pictureFolder + "\\";
    for (const auto& entry : before.entries) {
        const std::string& path = entry.first;
        auto now = after.entries.find(path);
        bool inPictures = !items.pictureFolder.empty() && path.compare(0, pictures.size(), pictures) == 0 &&
                          path.find('\\', pictures.size()) == std::string::npos;
        bool own = items.deletableFiles.count(path) || inPictures || IsWritable(items, path);
        if (now == after.entries.end() && !own) {
            foreign.push_back("deleted " + path);
        } else if (now != after.entries.end() && now->second != entry.second &&
                   !IsWritable(items, path)) {
            foreign.push_back("changed " + path);
        }
    }
    for (const auto& entry : after.entries) {
        if (!before.entries.count(entry.first) && !IsWritable(items, entry.first)) {
            foreign.push_back("created " + entry.first);
        }
    }
    // A product key that belongs to another company would be a foreign deletion: the company
    // keys are only deletable when nothing but this product's key is in them.
    for (const std::string& key : before.keys) {
        if (!after.keys.count(key) && !IsAtOrBelow(key, items.deletableKeys)) {
            foreign.push_back("deleted key " + key);
        }
    }
    for (const std::string& company : {std::string("hklm\\software\\quendra software"),
                                       std::string("hkcu\\software\\quendra software")}) {
        std::set<std::string> ours = {company + "\\dovrance"};
        for (const std::string& key : before.keys) {
            bool belowCompany = key.compare(0, company.size() + 1, company + "\\") == 0;
            if (belowCompany && !IsAtOrBelow(key, ours) && !after.keys.count(key)) {
                foreign.push_back("deleted another product's key " + key);
            }
        }
    }
    for (const std::string& key : after.keys) {
        if (!before.keys.count(key) && !items.creatableKeys.count(key)) {
            foreign.push_back("created key " + key);
        }
    }
    return foreign;
}

}  // namespace sim
