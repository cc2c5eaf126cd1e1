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

void Choose(CWnd* pDialog, const std::wstring& name)
{
    auto* pCombo = dynamic_cast<UIComboBox*>(pDialog->GetDlgItem(1004));
    ASSERT_NE(pCombo, nullptr);
    for (int index = 0; index < pCombo->GetCount(); ++index)
    {
        if (pCombo->GetLBText(index) == name)
        {
            pCombo->SelectByUser(index);
            return;
        }
    }
    ADD_FAILURE() << "no query of that name";
}

// Load, initialise, project loaded, view opened, live items, view closed, terminate, unload.
void RunSession(const std::string& fileName)
{
    {
        HostEnvironment env;
        env.Preferences().SetBool(L"MonitoringManager", L"EnableStats", true);
        LoadedPlugin plugin;
        ASSERT_TRUE(LoadedPlugin::IsMapped(fileName));
        IServiceBase* pRegistry = plugin.CreateProfilingQueryRegistry();
        pRegistry->Initialize();
        env.RegisterService(ov::ServiceProfilerQueryRegistry, pRegistry);
        env.OpenProject(MakeSessionProject());

        CViewFactory* pFactory = plugin.GetViewFactory(0);
        IViewBase* pView = pFactory->CreateView();
        auto pContainer = std::make_unique<TestViewContainer>();
        pView->CreateViewWindow(pContainer.get());
        CWnd* pDialog = CWnd::FromHandle(pView->GetViewWindow());
        Choose(pDialog, L"Paths Used");

        env.StartLogger();
        MonitoringLogger& logger = env.Logger();
        for (int round = 0; round < 20; ++round)
        {
            logger.LogDialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(11)});
            logger.LogDialogueResolved(Id(1), Id(30), std::vector<GUID>{Id(12)});
            logger.LogDialogueResolved(Id(404), Id(20), std::vector<GUID>{});
            logger.LogObjectNotification(Id(21), 9);
        }
        env.StopLogger();
        Choose(pDialog, L"Dialogue Events Distribution");
        ClickButton(pDialog->GetDlgItem(1001));
        ClickButton(pDialog->GetDlgItem(1015));
        EXPECT_NE(env.Clipboard().Text().find(L"Greeting\t40\t20"), std::wstring::npos);
        EXPECT_EQ(env.GetProject()->OutstandingReferences(), 0);

        pContainer->m_frame.DestroyWindow();
        delete pView;
        env.CloseProject();
        pRegistry->Terminate();
        pRegistry->Destroy();
        delete pFactory;
    }
    EXPECT_FALSE(LoadedPlugin::IsMapped(fileName)) << "the library stays mapped after dlclose";
}

TEST(LoadCycles, AHundredSessionsLeaveNothingBehind)
{
    const std::string path = TALLY_PLUGIN_PATH;
    const std::string fileName = path.substr(path.rfind('/') + 1);
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
