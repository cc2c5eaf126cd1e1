// Explaining a capture: while its items are logged, each item during whose handling some statistic
// marked itself out of sync becomes one finding per fault, credited to the statistics that marked it.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/formats/Findings.h"
#include "app/session/FindingWording.h"
#include "app/session/HostSession.h"
#include "app/session/StatisticWatch.h"

#include <optional>
#include <string>
#include <vector>

namespace app
{

class Explanation
{
public:
    // Watches the three statistics of the session's open project; start before the items are logged.
    explicit Explanation(HostSession& session);

    // Hears an item once it is logged: the capture's name and the item's line in it.
    void OnLogged(const std::string& file, const CaptureItem& item, std::size_t line);

    // Closes the watching views, so that the statistics may be shown elsewhere; nothing more is heard.
    void Stop() { m_watch.reset(); }

    bool Watching() const { return m_watch && m_watch->Watching(); }

    // The findings so far, and a summary line per fault: how many items showed it.
    formats::Findings Findings() const;

private:
    std::optional<StatisticWatch> m_watch;
    FindingWording m_wording;
    std::vector<formats::Finding> m_findings;
    // Per finding, its kind of fault and the number of its item among the marked ones, for the summary.
    struct Counted
    {
        Fault fault;
        std::size_t item = 0;
    };
    std::vector<Counted> m_counted;
    std::size_t m_markedItems = 0;
};

} // namespace app
