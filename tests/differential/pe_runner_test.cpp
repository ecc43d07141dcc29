// The runner stops with a message that names the function or the address: an import it does not
// serve, a caller whose stack is out of balance, an emulator fault, a run past the instruction
// limit, and a file it cannot map at its preferred base. Each case runs a copy of the shipped
// program with one change, written to a file of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#include "differential/outcome.h"
#include "emulator/pe_runner.h"
#include "sample_world.h"

namespace {

uint32_t Read32(const std::string& file, size_t at)
{
    return (uint8_t)file[at] | (uint8_t)file[at + 1] << 8 | (uint8_t)file[at + 2] << 16 |
           (uint32_t)(uint8_t)file[at + 3] << 24;
}

size_t OptionalHeader(const std::string& file)
{
    return Read32(file, 0x3C) + 24;
}

// The file offset of the entry point's first instruction.
size_t EntryOffset(const std::string& file)
{
    size_t optional = OptionalHeader(file);
    uint32_t entry = Read32(file, optional + 16);
    size_t table = optional + (uint8_t)file[Read32(file, 0x3C) + 20] + ((uint8_t)file[Read32(file, 0x3C) + 21] << 8);
    for (size_t section = table;; section += 40) {
        uint32_t address = Read32(file, section + 12);
        if (entry >= address && entry < address + Read32(file, section + 16)) {
            return entry - address + Read32(file, section + 20);
        }
    }
}

void WriteAt(std::string& file, size_t at, const std::string& bytes)
{
    file.replace(at, bytes.size(), bytes);
}

struct RunnerCase {
    const char* name;
    std::function<void(std::string&)> change;
    std::string message;  // what the failure must say
};

const RunnerCase RunnerCases[] = {
    {"an import it does not serve",
     [](std::string& file) { WriteAt(file, file.find("GetCommandLineA"), "GetCommandLineQ"); },
     "import not served: KERNEL32.dll!GetCommandLineQ"},
    {"a caller that pops a stdcall function's arguments again",
     [](std::string& file) {
         // push 50; call [Sleep], as the program calls it, then add esp, 4
         std::string call = file.substr(file.find("\x6A\x32\xFF\x15"), 8);
         WriteAt(file, EntryOffset(file), call + "\x83\xC4\x04");
     },
     "stack out of balance after KERNEL32.dll!Sleep"},
    {"an emulator fault", [](std::string& file) {
         WriteAt(file, EntryOffset(file), std::string("\xA1\x00\x00\x00\x00", 5)); },
     "emulator fault: read of unmapped 0x00000000"},
    {"a loop that never ends",
     [](std::string& file) { WriteAt(file, EntryOffset(file), "\xEB\xFE"); },
     "ran past the limit of 10000000 blocks of instructions"},
    {"a base that is not free", [](std::string& file) {
         WriteAt(file, OptionalHeader(file) + 28, std::string("\x00\x00\x11\x00", 4)); },
     "would need relocating: its preferred base 0x110000 is not free here"},
    {"not a program", [](std::string& file) { file = "hello"; }, "is not a PE file"},
};

}  // namespace

TEST(PeRunner, StopsWithAMessageNamingTheFaultOrTheFunction)
{
    if (!ShippedProgramExists()) {
        GTEST_SKIP() << ShippedProgramPath() << " is missing; it comes from the win32 build"
                     << " (bash scripts/build.sh win32)";
    }
    std::ifstream in(ShippedProgramPath(), std::ios::binary);
    const std::string shipped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int number = 0;
    for (const RunnerCase& row : RunnerCases) {
        SCOPED_TRACE(row.name);
        std::string file = shipped;
        row.change(file);
        std::string path = testing::TempDir() + "changed_program_" + std::to_string(++number) + ".exe";
        std::ofstream(path, std::ios::binary) << file;
        MakeFirstRunWorld();
        sim::SetCommandLine("uninstall.exe /internally");

        emu::RunResult result = emu::RunProgram(path);

        EXPECT_FALSE(result.exited);
        EXPECT_NE(std::string::npos, result.failure.find(row.message)) << result.failure;
        std::remove(path.c_str());
    }
}
