#include "emulator/pe_runner.h"

#include <unicorn/unicorn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <forward_list>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "platform/platform_services.h"
#include "sim/simulated_windows.h"

namespace emu {

namespace {

// The emulated address space: the program at its preferred base, a stack below it, and above it
// a page of traps (one small stub an import) and a page of texts that the system hands out.
const uint32_t StackBase = 0x00100000;
const uint32_t StackSize = 0x00040000;
const uint32_t TrapBase = 0x7F000000;
const uint32_t TrapSize = 0x1000;
const uint32_t TrapStride = 8;
const uint32_t DataBase = 0x7F010000;
const uint32_t DataSize = 0x10000;
const uint32_t ExitSentinel = 0x7F0F0000;  // the entry point's return address: never reached
// Counted in blocks of instructions (each ends at a jump, call or return): a hook on every
// block is installed once, where a count of instructions would make the emulator translate the
// program afresh on every run.
const uint64_t BlockLimit = 10000000;
const size_t TextLimit = 0x10000;

struct Section {
    uint32_t address;
    uint32_t size;
    uint32_t fileOffset;
    uint32_t fileSize;
};

struct Import {
    std::string dll;
    std::string name;
    uint32_t slot;  // address of its entry in the import address table
};

struct Image {
    std::vector<uint8_t> file;
    uint32_t base = 0;
    uint32_t entry = 0;
    uint32_t size = 0;
    uint32_t headerSize = 0;
    std::vector<Section> sections;
    std::vector<Import> imports;
    std::string refusal;
};

uint32_t Read32(const std::vector<uint8_t>& file, size_t at)
{
    if (at + 4 > file.size()) {
        return 0;
    }
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | (uint32_t)file[at + 3] << 24;
}

uint16_t Read16(const std::vector<uint8_t>& file, size_t at)
{
    return at + 2 > file.size() ? 0 : (uint16_t)(file[at] | file[at + 1] << 8);
}

// The file offset of a relative address, or 0 when no section holds it.
size_t FileOffset(const Image& image, uint32_t rva)
{
    if (rva < image.headerSize) {
        return rva;
    }
    for (const Section& section : image.sections) {
        uint32_t start = section.address - image.base;
        if (rva >= start && rva < start + section.fileSize) {
            return section.fileOffset + (rva - start);
        }
    }
    return 0;
}

std::string FileText(const Image& image, uint32_t rva)
{
    size_t at = FileOffset(image, rva);
    std::string text;
    while (at && at < image.file.size() && image.file[at] && text.size() < 256) {
        text += (char)image.file[at++];
    }
    return text;
}

void ReadImports(Image& image, uint32_t directory)
{
    for (uint32_t descriptor = directory;; descriptor += 20) {
        size_t at = FileOffset(image, descriptor);
        uint32_t lookup = Read32(image.file, at);
        uint32_t name = Read32(image.file, at + 12);
        uint32_t thunks = Read32(image.file, at + 16);
        if (!at || (name == 0 && thunks == 0)) {
            return;
        }
        std::string dll = FileText(image, name);
        for (uint32_t i = 0;; ++i) {
            uint32_t entry = Read32(image.file, FileOffset(image, (lookup ? lookup : thunks) + 4 * i));
            if (entry == 0) {
                break;
            }
            std::string function = entry & 0x80000000u ? "#" + std::to_string(entry & 0xFFFF)
                                                        : FileText(image, entry + 2);
            image.imports.push_back(Import{dll, function, image.base + thunks + 4 * i});
        }
    }
}

Image LoadImage(const std::string& path)
{
    Image image;
    std::ifstream in(path, std::ios::binary);
    image.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    uint32_t pe = Read32(image.file, 0x3C);
    if (image.file.size() < 0x40 || image.file[0] != 'M' || image.file[1] != 'Z' ||
        Read32(image.file, pe) != 0x4550) {
        image.refusal = path + " is not a PE file";
        return image;
    }
    uint16_t machine = Read16(image.file, pe + 4);
    uint16_t sectionCount = Read16(image.file, pe + 6);
    uint16_t optionalSize = Read16(image.file, pe + 20);
    size_t optional = pe + 24;
    if (machine != 0x14C || Read16(image.file, optional) != 0x10B) {
        image.refusal = path + " is not a 32-bit i386 program";
        return image;
    }
    image.entry = Read32(image.file, optional + 16);
    image.base = Read32(image.file, optional + 28);
    image.size = (Read32(image.file, optional + 56) + 0xFFF) & ~0xFFFu;
    image.headerSize = Read32(image.file, optional + 60);
    if (image.base < StackBase + StackSize || image.base % 0x10000 ||
        (uint64_t)image.base + image.size > TrapBase) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "%s would need relocating: its preferred base 0x%x is not free here",
                      path.c_str(), image.base);
        image.refusal = text;
        return image;
    }
    size_t table = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        size_t at = table + 40 * i;
        image.sections.push_back(Section{image.base + Read32(image.file, at + 12),
                                         Read32(image.file, at + 8), Read32(image.file, at + 20),
                                         Read32(image.file, at + 16)});
    }
    ReadImports(image, Read32(image.file, optional + 96 + 8));
    return image;
}

