#include <gtest/gtest.h>

#include "sim/simulated_windows.h"

namespace {

struct CommandLineCase {
    const char* commandLine;
    bool removal;
};

// The removal run shows itself by reading the install path (and, without one, saying so);
// the confirmation run shows itself by asking its question.
const CommandLineCase CommandLineCases[] = {
    {"\"C:\\Program Files\\QUENDRA Software\\Dovrance\\uninstall.exe\"", false},
    {"uninstall.exe", false},
    {"\"C:\\TEMP\\uninstall.exe\" /internally", true},
    {"C:\\TEMP\\uninstall.exe /internally", true},
    {"uninstall.exe /INTERNALLY", false},
    {"uninstall.exe -internally", false},
    {"uninstall.exe /Internally", false},
    {"uninstall.exe /internallyness", true},
    {"uninstall.exe x/internally", true},
    {"uninstall.exe /quiet /internally /more", true},
    {"C:\\odd/internally\\uninstall.exe", true},
    {"", false},
};

}  // namespace

TEST(PhaseSelection, SwitchAnywhereInCommandLineSelectsRemovalAndExitIsOne)
{
    for (const CommandLineCase& row : CommandLineCases) {
        SCOPED_TRACE(row.commandLine);
        sim::ResetWorld();
        sim::SetCommandLine(row.commandLine);
        sim::QueueAnswer(IDCANCEL);

        EXPECT_EQ(1, WinMain(nullptr, nullptr, nullptr, 0));

        ASSERT_EQ(1u, sim::BoxesShown().size());
        const std::string& text = sim::BoxesShown()[0].text;
        if (row.removal) {
            EXPECT_EQ("Can not find install path to remove files.", text);
        } else {
            EXPECT_EQ("This will uninstall QUENDRA Dovrance 98.", text);
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}
