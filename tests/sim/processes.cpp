// Processes, windows and the shell: TEMP, own path, NT-only functions, boxes, launches, notices.
#include "sim/world.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "sim/code_pages.h"

namespace sim::detail {

bool WideFunctionsWork()
{
    if (world.wideFunctions == sim::WideStubs) {
        world.lastError = 120;  // ERROR_CALL_NOT_IMPLEMENTED
        return false;
    }
    return true;
}

DWORD WINAPI SimGetTempPathW(DWORD size, LPWSTR buffer)
{
    LOG_CALL("GetTempPathW", Num(size), Ptr(buffer));
    return WideFunctionsWork() ? CopyOut(sim::TextToWide(world.tempPath), buffer, size) : 0;
}

DWORD WINAPI SimGetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    LOG_CALL("GetModuleFileNameW", Handle(module), Ptr(buffer), Num(size));
    if (!WideFunctionsWork() || size == 0) {
        return 0;
    }
    std::u16string path = sim::TextToWide(world.modulePath);
    if (path.size() < size) {
        return CopyOut(path, buffer, size);
    }
    std::copy(path.begin(), path.begin() + size - 1, buffer);
    buffer[size - 1] = 0;
    return size;
}

const HMODULE Kernel32Module = (HMODULE)(uintptr_t)0x7001;

const HMODULE Advapi32Module = (HMODULE)(uintptr_t)0x7002;

}  // namespace sim::detail

using namespace sim::detail;

namespace sim {

void SetCommandLine(const std::string& text)
{
    world.commandLine = text;
}

void SetModulePath(const std::string& path)
{
    world.modulePath = TextFromTest(path);
}

void SetTempPath(const std::string& path)
{
    world.tempPath = TextFromTest(path);
}

std::string TempPathText()
{
    return world.tempPath;
}

void SetWideFunctions(WideFunctions functions)
{
    world.wideFunctions = functions;
}

void AddWindow(const std::string& windowClass)
{
    world.windows.push_back(Window{windowClass, (DWORD)(100 + world.windows.size()), 0, true, -1});
}

void SetWindowProcess(long long closesAfterMs, bool openable)
{
    world.windows.back().closesAfterMs = closesAfterMs;
    world.windows.back().openable = openable;
}

bool WindowProcessEnded(int index)
{
    const Window& window = world.windows[index];
    return window.endsAtMs >= 0 && window.endsAtMs <= world.clockMs;
}

void QueueAnswer(int answer)
{
    world.answers.push_back(answer);
}

const std::vector<MessageBoxShown>& BoxesShown()
{
    return world.boxes;
}

const std::vector<PostedMessage>& MessagesPosted()
{
    return world.posted;
}

const std::vector<ProgramStarted>& ProgramsStarted()
{
    return world.started;
}

const std::vector<ShellNotice>& ShellNotices()
{
    return world.notices;
}

}  // namespace sim

LPSTR GetCommandLineA(void)
{
    LOG_CALL("GetCommandLineA");
    return &world.commandLine[0];
}

