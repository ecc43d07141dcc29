#include "differential/outcome.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "emulator/pe_runner.h"
#include "platform/platform_services.h"
#include "sim/simulated_windows.h"

namespace {

const char FirstCommandLine[] = "\"C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe\"";
const char SecondCommandLine[] = "C:\\TEMP\\uninstall.exe /internally";

std::vector<std::string> DescribeWorld(const std::string& firstExit, const std::string& secondExit)
{
    std::vector<std::string> lines;
    for (const std::string& call : sim::Calls()) {
        lines.push_back("call " + call);
    }
    lines.push_back("first run ended: " + firstExit);
    lines.push_back("second run ended: " + secondExit);
    for (const sim::MessageBoxShown& box : sim::BoxesShown()) {
        lines.push_back("box " + box.text + " | " + box.caption + " | " + std::to_string(box.style));
    }
    for (const sim::PostedMessage& posted : sim::MessagesPosted()) {
        lines.push_back("posted " + std::to_string(posted.message) + " to " + posted.windowClass +
                        " " + std::to_string(posted.windowIndex));
    }
    for (const sim::ProgramStarted& started : sim::ProgramsStarted()) {
        lines.push_back("started " + started.verb + " | " + started.file + " | " + started.parameters +
                        " | " + started.directory + " | " + std::to_string(started.showCommand));
    }
    for (const sim::ShellNotice& notice : sim::ShellNotices()) {
        lines.push_back("notice " + std::to_string(notice.eventId) + " " + notice.path);
    }
    for (unsigned pause : sim::Pauses()) {
        lines.push_back("pause " + std::to_string(pause));
    }
    lines.push_back("clock " + std::to_string(sim::ClockMs()));
    lines.push_back("open handles " + std::to_string(sim::OpenHandleCount()));
    for (const std::string& entry : sim::ListEntries()) {
        lines.push_back("entry " + entry + " " + std::to_string(GetFileAttributesA(entry.c_str())) +
                        " = " + sim::FileContents(entry));
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const std::string& key : sim::ListKeys(root)) {
            lines.push_back(std::string(root == HKEY_LOCAL_MACHINE ? "key hklm\\" : "key hkcu\\") + key);
        }
    }
    return lines;
}

std::string Status(const emu::RunResult& result)
{
    return result.exited ? "exit " + std::to_string(result.exitCode) : "failed: " + result.failure;
}

}  // namespace

std::vector<std::string> RunHostBuild(const std::function<void()>& arrange)
{
    arrange();
    sim::SetCallLog(true);
    sim::SetCommandLine(FirstCommandLine);
    int first = WinMain(nullptr, nullptr, nullptr, 0);
    sim::SetCommandLine(SecondCommandLine);
    int second = WinMain(nullptr, nullptr, nullptr, 0);
    sim::SetCallLog(false);
    return DescribeWorld("exit " + std::to_string(first), "exit " + std::to_string(second));
}

std::vector<std::string> RunShippedProgram(const std::function<void()>& arrange)
{
    arrange();
    sim::SetCallLog(true);
    sim::SetCommandLine(FirstCommandLine);
    emu::RunResult first = emu::RunProgram(ShippedProgramPath());
    sim::SetCommandLine(SecondCommandLine);
    emu::RunResult second = emu::RunProgram(ShippedProgramPath());
    sim::SetCallLog(false);
    return DescribeWorld(Status(first), Status(second));
}

std::string FirstDifference(const std::vector<std::string>& host,
                            const std::vector<std::string>& shipped)
{
    size_t at = 0;
    while (at < host.size() && at < shipped.size() && host[at] == shipped[at]) {
        ++at;
    }
    if (at == host.size() && at == shipped.size()) {
        return "";
    }
    std::string text = "first difference at line " + std::to_string(at) + "\n";
    for (size_t i = at > 3 ? at - 3 : 0; i < at; ++i) {
        text += "  both:    " + host[i] + "\n";
    }
    text += "  host:    " + (at < host.size() ? host[at] : "(nothing more)") + "\n";
    text += "  shipped: " + (at < shipped.size() ? shipped[at] : "(nothing more)") + "\n";
    return text;
}

std::string ShippedProgramPath()
{
    const char* path = std::getenv("SHIPPED_PROGRAM");
    return path && *path ? path : SHIPPED_PROGRAM_DEFAULT;
}

bool ShippedProgramExists()
{
    return std::ifstream(ShippedProgramPath()).good();
}
