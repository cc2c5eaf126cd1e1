// A hundred whole host sessions in one process, each with the plug-in loaded afresh: nothing that a
// session creates survives it, the process does not grow from one session to the next, and every
// unload takes the library out of the address space.
#include "host/ui/HostServices.h"
#include "tests/session/HostSessionFixture.h"

#include <fstream>
#include <string>
#include <vector>

namespace
{

#if defined(__SANITIZE_ADDRESS__)
// Freed blocks wait in the sanitizer's quarantine, so its heap keeps growing by design: the resident
// size and the anonymous regions mean nothing there, and LeakSanitizer accounts for the heap instead.
constexpr bool kHeapMeasurable = false;
#else
constexpr bool kHeapMeasurable = true;
#endif

struct Footprint
{
    long residentKb = 0;
    std::size_t mappedRegions = 0;
    // Regions backed by a file: libraries and anything else opened and mapped.
    std::size_t mappedFiles = 0;
};

Footprint Measure()
{
    Footprint footprint;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.starts_with("VmRSS:"))
            footprint.residentKb = std::stol(line.substr(6));
    }
    std::ifstream maps("/proc/self/maps");
    while (std::getline(maps, line))
    {
        ++footprint.mappedRegions;
        if (line.find(" /") != std::string::npos)
            ++footprint.mappedFiles;
    }
    return footprint;
}

// Load, initialise, project loaded, view opened, live items, view closed, terminate, unload.
void RunSession(const std::string& fileName)
{
    {
        app::HostSession session(LoadBuiltPlugin());
        ASSERT_TRUE(IsMapped(fileName));
        session.SetPreference(L"EnableStats", true);
        session.OpenProject(MakeSessionProject());
        session.OpenView(900, 700);
        ASSERT_TRUE(session.ChooseQuery(L"Paths Used"));

        session.StartLogger();
        MonitoringLogger& logger = session.Environment().Logger();
        for (int round = 0; round < 20; ++round)
        {
            logger.LogDialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(11)});
            logger.LogDialogueResolved(Id(1), Id(30), std::vector<GUID>{Id(12)});
            logger.LogDialogueResolved(Id(404), Id(20), std::vector<GUID>{});
            logger.LogObjectNotification(Id(21), 9);
        }
        session.StopLogger();
        ASSERT_TRUE(session.ChooseQuery(L"Dialogue Events Distribution"));
        session.Click(app::ctl::kRun);
        const std::wstring* pCopied = session.CopyResults();
        ASSERT_NE(pCopied, nullptr);
        EXPECT_NE(pCopied->find(L"Greeting\t40\t20"), std::wstring::npos);
        EXPECT_EQ(session.Environment().GetProject()->OutstandingReferences(), 0);
        session.Close();
    }
    EXPECT_FALSE(IsMapped(fileName)) << "the library stays mapped after dlclose";
}

TEST(LoadCycles, AHundredSessionsLeaveNothingBehind)
{
    const std::string fileName = BuiltPluginFileName();
    const std::size_t windowsBefore = LiveWindowCount();
    const long rowsBefore = NyLcRow::LiveCount();

    // The first sessions fill caches that stay: the loader's, the C++ runtime's, the allocator's.
    constexpr int kWarmUp = 10;
    constexpr int kCycles = 100;
    Footprint settled;
    for (int cycle = 0; cycle < kCycles; ++cycle)
    {
        SCOPED_TRACE(cycle);
        RunSession(fileName);
        ASSERT_FALSE(testing::Test::HasFailure());
        ASSERT_EQ(LiveWindowCount(), windowsBefore);
        ASSERT_EQ(NyLcRow::LiveCount(), rowsBefore);
        if (cycle + 1 == kWarmUp)
            settled = Measure();
    }

    const Footprint last = Measure();
    // A library or file left mapped by a session shows as one more region each time.
    EXPECT_EQ(last.mappedFiles, settled.mappedFiles);
    if (kHeapMeasurable)
    {
        // A heap arena per session, or a session's worth of memory kept, shows here.
        EXPECT_LE(last.mappedRegions, settled.mappedRegions + 2)
            << "regions after warm-up " << settled.mappedRegions << ", at the end " << last.mappedRegions;
        // Well below one session's worth per session: the library alone is over a megabyte.
        EXPECT_LE(last.residentKb, settled.residentKb + 1024)
            << "resident after warm-up " << settled.residentKb << " kB, at the end " << last.residentKb
            << " kB";
    }
}

} // namespace