// ---------------------------------------------------------------- a call in progress

struct Run;

// Emulated memory as the runner reads and writes it (see HostMemory).
bool ReadGuest(Run& run, uint32_t address, void* out, size_t size);
bool WriteGuest(Run& run, uint32_t address, const void* data, size_t size);

// One call from the program: its arguments read from the emulated stack, and the host copies of
// its buffers, written back once the simulation has served it.
struct Call {
    Run& run;
    uc_engine* uc;
    uint32_t stack;  // the stack pointer at the trap: the return address is there
    // Lists, so that what a call was handed stays where it is while more is added.
    std::forward_list<std::string> texts;
    std::forward_list<std::u16string> wideTexts;
    std::forward_list<std::vector<char>> buffers;
    std::forward_list<std::pair<uint32_t, std::vector<char>*>> writeBack;
    std::forward_list<DWORD> numbers;
    std::forward_list<std::pair<uint32_t, DWORD*>> numberBack;
    std::string failure;

    uint32_t Arg(int i)
    {
        uint32_t value = 0;
        ReadGuest(run, stack + 4 + 4 * i, &value, 4);
        return value;
    }

    std::vector<char> ReadMemory(uint32_t address, size_t size)
    {
        std::vector<char> bytes(size);
        if (size && !ReadGuest(run, address, bytes.data(), size)) {
            failure = "unreadable argument memory at " + std::to_string(address);
        }
        return bytes;
    }

    // The terminated text, narrow or wide, that argument i points at; nullptr for none.
    template <typename Char>
    const Char* ReadText(int i, std::forward_list<std::basic_string<Char>>& store)
    {
        uint32_t address = Arg(i);
        if (!address) {
            return nullptr;
        }
        std::basic_string<Char> text;
        Char c = 0;
        while (text.size() < TextLimit &&
               ReadGuest(run, address + (uint32_t)(sizeof(Char) * text.size()), &c, sizeof(Char)) && c) {
            text += c;
        }
        store.push_front(text);
        return store.front().c_str();
    }

    const char* Text(int i) { return ReadText(i, texts); }
    const char16_t* Wide(int i) { return ReadText(i, wideTexts); }

    // A buffer of size bytes that the call may fill: it starts as the emulated bytes are.
    char* Buffer(int i, size_t size)
    {
        uint32_t address = Arg(i);
        if (!address) {
            return nullptr;
        }
        buffers.push_front(ReadMemory(address, size));
        writeBack.push_front({address, &buffers.front()});
        return buffers.front().data();
    }

    const char* Bytes(int i, size_t size)
    {
        uint32_t address = Arg(i);
        if (!address) {
            return nullptr;
        }
        buffers.push_front(ReadMemory(address, size));
        return buffers.front().data();
    }

    DWORD* Number(int i)
    {
        uint32_t address = Arg(i);
        if (!address) {
            return nullptr;
        }
        DWORD value = 0;
        ReadGuest(run, address, &value, 4);
        numbers.push_front(value);
        numberBack.push_front({address, &numbers.front()});
        return &numbers.front();
    }

    // Handles are signed 32-bit values (INVALID_HANDLE_VALUE is -1); keys and windows are not.
    HANDLE Handle(int i) { return (HANDLE)(intptr_t)(int32_t)Arg(i); }
    HKEY Key(int i) { return (HKEY)(uintptr_t)Arg(i); }
    HWND Window(int i) { return (HWND)(uintptr_t)Arg(i); }
    void* Pointer(int i) { return (void*)(uintptr_t)Arg(i); }

