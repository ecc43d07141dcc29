// The names by which the uninstaller finds the one product it serves.
// Each is its own literal on purpose: none is put together from another at run time.
// Declared inline so that the program holds one copy of each, however many files use it.
#ifndef PRODUCT_NAMES_H
#define PRODUCT_NAMES_H

inline constexpr char DisplayName[] = "QUENDRA Dovrance 98";
inline constexpr char ProductTag[] = "QuendraDovrance";
inline constexpr char InternalSwitch[] = "/internally";
inline constexpr char UninstallerFileName[] = "uninstall.exe";
inline constexpr char CompanyKeyPath[] = "Software\\QUENDRA Software";
inline constexpr char ProductKeyPath[] = "Software\\QUENDRA Software\\Dovrance";
inline constexpr char CompanyKeyName[] = "QUENDRA Software";
inline constexpr char ProductKeyName[] = "Dovrance";
inline constexpr char MainExecutableName[] = "Dovrance.exe";

#endif
