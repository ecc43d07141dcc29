// A simulated Windows for the host build: an in-memory registry, file system, window list and
// user, behind the same operations the program calls on Windows. Tests set up a world, run the
// program's routines and inspect what changed.
#ifndef SIMULATED_WINDOWS_H
#define SIMULATED_WINDOWS_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_services.h"

namespace sim {

struct MessageBoxShown {
    std::string text;
    std::string caption;
    unsigned style;
};

struct PostedMessage {
    std::string windowClass;
    int windowIndex;  // which window of that class, counted from 0 in the list's order
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
};

// Paths the program passed are recorded as text, converted from the ANSI code page.
struct ProgramStarted {
    std::string verb;  // "" for the default verb
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand;
};

struct ShellNotice {
    long eventId;
    unsigned flags;
    std::string path;
};

// Starts a new, empty world: no keys, no files, no windows; clock at 0.
void ResetWorld();
// Frees everything the world holds. A fuzz target calls it before an execution ends, so that
// the execution frees what it allocated and the fuzzer's leak check has nothing to re-run.
void ReleaseWorld();
// A copy of the whole world, to start many runs from the same one cheaply.
struct SavedWorld {
    int index;
};
SavedWorld SaveWorld();
void LoadWorld(SavedWorld saved);

// --- Registry. Roots are HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; names ignore case.
void AddKey(HKEY root, const std::string& path);
void SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text);  // stored with its terminator, as REG_SZ
void SetRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                 const std::string& bytes);  // stored exactly as given
void RemoveKey(HKEY root, const std::string& path);  // with every key below it
void RemoveValue(HKEY root, const std::string& path, const std::string& name);
bool KeyExists(HKEY root, const std::string& path);
std::vector<std::string> ListKeys(HKEY root);  // every key path below root, sorted
// A key whose deletion fails; on Windows 95 deleting a key also deletes its sub-keys.
void MakeKeyUndeletable(HKEY root, const std::string& path);
void SetDeleteKeyTakesTree(bool takesTree);
void FailQueryInfoKey(bool fail);

// --- Files. Paths ignore case, use backslashes and may hold doubled backslashes.
std::string NormalPath(const std::string& path);  // the form ListEntries uses (no '\' end)
std::string LongNormalPath(const std::string& path);  // the same, short names made long
void AddFolder(const std::string& path);  // and every folder above it
void AddFile(const std::string& path, const std::string& contents = "", bool readOnly = false);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool IsReadOnly(const std::string& path);
std::string FileContents(const std::string& path);
std::vector<std::string> ListEntries();  // every file and folder, sorted, folders with a '\' end
// The file cannot be deleted or replaced until the clock reaches untilMs (-1: never).
void LockFile(const std::string& path, long long untilMs);
void FailCopyFile(bool fail);
void FailCreateFile(bool fail);

// --- Process: command line, module path and temporary folder as the system reports them.
void SetCommandLine(const std::string& text);
void SetModulePath(const std::string& path);
void SetTempPath(const std::string& path);

// --- Code pages and short names. Text given to and read from the simulation is UTF-8; the
// program sees it through the ANSI and OEM code pages of tests/sim/code_pages.h.
// The functions that only NT has: found and working (NT), not found, or found but failing
// (the stubs of Windows 95 and 98).
enum WideFunctions { WideAsOnNt, WideMissing, WideStubs };
void SetWideFunctions(WideFunctions functions);
// Short (8.3) names for every file and folder whose name is not one already (on by default).
void SetShortNames(bool on);
std::string TempPathText();  // the temporary folder as the system holds it
// A string value as the wide functions read it, up to its terminator; "" when there is none.
std::string ValueText(HKEY root, const std::string& path, const std::string& name);

// --- Windows and the user.
void AddWindow(const std::string& windowClass);  // its process ends as soon as it is asked to close
// The process of the window added last: how long it takes to end once asked to close (-1:
// never), and whether it can be opened to wait for it.
void SetWindowProcess(long long closesAfterMs, bool openable);
bool WindowProcessEnded(int index);  // by the window's place in the list
void QueueAnswer(int answer);  // answers for the next message boxes; IDOK when none is queued
const std::vector<MessageBoxShown>& BoxesShown();
const std::vector<PostedMessage>& MessagesPosted();

// --- Started programs, shell notices, pauses.
void SetShellExecuteResult(intptr_t result);
const std::vector<ProgramStarted>& ProgramsStarted();
const std::vector<ShellNotice>& ShellNotices();
const std::vector<unsigned>& Pauses();
long long ClockMs();
int DeleteAttempts(const std::string& path);
// What the program did, in order: "deleted <path>", "deleted key <key>", "copied to <path>",
// "attributes <n> <path>", "posted <message> to <class>", "waited up to <n> ms", "started <file>".
const std::vector<std::string>& Events();
// Every operation the program calls, with its arguments, once switched on (off by default).
void SetCallLog(bool on);
const std::vector<std::string>& Calls();

// Registry keys, file, search and process handles the program opened and has not closed.
int OpenHandleCount();

}  // namespace sim

#endif