    void WriteBack()
    {
        for (auto& buffer : writeBack) {
            WriteGuest(run, buffer.first, buffer.second->data(), buffer.second->size());
        }
        for (auto& number : numberBack) {
            WriteGuest(run, number.first, number.second, 4);
        }
    }
};

uint32_t HandleValue(HANDLE handle)
{
    return (uint32_t)(uintptr_t)handle;
}

// ---------------------------------------------------------------- the run

typedef uint32_t (*Serve)(Call& call);

struct Service {
    const char* name;
    int arguments;  // 32-bit words the function takes; the stub pops them (stdcall)
    Serve serve;
};

struct Run {
    uc_engine* uc = nullptr;
    const Image* image = nullptr;
    std::vector<const Service*> services;     // by trap number; nullptr: not served
    std::vector<std::string> trapNames;       // "DLL!Function"
    std::map<std::string, uint32_t> lateTraps;  // functions found at run time, by name
    std::map<uint32_t, FARPROC> lateFunctions;  // their host functions, by trap number
    uint32_t nextData = DataBase;
    RunResult result;
    uint64_t blocks = 0;
    char* stackMemory = nullptr;  // host memory behind the stack and the data page
    char* dataMemory = nullptr;
};

// The stack and the data page are host memory that the emulator reaches as device memory,
// through the two functions below: a write to ordinary emulated memory makes this emulator look
// for translated code to discard, several allocations a write. The runner reads and writes them
// directly.
uint64_t ReadDevice(uc_engine*, uint64_t offset, unsigned size, void* memory)
{
    uint64_t value = 0;
    std::memcpy(&value, (char*)memory + offset, size);
    return value;
}

void WriteDevice(uc_engine*, uint64_t offset, unsigned size, uint64_t value, void* memory)
{
    std::memcpy((char*)memory + offset, &value, size);
}

char* HostMemory(Run& run, uint32_t address, size_t size)
{
    if (address >= StackBase && (uint64_t)address + size <= StackBase + StackSize) {
        return run.stackMemory + (address - StackBase);
    }
    if (address >= DataBase && (uint64_t)address + size <= DataBase + DataSize) {
        return run.dataMemory + (address - DataBase);
    }
    return nullptr;
}

bool ReadGuest(Run& run, uint32_t address, void* out, size_t size)
{
    if (char* host = HostMemory(run, address, size)) {
        std::memcpy(out, host, size);
        return true;
    }
    return uc_mem_read(run.uc, address, out, size) == UC_ERR_OK;
}

bool WriteGuest(Run& run, uint32_t address, const void* data, size_t size)
{
    if (char* host = HostMemory(run, address, size)) {
        std::memcpy(host, data, size);
        return true;
    }
    return uc_mem_write(run.uc, address, data, size) == UC_ERR_OK;
}

uint32_t ServeGetCommandLineA(Call& call);
uint32_t ServeGetProcAddress(Call& call);
uint32_t ServeExitProcess(Call& call);
uint32_t ServeWsprintfA(Call& call);

template <typename Function>
Function Late(Call& call);

