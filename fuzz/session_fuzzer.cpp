// Item streams against random projects through the loaded plug-in, with the view open and a user
// switching queries, pressing Run and Clear and toggling the options. After every step: the
// plug-in holds no object reference, "Paths Used" never shows more plays than resolutions, each
// argument's value counts add up to its event's resolutions, and a listed row keeps its address
// until its statistics are cleared.
#include "app/session/HostSession.h"
#include "host/results/FilteredListControl.h"
#include "host/ui/Wnd.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using namespace app::ctl;

// Object ids are drawn from a small universe so that items often meet the project's objects.
constexpr std::uint32_t kUniverse = 24;

constexpr std::array<std::wstring_view, 4> kQueryNames = {app::kNoQuery, app::kQueryNames[0],
                                                          app::kQueryNames[1], app::kQueryNames[2]};

void Require(bool bHolds, const char* what)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "session: %s\n", what);
    std::abort();
}

GUID Id(std::uint32_t n)
{
    GUID id;
    id.Data1 = n;
    id.Data2 = 0x5E55;
    id.Data4[7] = 0x1D;
    return id;
}

GUID AnyId(FuzzedDataProvider& input)
{
    const std::uint32_t n = input.ConsumeIntegralInRange<std::uint32_t>(0, kUniverse);
    return n == 0 ? GUID_NULL : Id(n);
}

// Kinds and links of every id of the universe; ids may name objects the project lacks.
std::unique_ptr<Project> MakeProject(FuzzedDataProvider& input)
{
    auto pProject = std::make_unique<Project>();
    for (std::uint32_t n = 1; n <= kUniverse; ++n)
    {
        // Event names stay unique: the checks find an event's row by its name.
        const std::wstring serial = std::to_wstring(n);
        switch (input.ConsumeIntegralInRange(0, 4))
        {
        case 0:
            break;
        case 1:
        {
            DialogueEventObject* pEvent = pProject->AddDialogueEvent(Id(n), L"Event" + serial);
            std::vector<GUID> arguments(input.ConsumeIntegralInRange(0, 3));
            for (GUID& argument : arguments)
                argument = AnyId(input);
            pEvent->SetArguments(arguments);
            std::vector<std::optional<GUID>> targets(input.ConsumeIntegralInRange(0, 3));
            for (std::optional<GUID>& target : targets)
                target = input.ConsumeBool() ? std::optional<GUID>(AnyId(input)) : std::nullopt;
            pEvent->SetTargets(targets);
            break;
        }
        case 2:
        {
            ArgumentObject* pArgument = pProject->AddArgument(Id(n), L"Arg" + serial);
            std::vector<GUID> values(input.ConsumeIntegralInRange(0, 4));
            for (GUID& value : values)
                value = AnyId(input);
            pArgument->SetValues(values);
            break;
        }
        default:
            // Shared names make different values meet on one path.
            pProject->AddObject(Id(n), input.ConsumeBool() ? L"Same" : L"Object" + serial);
            break;
        }
    }
    for (std::uint32_t n = 2; n <= kUniverse; ++n)
    {
        if (input.ConsumeBool())
            pProject->SetParent(Id(n), Id(input.ConsumeIntegralInRange<std::uint32_t>(1, n - 1)));
    }
    return pProject;
}

unsigned long long Number(const std::wstring& text)
{
    return text.empty() ? 0 : std::stoull(text);
}