DWORD GetModuleFileNameA(HINSTANCE module, LPSTR fileName, DWORD size)
{
    LOG_CALL("GetModuleFileNameA", Handle(module), Ptr(fileName), Num(size));
    const std::string path = sim::TextToAnsi(world.modulePath);
    if (size == 0) {
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return (DWORD)path.size();
    }
    // Cut to fit and terminated, reporting the whole size, as later Windows versions do.
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = 0;
    world.lastError = 122;
    return size;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer)
{
    LOG_CALL("GetTempPathA", Num(size), Ptr(buffer));
    const std::string path = sim::TextToAnsi(world.tempPath);
    if (path.size() + 1 > size) {
        return (DWORD)path.size() + 1;  // the size it needs; nothing written
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    LOG_CALL("GetModuleHandleA", Text(moduleName));
    std::string name = Lower(moduleName ? moduleName : "");
    return name == "kernel32.dll" ? Kernel32Module : name == "advapi32.dll" ? Advapi32Module : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    LOG_CALL("GetProcAddress", Handle(module), Text(name));
    std::string wanted = name ? name : "";
    if (world.wideFunctions == sim::WideMissing) {
        return nullptr;
    }
    if (module == Kernel32Module && wanted == "GetTempPathW") {
        return (FARPROC)(void (*)(void))SimGetTempPathW;
    }
    if (module == Kernel32Module && wanted == "GetModuleFileNameW") {
        return (FARPROC)(void (*)(void))SimGetModuleFileNameW;
    }
    if (module == Kernel32Module && wanted == "GetShortPathNameW") {
        return (FARPROC)(void (*)(void))SimGetShortPathNameW;
    }
    if (module == Advapi32Module && wanted == "RegQueryValueExW") {
        return (FARPROC)(void (*)(void))SimRegQueryValueExW;
    }
    return nullptr;
}

void Sleep(DWORD milliseconds)
{
    LOG_CALL("Sleep", Num(milliseconds));
    world.pauses.push_back(milliseconds);
    world.clockMs += milliseconds;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    LOG_CALL("MessageBoxA", Handle(owner), Text(text), Text(caption), Num(style));
    world.boxes.push_back(sim::MessageBoxShown{text ? text : "", caption ? caption : "", style});
    if (world.nextAnswer == world.answers.size()) {
        return IDOK;
    }
    int answer = world.answers[world.nextAnswer++];
    return answer;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    LOG_CALL("FindWindowA", Text(className), Text(windowName));
    for (size_t i = 0; i < world.windows.size(); ++i) {
        if (Lower(world.windows[i].windowClass) == Lower(className)) {
            return (HWND)(uintptr_t)(i + 1);
        }
    }
    return nullptr;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LOG_CALL("PostMessageA", Handle(window), Num(message), Num(wParam), Num(lParam));
    size_t index = (uintptr_t)window - 1;
    if (!window || index >= world.windows.size()) {
        return Fail(1400);
    }
    const std::string& windowClass = world.windows[index].windowClass;
    int sameClassBefore = 0;
    for (size_t i = 0; i < index; ++i) {
        sameClassBefore += Lower(world.windows[i].windowClass) == Lower(windowClass);
    }
    world.posted.push_back(sim::PostedMessage{windowClass, sameClassBefore, message, wParam, lParam});
    world.events.push_back("posted " + std::to_string(message) + " to " + windowClass);
    Window& target = world.windows[index];
    if (message == WM_CLOSE && target.endsAtMs < 0 && target.closesAfterMs >= 0) {
        target.endsAtMs = world.clockMs + target.closesAfterMs;
    }
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId)
{
    LOG_CALL("GetWindowThreadProcessId", Handle(window), Ptr(processId));
    size_t index = (uintptr_t)window - 1;
    if (!window || index >= world.windows.size()) {
        return Fail(1400);  // ERROR_INVALID_WINDOW_HANDLE
    }
    if (processId) {
        *processId = world.windows[index].processId;
    }
    return world.windows[index].processId + 1;
}

HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId)
{
    LOG_CALL("OpenProcess", Num(access), Num(inheritHandle), Num(processId));
    for (size_t i = 0; i < world.windows.size(); ++i) {
        const Window& window = world.windows[i];
        if (window.processId != processId || sim::WindowProcessEnded((int)i)) {
            continue;
        }
        if (!window.openable) {
            Fail(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        uintptr_t handle = world.nextHandle++;
        world.processHandles[handle] = i;
        return (HANDLE)handle;
    }
    Fail(87);  // ERROR_INVALID_PARAMETER: no such process
    return nullptr;
}

// Time passes while the program waits: until the process ends, or for the whole timeout.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    LOG_CALL("WaitForSingleObject", Handle(object), Num(milliseconds));
    auto open = world.processHandles.find((uintptr_t)object);
    if (open == world.processHandles.end()) {
        Fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    long long endsAt = world.windows[open->second].endsAtMs;
    world.events.push_back("waited up to " + std::to_string(milliseconds) + " ms");
    if (endsAt >= 0 && endsAt <= world.clockMs + (long long)milliseconds) {
        world.clockMs = std::max(world.clockMs, endsAt);
        return WAIT_OBJECT_0;
    }
    world.clockMs += milliseconds;
    return WAIT_TIMEOUT;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    LOG_CALL("wsprintfA", Ptr(buffer), Text(format), "-> " + Text(buffer));
    return written;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand)
{
    LOG_CALL("ShellExecuteA", Handle(owner), Text(verb), Text(file), Text(parameters), Text(directory),
                Num(showCommand));
    world.events.push_back("started " + sim::TextFromAnsi(file ? file : ""));
    world.started.push_back(sim::ProgramStarted{verb ? verb : "", sim::TextFromAnsi(file ? file : ""),
                                                parameters ? parameters : "",
                                                sim::TextFromAnsi(directory ? directory : ""),
                                                showCommand});
    return (HINSTANCE)world.shellExecuteResult;
}

void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2)
{
    LOG_CALL("SHChangeNotify", Num(eventId), Num(flags), flags == SHCNF_PATH ? Text((const char*)item1) : Ptr(item1),
                Ptr(item2));
    world.notices.push_back(
        sim::ShellNotice{eventId, flags, sim::TextFromAnsi(item1 ? (const char*)item1 : "")});
}