const Service Services[] = {
    {"CloseHandle", 1, [](Call& c) { return (uint32_t)CloseHandle(c.Handle(0)); }},
    {"CopyFileA", 3, [](Call& c) { return (uint32_t)CopyFileA(c.Text(0), c.Text(1), c.Arg(2)); }},
    {"CreateDirectoryA", 2, [](Call& c) {
         return (uint32_t)CreateDirectoryA(c.Text(0), (LPSECURITY_ATTRIBUTES)c.Pointer(1)); }},
    {"CreateFileA", 7, [](Call& c) {
         return HandleValue(CreateFileA(c.Text(0), c.Arg(1), c.Arg(2), (LPSECURITY_ATTRIBUTES)c.Pointer(3),
                                        c.Arg(4), c.Arg(5), c.Handle(6))); }},
    {"DeleteFileA", 1, [](Call& c) { return (uint32_t)DeleteFileA(c.Text(0)); }},
    {"ExitProcess", 1, ServeExitProcess},
    {"FindClose", 1, [](Call& c) { return (uint32_t)FindClose(c.Handle(0)); }},
    {"FindFirstFileA", 2, [](Call& c) {
         const char* pattern = c.Text(0);
         WIN32_FIND_DATAA found = {};
         HANDLE search = FindFirstFileA(pattern, &found);
         char* out = search != INVALID_HANDLE_VALUE ? c.Buffer(1, 320) : nullptr;
         if (out) {
             std::memcpy(out, &found, 44);  // attributes, three times, sizes, reserved words
             std::memcpy(out + 44, found.cFileName, MAX_PATH + 14);
         }
         return HandleValue(search); }},
    {"FindNextFileA", 2, [](Call& c) {
         WIN32_FIND_DATAA found = {};
         BOOL more = FindNextFileA(c.Handle(0), &found);
         char* out = more ? c.Buffer(1, 320) : nullptr;
         if (out) {
             std::memcpy(out, &found, 44);
             std::memcpy(out + 44, found.cFileName, MAX_PATH + 14);
         }
         return (uint32_t)more; }},
    {"GetCommandLineA", 0, ServeGetCommandLineA},
    {"GetFileAttributesA", 1, [](Call& c) { return (uint32_t)GetFileAttributesA(c.Text(0)); }},
    {"GetLastError", 0, [](Call&) { return (uint32_t)GetLastError(); }},
    {"GetModuleFileNameA", 3, [](Call& c) {
         return (uint32_t)GetModuleFileNameA((HINSTANCE)c.Pointer(0), c.Buffer(1, c.Arg(2)), c.Arg(2)); }},
    {"GetModuleHandleA", 1, [](Call& c) { return HandleValue(GetModuleHandleA(c.Text(0))); }},
    {"GetProcAddress", 2, ServeGetProcAddress},
    {"GetShortPathNameA", 3, [](Call& c) {
         return (uint32_t)GetShortPathNameA(c.Text(0), c.Buffer(1, c.Arg(2)), c.Arg(2)); }},
    {"GetTempPathA", 2, [](Call& c) { return (uint32_t)GetTempPathA(c.Arg(0), c.Buffer(1, c.Arg(0))); }},
    {"IsBadReadPtr", 2, [](Call& c) { return (uint32_t)IsBadReadPtr(c.Pointer(0), c.Arg(1)); }},
    {"IsBadWritePtr", 2, [](Call& c) { return (uint32_t)IsBadWritePtr(c.Pointer(0), c.Arg(1)); }},
    {"MultiByteToWideChar", 6, [](Call& c) {
         return (uint32_t)MultiByteToWideChar(c.Arg(0), c.Arg(1), c.Text(2), (int)c.Arg(3),
                                              (LPWSTR)c.Buffer(4, 2 * c.Arg(5)), (int)c.Arg(5)); }},
    {"OpenProcess", 3, [](Call& c) { return HandleValue(OpenProcess(c.Arg(0), c.Arg(1), c.Arg(2))); }},
    {"RemoveDirectoryA", 1, [](Call& c) { return (uint32_t)RemoveDirectoryA(c.Text(0)); }},
    {"SetFileAttributesA", 2, [](Call& c) { return (uint32_t)SetFileAttributesA(c.Text(0), c.Arg(1)); }},
    {"Sleep", 1, [](Call& c) { Sleep(c.Arg(0)); return 0u; }},
    {"WaitForSingleObject", 2, [](Call& c) { return (uint32_t)WaitForSingleObject(c.Handle(0), c.Arg(1)); }},
    {"WideCharToMultiByte", 8, [](Call& c) {
         return (uint32_t)WideCharToMultiByte(c.Arg(0), c.Arg(1), (LPCWSTR)c.Wide(2), (int)c.Arg(3),
                                              c.Buffer(4, c.Arg(5)), (int)c.Arg(5), c.Text(6),
                                              (BOOL*)c.Number(7)); }},
    {"WriteFile", 5, [](Call& c) {
         return (uint32_t)WriteFile(c.Handle(0), c.Bytes(1, c.Arg(2)), c.Arg(2), c.Number(3),
                                    (LPOVERLAPPED)c.Pointer(4)); }},
    {"lstrlenA", 1, [](Call& c) { return (uint32_t)lstrlenA(c.Text(0)); }},
    {"RegCloseKey", 1, [](Call& c) { return (uint32_t)RegCloseKey(c.Key(0)); }},
    {"RegCreateKeyExA", 9, [](Call& c) {
         HKEY key = nullptr;
         LSTATUS status = RegCreateKeyExA(c.Key(0), c.Text(1), c.Arg(2), (LPSTR)c.Text(3), c.Arg(4),
                                          c.Arg(5), (LPSECURITY_ATTRIBUTES)c.Pointer(6),
                                          c.Arg(7) ? &key : nullptr, c.Number(8));
         if (DWORD* out = c.Number(7)) {
             *out = HandleValue(key);
         }
         return (uint32_t)status; }},
    {"RegDeleteKeyA", 2, [](Call& c) { return (uint32_t)RegDeleteKeyA(c.Key(0), c.Text(1)); }},
    {"RegEnumKeyExA", 8, [](Call& c) {
         DWORD* size = c.Number(3);
         return (uint32_t)RegEnumKeyExA(c.Key(0), c.Arg(1), c.Buffer(2, size ? *size : 0), size,
                                        c.Number(4), c.Buffer(5, 0), c.Number(6),
                                        (PFILETIME)c.Buffer(7, 8)); }},
    {"RegOpenKeyExA", 5, [](Call& c) {
         HKEY key = nullptr;
         LSTATUS status = RegOpenKeyExA(c.Key(0), c.Text(1), c.Arg(2), c.Arg(3), c.Arg(4) ? &key : nullptr);
         if (DWORD* out = c.Number(4)) {
             *out = HandleValue(key);
         }
         return (uint32_t)status; }},
    {"RegQueryInfoKeyA", 12, [](Call& c) {
         return (uint32_t)RegQueryInfoKeyA(c.Key(0), c.Buffer(1, 0), c.Number(2), c.Number(3),
                                           c.Number(4), c.Number(5), c.Number(6), c.Number(7),
                                           c.Number(8), c.Number(9), c.Number(10),
                                           (PFILETIME)c.Buffer(11, 8)); }},
    {"RegQueryValueExA", 6, [](Call& c) {
         DWORD* size = c.Number(5);
         return (uint32_t)RegQueryValueExA(c.Key(0), c.Text(1), c.Number(2), c.Number(3),
                                           (LPBYTE)c.Buffer(4, size ? *size : 0), size); }},
    {"CharToOemBuffA", 3, [](Call& c) {
         return (uint32_t)CharToOemBuffA(c.Bytes(0, c.Arg(2)), c.Buffer(1, c.Arg(2)), c.Arg(2)); }},
    {"FindWindowA", 2, [](Call& c) { return HandleValue(FindWindowA(c.Text(0), c.Text(1))); }},
    {"GetWindowThreadProcessId", 2, [](Call& c) {
         return (uint32_t)GetWindowThreadProcessId(c.Window(0), c.Number(1)); }},
    {"MessageBoxA", 4, [](Call& c) {
         return (uint32_t)MessageBoxA(c.Window(0), c.Text(1), c.Text(2), c.Arg(3)); }},
    {"OemToCharBuffA", 3, [](Call& c) {
         return (uint32_t)OemToCharBuffA(c.Bytes(0, c.Arg(2)), c.Buffer(1, c.Arg(2)), c.Arg(2)); }},
    {"PostMessageA", 4, [](Call& c) {
         return (uint32_t)PostMessageA(c.Window(0), c.Arg(1), c.Arg(2), (LPARAM)(int32_t)c.Arg(3)); }},
    {"wsprintfA", -1, ServeWsprintfA},
    {"SHChangeNotify", 4, [](Call& c) {
         const void* item = c.Arg(1) == SHCNF_PATH ? (const void*)c.Text(2) : c.Pointer(2);
         SHChangeNotify((LONG)c.Arg(0), c.Arg(1), item, c.Pointer(3));
         return 0u; }},
    {"ShellExecuteA", 6, [](Call& c) {
         return HandleValue(ShellExecuteA(c.Window(0), c.Text(1), c.Text(2), c.Text(3), c.Text(4),
                                          (int)c.Arg(5))); }},
    // Found at run time with GetProcAddress, where the simulation has them.
    {"GetTempPathW", 2, [](Call& c) {
         auto function = Late<DWORD(WINAPI*)(DWORD, LPWSTR)>(c);
         return (uint32_t)function(c.Arg(0), (LPWSTR)c.Buffer(1, 2 * c.Arg(0))); }},
    {"GetModuleFileNameW", 3, [](Call& c) {
         auto function = Late<DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD)>(c);
         return (uint32_t)function((HMODULE)c.Pointer(0), (LPWSTR)c.Buffer(1, 2 * c.Arg(2)), c.Arg(2)); }},
    {"GetShortPathNameW", 3, [](Call& c) {
         auto function = Late<DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD)>(c);
         return (uint32_t)function((LPCWSTR)c.Wide(0), (LPWSTR)c.Buffer(1, 2 * c.Arg(2)), c.Arg(2)); }},
    {"RegQueryValueExW", 6, [](Call& c) {
         auto function = Late<LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>(c);
         DWORD* size = c.Number(5);
         return (uint32_t)function(c.Key(0), (LPCWSTR)c.Wide(1), c.Number(2), c.Number(3),
                                   (LPBYTE)c.Buffer(4, size ? *size : 0), size); }},
};