std::vector<std::wstring> SplitTabs(const std::wstring& line)
{
    std::vector<std::wstring> cells(1);
    for (const wchar_t c : line)
    {
        if (c == L'\t')
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

class Session
{
public:
    Session(std::shared_ptr<app::PluginLibrary> pPlugin, FuzzedDataProvider& input)
        : m_input(input), m_session(std::move(pPlugin))
    {
        m_session.SetPreference(L"EnableStats", input.ConsumeBool());
        m_session.SetPreference(L"KeepStatsAcrossRuns", input.ConsumeBool());
        m_session.OpenProject(MakeProject(input));
        m_session.OpenView(900, 700);
        Choose(input.ConsumeIntegralInRange<std::size_t>(0, kQueryNames.size() - 1));
    }

    void Step()
    {
        // Mostly items; one step in sixteen is the user's or the host's.
        const std::uint8_t step = m_input.ConsumeIntegral<std::uint8_t>();
        if (step < 16)
            Act(step % 8);
        else if (step < 96)
            LogNotification();
        else if (step < 104)
            LogOther();
        else
            LogResolution();
        Check();
    }

    std::size_t Items() const { return m_nItems; }

private:
    void Act(int action)
    {
        switch (action)
        {
        case 0:
        case 1:
            Choose(m_input.ConsumeIntegralInRange<std::size_t>(0, kQueryNames.size() - 1));
            break;
        case 2:
            ForgetRows();
            Click(m_input.PickValueInArray({kRun, kClear}));
            break;
        case 3:
        case 4:
            Click(m_input.PickValueInArray({kUpdateAutomatically, kKeepStatistics}));
            break;
        case 5:
            if (Env().Monitoring().IsLogging())
            {
                m_session.StopLogger();
            }
            else
            {
                ForgetRows();
                m_session.StartLogger();
            }
            break;
        case 6:
            ForgetRows();
            m_session.OpenProject(MakeProject(m_input));
            break;
        default:
            m_session.CloseView();
            m_session.OpenView(900, 700);
            Choose(m_input.ConsumeIntegralInRange<std::size_t>(0, kQueryNames.size() - 1));
            break;
        }
    }

    void LogOther()
    {
        Env().Logger().LogItem(m_input.PickValueInArray<std::uint8_t>({0, 2, 33, 35, 63}));
        ++m_nItems;
    }

    void LogResolution()
    {
        const GUID event = AnyId(m_input);
        // Mostly as many values as the event has arguments, so that resolutions count.
        std::size_t count = m_input.ConsumeIntegralInRange<std::size_t>(0, 3);
        if (const auto* pEvent = dynamic_cast<const IVDialogueEvent*>(Env().GetProject()->Find(event)))
        {
            if (m_input.ConsumeIntegralInRange(0, 7) != 0)
                count = pEvent->GetArguments().size();
        }
        std::vector<GUID> values(count);
        for (GUID& value : values)
            value = AnyId(m_input);
        const GUID target = AnyId(m_input);
        Env().Logger().LogDialogueResolved(event, target, values, m_input.ConsumeIntegralInRange(0, 7) == 0);
        ++m_nItems;
    }

    void LogNotification()
    {
        const GUID object = AnyId(m_input);
        const std::uint32_t reason =
            m_input.PickValueInArray<std::uint32_t>({9, 10, 9, 10, 0, 8, 11, 0xFFFFFFFFu});
        Env().Logger().LogObjectNotification(object, reason);
        ++m_nItems;
    }

    HostEnvironment& Env() { return m_session.Environment(); }

    void Choose(std::size_t query)
    {
        Require(m_session.Combo() != nullptr, "the dialog has no query selector");
        Require(m_session.ChooseQuery(kQueryNames[query]), "a query is missing from the selector");
        m_nSelected = query;
    }

    // A disabled control ignores the click.
    void Click(int id) { m_session.Click(id); }

    // Clear, Run, a new capture and a new project may each empty statistics: forget their rows.
    void ForgetRows()
    {
        for (auto& rows : m_rows)
            rows.clear();
    }

    void Check()
    {
        Require(Env().GetProject()->OutstandingReferences() == 0, "an object reference is still held");
        Require(Env().GetProject()->OverReleases() == 0, "an object was released more often than taken");
        if (m_nSelected == 0)
            return;
        BaseFilteredListControl* pList = m_session.ResultList(kMainList);
        Require(pList != nullptr, "the result window has no list");

        // Every shown row is where it was when first listed.
        std::map<std::wstring, int> seen;
        std::map<std::wstring, const void*>& rows = m_rows[m_nSelected];
        for (int i = 0; i < pList->RowCount(); ++i)
        {
            const CSmartPtr<NyLcRow> row = pList->GetRow(i, 0);
            Require(static_cast<bool>(row), "a counted row cannot be read");
            std::wstring key = pList->GetCellText(i, 0);
            if (m_nSelected == 3)
                key += L'\t' + pList->GetCellText(i, 1);
            key += L'#' + std::to_wstring(seen[key]++);
            const auto [known, bNew] = rows.try_emplace(key, row->GetData());
            Require(bNew || known->second == row->GetData(), "a listed row moved");
            if (m_nSelected == 2)
                Require(Number(pList->GetCellText(i, 2)) <= Number(pList->GetCellText(i, 1)),
                        "a path was played more often than resolved");
        }
        if (m_nSelected == 1)
            CheckDistribution();
    }

    // Per event, the counts of each argument (lines "p.Argument:Value") add up to the event's Added,
    // and each share is its count over that sum.
    void CheckDistribution()
    {
        const int before = Env().Clipboard().SetCount();
        Click(kCopyResults);
        Require(Env().Clipboard().SetCount() == before + 1, "Copy Results copied nothing");
        const std::wstring text = Env().Clipboard().Text();

        struct Line
        {
            unsigned long long count;
            double percent;
        };
        unsigned long long added = 0;
        std::map<std::wstring, std::vector<Line>> arguments;
        const auto closeEvent = [&]()
        {
            for (const auto& [prefix, lines] : arguments)
            {
                unsigned long long sum = 0;
                for (const Line& line : lines)
                    sum += line.count;
                Require(sum == added, "an argument's counts do not add up to its event's resolutions");
                for (const Line& line : lines)
                {
                    const double expected =
                        sum == 0 ? 0.0 : 100.0 * static_cast<double>(line.count) / static_cast<double>(sum);
                    Require(std::fabs(line.percent - expected) < 0.051,
                            "a share is not its count over the total");
                }
            }
            arguments.clear();
        };

        std::size_t start = text.find(L'\n') + 1;
        while (start < text.size())
        {
            const std::size_t end = text.find(L'\n', start);
            Require(end != std::wstring::npos, "the copy's last line is unterminated");
            const std::vector<std::wstring> cells = SplitTabs(text.substr(start, end - start));
            start = end + 1;
            if (cells.size() == 3)
            {
                closeEvent();
                added = Number(cells[1]);
                continue;
            }
            Require(cells.size() == 6 && cells[0].empty(), "a value line of another shape");
            arguments[cells[3].substr(0, cells[3].find(L'.'))].push_back(
                {Number(cells[4]), std::stod(cells[5])});
        }
        closeEvent();
    }

    FuzzedDataProvider& m_input;
    app::HostSession m_session;
    std::size_t m_nSelected = 0;
    std::size_t m_nItems = 0;
    // Per query, the address of each row by its key (its shown text and its rank among equal ones).
    std::array<std::map<std::wstring, const void*>, kQueryNames.size()> m_rows;
};

std::size_t g_nItems = 0;

void ReportItems()
{
    std::fprintf(stderr, "session: %zu items logged\n", g_nItems);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::atexit(ReportItems);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t size)
{
    // Loaded once: the query objects live as long as the library, as in the host.
    static const std::shared_ptr<app::PluginLibrary> s_pPlugin = []
    {
        std::string error;
        std::shared_ptr<app::PluginLibrary> pPlugin = app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error);
        Require(pPlugin != nullptr, "the plug-in cannot be loaded");
        return pPlugin;
    }();
    const std::size_t windowsBefore = LiveWindowCount();
    FuzzedDataProvider input(pData, size);
    {
        Session session(s_pPlugin, input);
        while (input.remaining_bytes() > 0)
            session.Step();
        g_nItems += session.Items();
    }
    Require(LiveWindowCount() == windowsBefore, "a window outlived its session");
    Require(NyLcRow::LiveCount() == 0, "a row reference outlived its session");
    return 0;
}
