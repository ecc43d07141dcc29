#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "confirm/confirm_phase.h"
#include "sample_world.h"

namespace {

const char Question[] = "This will uninstall QUENDRA Dovrance 98.";
const char CopyFailed[] = "Can not copy uninstall.exe to TEMP.";
const char StartFailed[] = "Can not start uninstall.exe in TEMP.";

struct FirstRunCase {
    const char* name;
    std::function<void()> arrange;
    int answer;
    const char* error;      // the box after the question, or nullptr
    int closesPosted;       // WM_CLOSE messages posted
    bool entryDeleted;      // only once the copy has started
    std::string copyPath;   // where the copy must be, "" for no copy
    bool started;
};

std::string LongTemp(int length)  // a folder path of exactly length characters
{
    std::string path = "C:\\";
    while ((int)path.size() < length - 1) {
        path += (path.size() % 50 == 49) ? '\\' : 't';
    }
    return path + "\\";
}

const FirstRunCase FirstRunCases[] = {
    {"cancel", [] { sim::AddWindow("QuendraDovrance"); }, IDCANCEL, nullptr, 0, false, "", false},
    {"ok, product running", [] { sim::AddWindow("QuendraDovrance"); }, IDOK, nullptr, 1, true,
     TempCopy, true},
    {"ok, two product windows", [] {
         sim::AddWindow("Other");
         sim::AddWindow("QuendraDovrance");
         sim::AddWindow("QuendraDovrance");
     }, IDOK, nullptr, 1, true, TempCopy, true},
    {"ok, product not running", [] { sim::AddWindow("Other"); }, IDOK, nullptr, 0, true,
     TempCopy, true},
    {"failed box counts as ok", [] {}, 0, nullptr, 0, true, TempCopy, true},
    {"no uninstall list", [] { sim::RemoveKey(HKEY_LOCAL_MACHINE, UninstallListPath); }, IDOK,
     nullptr, 0, true, TempCopy, true},
    {"no uninstall entry", [] { sim::RemoveKey(HKEY_LOCAL_MACHINE, UninstallEntryPath); }, IDOK,
     nullptr, 0, true, TempCopy, true},
    {"running file has another name", [] {
         sim::AddFile("C:\\Setup\\remove dovrance.exe", ProgramBytes);
         sim::SetModulePath("C:\\Setup\\remove dovrance.exe"); },
     IDOK, nullptr, 0, true, TempCopy, true},
    {"read-only running file", [] { sim::AddFile(InstalledUninstaller, ProgramBytes, true); },
     IDOK, nullptr, 0, true, TempCopy, true},
    {"temp without trailing backslash", [] { sim::SetTempPath("C:\\TEMP"); }, IDOK, nullptr, 0,
     true, TempCopy, true},
    {"temp folder missing is made", [] { sim::SetTempPath("C:\\NEWTEMP\\"); }, IDOK, nullptr, 0,
     true, "C:\\NEWTEMP\\uninstall.exe", true},
    {"earlier copy replaced", [] { sim::AddFile(TempCopy, "old copy"); }, IDOK, nullptr, 0,
     true, TempCopy, true},
    {"earlier copy still running", [] {
         sim::AddFile(TempCopy, "old copy");
         sim::LockFile(TempCopy, -1); },
     IDOK, CopyFailed, 0, false, "", false},
    {"copy fails", [] { sim::FailCopyFile(true); }, IDOK, CopyFailed, 0, false, "", false},
    {"start fails", [] { sim::SetShellExecuteResult(2); }, IDOK, StartFailed, 0, false, TempCopy,
     true},
    {"start result 32 is a failure", [] { sim::SetShellExecuteResult(32); }, IDOK, StartFailed,
     0, false, TempCopy, true},
    {"temp path at the limit", [] { sim::AddFolder(LongTemp(246)); sim::SetTempPath(LongTemp(246)); },
     IDOK, nullptr, 0, true, LongTemp(246) + "uninstall.exe", true},
    {"temp path one past the limit", [] { sim::AddFolder(LongTemp(247)); sim::SetTempPath(LongTemp(247)); },
     IDOK, CopyFailed, 0, false, "", false},
    {"temp path longer than its buffer", [] { sim::SetTempPath(LongTemp(300)); }, IDOK, CopyFailed,
     0, false, "", false},
    {"module path cut off", [] { sim::SetModulePath(LongTemp(280) + "uninstall.exe"); }, IDOK,
     CopyFailed, 0, false, "", false},
};

}  // namespace