const Service* FindService(const std::string& name)
{
    for (const Service& service : Services) {
        if (name == service.name) {
            return &service;
        }
    }
    return nullptr;
}

uint32_t CurrentTrap(Call& call);

template <typename Function>
Function Late(Call& call)
{
    return (Function)(void (*)(void))call.run.lateFunctions.at(CurrentTrap(call));
}

uint32_t ServeExitProcess(Call& call)
{
    call.run.result.exited = true;
    call.run.result.exitCode = call.Arg(0);
    uc_emu_stop(call.uc);
    return 0;
}

uint32_t ServeGetCommandLineA(Call& call)
{
    const char* text = GetCommandLineA();
    size_t size = std::strlen(text) + 1;
    uint32_t address = call.run.nextData;
    if (address + size > DataBase + DataSize) {
        call.failure = "no room for the command line";
        return 0;
    }
    WriteGuest(call.run, address, text, size);
    call.run.nextData += (uint32_t)((size + 3) & ~3u);
    return address;
}

// Serves the wide functions where the simulation has them: each gets a trap of its own.
uint32_t AddTrap(Run& run, const std::string& name, const Service* service);

uint32_t ServeGetProcAddress(Call& call)
{
    const char* name = call.Text(1);
    FARPROC function = GetProcAddress((HMODULE)call.Pointer(0), name);
    if (!function) {
        return 0;
    }
    auto known = call.run.lateTraps.find(name);
    uint32_t trap = known != call.run.lateTraps.end() ? known->second
                                                      : AddTrap(call.run, name, FindService(name));
    call.run.lateTraps[name] = trap;
    call.run.lateFunctions[(trap - TrapBase) / TrapStride] = function;
    return trap;
}

