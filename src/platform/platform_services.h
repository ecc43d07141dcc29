// The Windows operations the uninstaller calls, by their own names.
// A Windows build takes them from the system headers; the host build declares them here
// and links them against the simulated Windows under tests/sim.
#ifndef PLATFORM_SERVICES_H
#define PLATFORM_SERVICES_H

#ifdef _WIN32

#undef UNICODE
#undef _UNICODE
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#else

#include <stdint.h>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;
typedef LONG LSTATUS;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef void* HANDLE;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef INT_PTR (*FARPROC)(void);

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;

#define MAX_PATH 260
#define CP_ACP 0
#define TRUE 1
#define FALSE 0

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define KEY_QUERY_VALUE 0x0001
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4

#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_SHARING_VIOLATION 32
#define ERROR_FILE_EXISTS 80
#define ERROR_ALREADY_EXISTS 183
#define ERROR_DIR_NOT_EMPTY 145
#define ERROR_MORE_DATA 234
#define ERROR_NO_MORE_ITEMS 259

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define GENERIC_WRITE 0x40000000u
#define CREATE_NEW 1
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define IDOK 1
#define IDCANCEL 2

#define WM_CLOSE 0x0010
#define SYNCHRONIZE 0x00100000u
#define WAIT_OBJECT_0 0
#define WAIT_TIMEOUT 258
#define WAIT_FAILED ((DWORD)-1)
#define SW_HIDE 0
#define SW_MINIMIZE 6

#define SHCNE_DELETE 0x00000004L
#define SHCNE_RMDIR 0x00000010L
#define SHCNF_PATH 0x0001

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite);
LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                         LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                         LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                         LPDWORD securityDescriptorSize, PFILETIME lastWrite);
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);
LSTATUS RegCloseKey(HKEY key);

LPSTR GetCommandLineA(void);
DWORD GetModuleFileNameA(HINSTANCE module, LPSTR fileName, DWORD size);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);
HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int textSize, LPCSTR defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                        int wideSize);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL CopyFileA(LPCSTR existingFile, LPCSTR newFile, BOOL failIfExists);
BOOL DeleteFileA(LPCSTR path);
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);
DWORD GetFileAttributesA(LPCSTR path);
DWORD GetLastError(void);
BOOL RemoveDirectoryA(LPCSTR path);
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found);
BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA found);
BOOL FindClose(HANDLE search);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);
void Sleep(DWORD milliseconds);
BOOL IsBadReadPtr(const void* address, UINT_PTR size);
BOOL IsBadWritePtr(LPVOID address, UINT_PTR size);
LPSTR lstrcpyA(LPSTR target, LPCSTR source);
LPSTR lstrcatA(LPSTR target, LPCSTR source);
int lstrlenA(LPCSTR text);
int lstrcmpA(LPCSTR first, LPCSTR second);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
BOOL CharToOemBuffA(LPCSTR source, LPSTR target, DWORD length);
BOOL OemToCharBuffA(LPCSTR source, LPSTR target, DWORD length);

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int showCommand);
void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2);

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

#endif

#endif
