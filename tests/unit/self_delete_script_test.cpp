#include <gtest/gtest.h>

#include "removal/removal_steps.h"
#include "sample_world.h"

namespace {

std::string ExpectedScript(const std::string& temp, const std::string& script)
{
    return "\r\n@echo off\r\n:myLabel\r\ndel \"" + temp + "uninstall.exe\"\r\nif exist \"" + temp +
           "uninstall.exe\" goto myLabel\r\ndel \"" + script + "\"\r\n";
}

void StartWithTemp(const std::string& reported, const std::string& folder)
{
    MakeSecondRunWorld();
    sim::AddFolder(folder);
    sim::SetTempPath(reported);
}

}  // namespace

TEST(SelfDeleteScript, FirstFreeNumberExactBytesStartedHidden)
{
    struct ScriptCase {
        const char* name;
        std::string reportedTemp;
        std::string temp;  // {T}: the folder with its one trailing backslash
        int existing;      // delme1.bat .. delmeN.bat already there
        std::string script;
    };
    const ScriptCase cases[] = {
        {"empty temp", "C:\\TEMP\\", "C:\\TEMP\\", 0, "C:\\TEMP\\delme1.bat"},
        {"two earlier scripts", "C:\\TEMP\\", "C:\\TEMP\\", 2, "C:\\TEMP\\delme3.bat"},
        {"199 earlier scripts", "C:\\TEMP\\", "C:\\TEMP\\", 199, "C:\\TEMP\\delme200.bat"},
        {"temp without backslash", "C:\\TEMP", "C:\\TEMP\\", 0, "C:\\TEMP\\delme1.bat"},
        {"short temp", "C:\\", "C:\\", 0, "C:\\delme1.bat"},
    };
    for (const ScriptCase& row : cases) {
        SCOPED_TRACE(row.name);
        StartWithTemp(row.reportedTemp, row.temp);
        for (int n = 1; n <= row.existing; ++n) {
            sim::AddFile(row.temp + "delme" + std::to_string(n) + ".bat", "earlier");
        }

        ScheduleSelfDelete();

        std::string text = sim::FileContents(row.script);
        EXPECT_EQ(ExpectedScript(row.temp, row.script), text);
        EXPECT_EQ(91 + 2 * row.temp.size() + row.script.size(), text.size());
        EXPECT_EQ(0, text.compare(0, 11, "\r\n@echo off"));
        EXPECT_EQ(std::string::npos, text.find('\0'));
        for (int n = 1; n <= row.existing; ++n) {
            EXPECT_EQ("earlier", sim::FileContents(row.temp + "delme" + std::to_string(n) + ".bat"));
        }
        ASSERT_EQ(1u, sim::ProgramsStarted().size());
        const sim::ProgramStarted& started = sim::ProgramsStarted()[0];
        EXPECT_EQ(row.script, started.file);
        EXPECT_EQ("", started.verb);
        EXPECT_EQ("", started.parameters);
        EXPECT_EQ(row.reportedTemp, started.directory);
        EXPECT_EQ(SW_HIDE, started.showCommand);
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(SelfDeleteScript, PercentSignsAreDoubledForTheCommandInterpreter)
{
    StartWithTemp("C:\\50%off\\%TEMP%\\", "C:\\50%off\\%TEMP%\\");
    ScheduleSelfDelete();
    EXPECT_EQ(ExpectedScript("C:\\50%%off\\%%TEMP%%\\", "C:\\50%%off\\%%TEMP%%\\delme1.bat"),
              sim::FileContents("C:\\50%off\\%TEMP%\\delme1.bat"));
}

TEST(SelfDeleteScript, NoScriptWhenNoneCanBeWrittenWhole)
{
    struct NoScriptCase {
        const char* name;
        std::string reportedTemp;
        int existing;
        bool failCreate;
    };
    const std::string atLimit = "C:\\" + std::string(245, 't') + "\\";  // 249 + "delme1.bat" = 259
    const NoScriptCase cases[] = {
        {"all 200 numbers taken", "C:\\TEMP\\", 200, false},
        {"files cannot be created", "C:\\TEMP\\", 0, true},
        {"script path one past the limit", "C:\\" + std::string(246, 't') + "\\", 0, false},
        {"temp longer than its buffer", "C:\\" + std::string(300, 't') + "\\", 0, false},
        {"text past its buffer", "C:\\" + std::string(240, '%') + "\\", 0, false},
    };
    for (const NoScriptCase& row : cases) {
        SCOPED_TRACE(row.name);
        StartWithTemp(row.reportedTemp, row.reportedTemp.size() < 260 ? row.reportedTemp : "C:\\TEMP");
        for (int n = 1; n <= row.existing; ++n) {
            sim::AddFile(row.reportedTemp + "delme" + std::to_string(n) + ".bat", "earlier");
        }
        sim::FailCreateFile(row.failCreate);
        std::vector<std::string> before = sim::ListEntries();

        ScheduleSelfDelete();

        EXPECT_EQ(before, sim::ListEntries());
        EXPECT_TRUE(sim::ProgramsStarted().empty());
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
    // One character shorter and the script fits.
    StartWithTemp(atLimit, atLimit);
    ScheduleSelfDelete();
    EXPECT_TRUE(sim::FileExists(atLimit + "delme1.bat"));
}