// cdecl: the caller pops. The program formats numbers only, with one conversion at most.
uint32_t ServeWsprintfA(Call& call)
{
    const char* format = call.Text(1);
    int conversions = 0;
    for (const char* at = format; at && *at; ++at) {
        if (*at == '%' && at[1] == '%') {
            ++at;
        } else if (*at == '%') {
            ++conversions;
            if (!std::strchr("%diux", at[std::strspn(at + 1, "0123456789-") + 1])) {
                call.failure = std::string("wsprintfA: format \"") + format + "\" is not served";
                return 0;
            }
        }
    }
    if (!format || conversions > 1) {
        call.failure = "wsprintfA: format not served";
        return 0;
    }
    char* buffer = call.Buffer(0, 1025);
    return (uint32_t)(conversions ? wsprintfA(buffer, format, (int)call.Arg(2)) : wsprintfA(buffer, format));
}

uint32_t AddTrap(Run& run, const std::string& name, const Service* service)
{
    uint32_t index = (uint32_t)run.services.size();
    // The call is served by a hook on this address, before "ret n" pops the arguments
    // (stdcall), or "ret" leaves them to the caller (cdecl, or not served).
    uint8_t stub[TrapStride] = {0xC3, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90};
    if (service && service->arguments > 0) {
        stub[0] = 0xC2;
        stub[1] = (uint8_t)(4 * service->arguments);
        stub[2] = 0;
    }
    uint32_t address = TrapBase + index * TrapStride;
    uc_mem_write(run.uc, address, stub, sizeof stub);
    run.services.push_back(service);
    run.trapNames.push_back(name);
    return address;
}

uint32_t ReadRegister(uc_engine* uc, int id)
{
    uint32_t value = 0;
    uc_reg_read(uc, id, &value);
    return value;
}

uint32_t CurrentTrap(Call& call)
{
    return (ReadRegister(call.uc, UC_X86_REG_EIP) - TrapBase) / TrapStride;
}

