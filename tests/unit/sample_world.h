// A simulated machine with the product installed, shared by the unit tests.
#ifndef SAMPLE_WORLD_H
#define SAMPLE_WORLD_H

#include <string>
#include <vector>

#include "sim/product_items.h"
#include "sim/simulated_windows.h"

const std::string InstallFolder = "C:\\Program Files\\QUENDRA Software\\Dovrance";
const std::string CompanyFolder = "C:\\Program Files\\QUENDRA Software";
const std::string InstalledUninstaller = InstallFolder + "\\uninstall.exe";
const std::string TempFolder = "C:\\TEMP\\";
const std::string TempCopy = "C:\\TEMP\\uninstall.exe";
const std::string UninstallListPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string UninstallEntryPath = UninstallListPath + "\\QuendraDovrance";
const std::string AppPathsEntryPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrance.exe";
const std::string ShellFoldersPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string StartupFolder = "C:\\Documents\\Start Menu\\Programs\\StartUp";
const std::string ProgramsFolder = "C:\\Documents\\Start Menu\\Programs";
const std::string ShortcutName = "QUENDRA Dovrance 98.lnk";
const std::string ProductKey = "Software\\QUENDRA Software\\Dovrance";
const std::string CompanyKey = "Software\\QUENDRA Software";
const std::string ProgramBytes = "MZ uninstaller";

using sim::InstalledFileNames;

// What the first run sees: its own file in the install folder, TEMP, the uninstall entry
// beside another program's entry.
void MakeFirstRunWorld();

// What the second run sees: the whole installation, the copy running from TEMP.
void MakeSecondRunWorld();

// The product's files, pictures, installed uninstaller and InstallPath below installFolder.
void InstallFiles(const std::string& installFolder);

// Keys of the product under both roots (three levels deep under the current user), the App
// Paths entry, the shell-folder values and both shortcuts.
void InstallKeysAndShortcuts();

// Everything below the two roots and on disk, for before/after comparisons.
std::vector<std::string> Snapshot();

#endif
