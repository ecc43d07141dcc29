#include "platform/system_paths.h"

#include "platform/path_text.h"

const char Kernel32Name[] = "KERNEL32.DLL";

typedef DWORD(WINAPI* TempPathReader)(DWORD size, LPWSTR buffer);
typedef DWORD(WINAPI* ModulePathReader)(HMODULE module, LPWSTR buffer, DWORD size);
typedef DWORD(WINAPI* ShortPathReader)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);

SystemFunction FindSystemFunction(const char* moduleName, const char* functionName)
{
    HMODULE module = GetModuleHandleA(moduleName);
    return module ? (SystemFunction)GetProcAddress(module, functionName) : 0;
}

int FitsPath(DWORD reportedLength)
{
    return reportedLength > 0 && reportedLength < MAX_PATH;
}

// The conversion picks a best fit for a letter the code page lacks; only a path that converts
// back to the same letters names the same file.
static int ConvertExactly(const WCHAR* wide, char* path)
{
    WCHAR back[MAX_PATH];
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, 0, 0) ||
        !MultiByteToWideChar(CP_ACP, 0, path, -1, back, MAX_PATH)) {
        path[0] = 0;
        return 0;
    }
    for (int i = 0; wide[i] || back[i]; ++i) {
        if (wide[i] != back[i]) {
            path[0] = 0;
            return 0;
        }
    }
    return 1;
}

int ConvertToAnsiPath(const WCHAR* wide, char* path)
{
    if (ConvertExactly(wide, path)) {
        return 1;
    }
    ShortPathReader readShortPath =
        (ShortPathReader)FindSystemFunction(Kernel32Name, "GetShortPathNameW");
    WCHAR shortPath[MAX_PATH];
    return readShortPath && FitsPath(readShortPath(wide, shortPath, MAX_PATH)) &&
           ConvertExactly(shortPath, path);
}

int FindTempFolder(char* folder)
{
    TempPathReader readTempPath = (TempPathReader)FindSystemFunction(Kernel32Name, "GetTempPathW");
    WCHAR wide[MAX_PATH];
    if (readTempPath && FitsPath(readTempPath(MAX_PATH, wide))) {
        return ConvertToAnsiPath(wide, folder);
    }
    return FitsPath(GetTempPathA(MAX_PATH, folder));
}

int FindModulePath(char* path)
{
    ModulePathReader readModulePath =
        (ModulePathReader)FindSystemFunction(Kernel32Name, "GetModuleFileNameW");
    WCHAR wide[MAX_PATH];
    if (readModulePath && FitsPath(readModulePath(0, wide, MAX_PATH))) {
        return ConvertToAnsiPath(wide, path);
    }
    return FitsPath(GetModuleFileNameA(0, path, MAX_PATH));
}