void Stop(Run& run, const std::string& failure)
{
    if (run.result.failure.empty()) {
        run.result.failure = failure;
    }
    uc_emu_stop(run.uc);
}

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

// A stdcall function pops its own arguments: a caller that pops them again right after the
// call declared it as cdecl, and its stack is out of balance from here on.
bool CallerPopsAgain(Run& run, uint32_t returnAddress, const Service& service)
{
    uint8_t code[3] = {0};
    uc_mem_read(run.uc, returnAddress, code, 3);
    return service.arguments > 0 && code[0] == 0x83 && code[1] == 0xC4 &&
           code[2] == 4 * service.arguments;
}

void OnTrap(uc_engine* uc, uint64_t address, uint32_t, void* data)
{
    Run& run = *(Run*)data;
    uint32_t trap = (uint32_t)(address - TrapBase) / TrapStride;
    if (address % TrapStride || trap >= run.services.size()) {
        Stop(run, "emulator fault: a jump into the traps at " + Hex((uint32_t)address));
        return;
    }
    const std::string& name = run.trapNames[trap];
    const Service* service = run.services[trap];
    if (!service) {
        Stop(run, "import not served: " + name);
        return;
    }
    Call call{run, uc, ReadRegister(uc, UC_X86_REG_ESP), {}, {}, {}, {}, {}, {}, {}};
    uint32_t returnAddress = call.Arg(-1);
    if (call.stack % 4 || call.stack < StackBase + 64 || call.stack > StackBase + StackSize) {
        Stop(run, "stack out of balance at the call of " + name + ": " + Hex(call.stack));
        return;
    }
    if (returnAddress != ExitSentinel &&
        (returnAddress < run.image->base || returnAddress >= run.image->base + run.image->size)) {
        Stop(run, name + " called from outside the program: " + Hex(returnAddress));
        return;
    }
    uint32_t value = service->serve(call);
    if (!call.failure.empty()) {
        Stop(run, name + ": " + call.failure);
        return;
    }
    call.WriteBack();
    uc_reg_write(uc, UC_X86_REG_EAX, &value);
    run.result.calls++;
    if (!run.result.exited && CallerPopsAgain(run, returnAddress, *service)) {
        Stop(run, "stack out of balance after " + name + " (called at " + Hex(returnAddress) +
                      "): the caller pops the arguments the function already popped");
    }
}

void OnBlock(uc_engine*, uint64_t address, uint32_t, void* data)
{
    Run& run = *(Run*)data;
    if (++run.blocks > BlockLimit) {
        Stop(run, "ran past the limit of " + std::to_string(BlockLimit) + " blocks of instructions, at " +
                      Hex((uint32_t)address));
    }
}

bool OnUnmapped(uc_engine* uc, uc_mem_type type, uint64_t address, int, int64_t, void* data)
{
    Run& run = *(Run*)data;
    const char* kind = type == UC_MEM_FETCH_UNMAPPED ? "fetch" : type == UC_MEM_WRITE_UNMAPPED ? "write" : "read";
    Stop(run, std::string("emulator fault: ") + kind + " of unmapped " + Hex((uint32_t)address) +
                  " at " + Hex(ReadRegister(uc, UC_X86_REG_EIP)));
    return false;
}

const Image& CachedImage(const std::string& path)
{
    static std::map<std::string, Image>* images = new std::map<std::string, Image>();
    auto found = images->find(path);
    if (found == images->end()) {
        found = images->emplace(path, LoadImage(path)).first;
    }
    return found->second;
}

bool MapImage(Run& run)
{
    const Image& image = *run.image;
    if (uc_mem_map(run.uc, image.base, image.size, UC_PROT_ALL) != UC_ERR_OK ||
        uc_mmio_map(run.uc, StackBase, StackSize, ReadDevice, run.stackMemory, WriteDevice,
                    run.stackMemory) != UC_ERR_OK ||
        uc_mem_map(run.uc, TrapBase, TrapSize, UC_PROT_READ | UC_PROT_EXEC) != UC_ERR_OK ||
        uc_mmio_map(run.uc, DataBase, DataSize, ReadDevice, run.dataMemory, WriteDevice,
                    run.dataMemory) != UC_ERR_OK) {
        run.result.failure = "the emulator could not map the program";
        return false;
    }
    uc_mem_write(run.uc, image.base, image.file.data(), std::min<size_t>(image.headerSize, image.file.size()));
    for (const Section& section : image.sections) {
        size_t size = std::min(section.size ? section.size : section.fileSize, section.fileSize);
        if (section.fileOffset + size <= image.file.size() && size > 0) {
            uc_mem_write(run.uc, section.address, image.file.data() + section.fileOffset, size);
        }
    }
    for (const Import& import : image.imports) {
        uint32_t trap = AddTrap(run, import.dll + "!" + import.name, FindService(import.name));
        uc_mem_write(run.uc, import.slot, &trap, 4);
    }
    return true;
}

