// Tells the uninstaller's own work apart from anything else it might touch: the product's items
// as the world's registry and TEMP name them, and the copy and script it writes to TEMP.
#ifndef PRODUCT_ITEMS_H
#define PRODUCT_ITEMS_H

#include <map>
#include <set>
#include <string>
#include <vector>

namespace sim {

// The files the product installs directly in its install folder (the uninstaller aside).
extern const std::vector<std::string> InstalledFileNames;

struct Footprint {
    std::map<std::string, std::string> entries;  // normal path -> contents, "<folder>" for folders
    std::set<std::string> keys;                  // "hklm\..." / "hkcu\..." in lower case
};

Footprint TakeFootprint();

// What the uninstaller may change, worked out from the world as it is now (before the runs).
struct ProductItems {
    std::set<std::string> deletableFiles;  // normal paths
    std::string pictureFolder;             // normal path; its direct entries may go, "" for none
    std::set<std::string> tempFolders;     // normal paths: the folder itself, its uninstall.exe
                                           // and delme1.bat to delme200.bat may be written
    std::set<std::string> deletableKeys;   // and every key below each of them
    std::set<std::string> creatableKeys;
};

ProductItems ReadProductItems();

// Every change from before to after that is not the uninstaller's own; empty when none.
std::vector<std::string> ForeignChanges(const ProductItems& items, const Footprint& before,
                                        const Footprint& after);

}  // namespace sim

#endif