TEST(ConfirmationPhase, EachPathChangesWhatItMustAndNothingElse)
{
    for (const FirstRunCase& row : FirstRunCases) {
        SCOPED_TRACE(row.name);
        MakeFirstRunWorld();
        row.arrange();
        sim::QueueAnswer(row.answer);
        std::vector<std::string> filesBefore = sim::ListEntries();
        const std::string otherEntry = UninstallListPath + "\\OtherProgram";
        bool otherEntryBefore = sim::KeyExists(HKEY_LOCAL_MACHINE, otherEntry);
        bool entryBefore = sim::KeyExists(HKEY_LOCAL_MACHINE, UninstallEntryPath);

        RunConfirmationPhase();

        const auto& boxes = sim::BoxesShown();
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(Question, boxes[0].text);
        EXPECT_EQ("QUENDRA Dovrance 98", boxes[0].caption);
        EXPECT_EQ(0x21u, boxes[0].style);
        ASSERT_EQ(row.error ? 2u : 1u, boxes.size());
        if (row.error) {
            EXPECT_EQ(row.error, boxes[1].text);
            EXPECT_EQ("QUENDRA Dovrance 98", boxes[1].caption);
            EXPECT_EQ(0x10u, boxes[1].style);
        }

        ASSERT_EQ(row.closesPosted, (int)sim::MessagesPosted().size());
        for (const sim::PostedMessage& posted : sim::MessagesPosted()) {
            EXPECT_EQ("QuendraDovrance", posted.windowClass);
            EXPECT_EQ(0, posted.windowIndex);
            EXPECT_EQ((unsigned)WM_CLOSE, posted.message);
            EXPECT_EQ(0u, posted.wParam);
            EXPECT_EQ(0, posted.lParam);
        }

        EXPECT_EQ(!row.entryDeleted, sim::KeyExists(HKEY_LOCAL_MACHINE, UninstallEntryPath));
        if (row.entryDeleted && entryBefore) {
            const std::vector<std::string>& events = sim::Events();
            auto started = std::find_if(events.begin(), events.end(), [](const std::string& e) {
                return e.rfind("started ", 0) == 0;
            });
            auto deleted = std::find(events.begin(), events.end(),
                                     "deleted key hklm\\" + sim::NormalPath(UninstallEntryPath));
            EXPECT_NE(events.end(), deleted);
            EXPECT_LT(started, deleted) << "the entry goes after the copy has started";
        }
        EXPECT_EQ(otherEntryBefore, sim::KeyExists(HKEY_LOCAL_MACHINE, otherEntry));

        if (!row.copyPath.empty()) {
            EXPECT_EQ(ProgramBytes, sim::FileContents(row.copyPath));
            EXPECT_FALSE(sim::IsReadOnly(row.copyPath));
        } else {
            EXPECT_EQ(filesBefore, sim::ListEntries());
        }
        // The first run itself never deletes a file.
        std::vector<std::string> filesAfter = sim::ListEntries();
        for (const std::string& entry : filesBefore) {
            EXPECT_NE(filesAfter.end(), std::find(filesAfter.begin(), filesAfter.end(), entry))
                << entry;
        }

        ASSERT_EQ(row.started ? 1u : 0u, sim::ProgramsStarted().size());
        if (row.started) {
            const sim::ProgramStarted& started = sim::ProgramsStarted()[0];
            EXPECT_EQ(row.copyPath, started.file);
            EXPECT_EQ("/internally", started.parameters);
            EXPECT_EQ("", started.verb);
            EXPECT_EQ(SW_MINIMIZE, started.showCommand);
            char reported[MAX_PATH] = {0};
            GetTempPathA(MAX_PATH, reported);
            EXPECT_EQ(reported, started.directory);
        }
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}

TEST(ConfirmationPhase, CloseRunningApplicationReturnsOneWhetherOrNotTheProductRuns)
{
    sim::ResetWorld();
    EXPECT_EQ(1, CloseRunningApplication());
    sim::AddWindow("QuendraDovrance");
    EXPECT_EQ(1, CloseRunningApplication());
    EXPECT_EQ(1u, sim::MessagesPosted().size());
}

TEST(ConfirmationPhase, RelaunchReportsItsOutcome)
{
    MakeFirstRunWorld();
    EXPECT_EQ(1, RelaunchFromTemp());
    sim::FailCopyFile(true);
    EXPECT_EQ(0, RelaunchFromTemp());
    sim::FailCopyFile(false);
    sim::SetShellExecuteResult(0);
    EXPECT_EQ(0, RelaunchFromTemp());
}

// The first run waits, for a bounded time, until the process of the product's first window has
// ended, and only then copies itself and goes on.
TEST(ConfirmationPhase, WaitsForTheProductToEndAfterAskingItToClose)
{
    struct WaitCase {
        const char* name;
        std::function<void()> arrange;
        long long clockMs;  // how long the first run waited
        bool waited;
    };
    // A product window whose process ends closesAfterMs after it is asked to close (-1: never).
    auto productWindow = [](long long closesAfterMs, bool openable) {
        sim::AddWindow("QuendraDovrance");
        sim::SetWindowProcess(closesAfterMs, openable);
    };
    const WaitCase cases[] = {
        {"not running", [] {}, 0, false},
        {"ends at once", [=] { productWindow(0, true); }, 0, true},
        {"ends after 1.5 s", [=] { productWindow(1500, true); }, 1500, true},
        {"never ends: gives up after 30 s", [=] { productWindow(-1, true); }, 30000, true},
        {"cannot be opened: no wait", [=] { productWindow(1500, false); }, 0, false},
        {"two windows: only the first one's process", [=] {
             productWindow(2000, true);
             productWindow(-1, true); },
         2000, true},
    };
    for (const WaitCase& row : cases) {
        SCOPED_TRACE(row.name);
        MakeFirstRunWorld();
        row.arrange();

        RunConfirmationPhase();

        EXPECT_EQ(row.clockMs, sim::ClockMs());
        const std::vector<std::string>& events = sim::Events();
        auto waited = std::find_if(events.begin(), events.end(), [](const std::string& e) {
            return e.rfind("waited", 0) == 0;
        });
        EXPECT_EQ(row.waited, waited != events.end());
        if (waited != events.end()) {
            EXPECT_EQ("posted 16 to QuendraDovrance", *(waited - 1)) << "asked first, then waited";
            EXPECT_EQ(1, std::count_if(events.begin(), events.end(), [](const std::string& e) {
                          return e.rfind("waited", 0) == 0;
                      }));
        }
        auto copied = std::find(events.begin(), events.end(), "copied to " + sim::NormalPath(TempCopy));
        EXPECT_NE(events.end(), copied);
        if (waited != events.end()) {
            EXPECT_LT(waited, copied) << "copied only after the wait";
        }
        EXPECT_EQ(1u, sim::ProgramsStarted().size());
        EXPECT_EQ(0, sim::OpenHandleCount());
    }
}