// One emulator a program file, set up once: its image mapped, its imports pointed at traps and
// the translated code kept. Each run restores the image where a run changed it, clears the
// stack and starts from the saved registers.
struct Engine {
    Run run;
    std::vector<char> image;  // the mapped image as set up
    std::vector<char> imageNow;
    uc_context* registers = nullptr;
};

Engine* SetUpEngine(const std::string& exePath, RunResult& refusal)
{
    const Image& image = CachedImage(exePath);
    if (!image.refusal.empty()) {
        refusal.failure = image.refusal;
        return nullptr;
    }
    Engine* engine = new Engine();
    Run& run = engine->run;
    run.image = &image;
    run.stackMemory = (char*)std::aligned_alloc(0x1000, StackSize);
    run.dataMemory = (char*)std::aligned_alloc(0x1000, DataSize);
    if (uc_open(UC_ARCH_X86, UC_MODE_32, &run.uc) != UC_ERR_OK || !MapImage(run)) {
        refusal.failure = run.result.failure.empty() ? "the emulator could not start" : run.result.failure;
        delete engine;
        return nullptr;
    }
    uc_hook traps;
    uc_hook blocks;
    uc_hook faults;
    uc_hook_add(run.uc, &traps, UC_HOOK_CODE, (void*)OnTrap, &run, TrapBase, TrapBase + TrapSize - 1);
    uc_hook_add(run.uc, &blocks, UC_HOOK_BLOCK, (void*)OnBlock, &run, 1, 0);
    uc_hook_add(run.uc, &faults, UC_HOOK_MEM_UNMAPPED, (void*)OnUnmapped, &run, 1, 0);
    engine->image.resize(image.size);
    engine->imageNow.resize(image.size);
    uc_mem_read(run.uc, image.base, engine->image.data(), image.size);
    uint32_t stack = StackBase + StackSize - 16;
    uc_reg_write(run.uc, UC_X86_REG_ESP, &stack);
    uc_context_alloc(run.uc, &engine->registers);
    uc_context_save(run.uc, engine->registers);
    return engine;
}

// Engines live as long as the process, one a program file.
Engine* CachedEngine(const std::string& exePath, RunResult& refusal)
{
    static std::map<std::string, Engine*>* engines = new std::map<std::string, Engine*>();
    auto found = engines->find(exePath);
    if (found != engines->end()) {
        return found->second;
    }
    Engine* engine = SetUpEngine(exePath, refusal);
    if (engine) {
        (*engines)[exePath] = engine;
    }
    return engine;
}

void PrepareRun(Engine& engine)
{
    Run& run = engine.run;
    run.result = RunResult();
    run.blocks = 0;
    run.lateFunctions.clear();
    run.nextData = DataBase;
    uc_mem_read(run.uc, run.image->base, engine.imageNow.data(), engine.imageNow.size());
    if (engine.imageNow != engine.image) {
        uc_mem_write(run.uc, run.image->base, engine.image.data(), engine.image.size());
    }
    std::memset(run.stackMemory, 0, StackSize);
    std::memcpy(run.stackMemory + StackSize - 16, &ExitSentinel, 4);
    uc_context_restore(run.uc, engine.registers);
}

}  // namespace

RunResult RunProgram(const std::string& exePath)
{
    RunResult refusal;
    Engine* engine = CachedEngine(exePath, refusal);
    if (!engine) {
        return refusal;
    }
    PrepareRun(*engine);
    Run& run = engine->run;
    uc_err error = uc_emu_start(run.uc, run.image->base + run.image->entry, 0, 0, 0);
    if (!run.result.exited && run.result.failure.empty()) {
        uint32_t eip = ReadRegister(run.uc, UC_X86_REG_EIP);
        run.result.failure = std::string("emulator fault: ") + uc_strerror(error) + " at " + Hex(eip);
    }
    return run.result;
}

}  // namespace emu
