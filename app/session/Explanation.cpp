#include "app/session/Explanation.h"

#include "app/session/ControlIds.h"

#include <map>
#include <utility>

namespace app
{

namespace
{
const Project& OpenProject(HostSession& session)
{
    return *session.Environment().GetProject();
}
} // namespace

Explanation::Explanation(HostSession& session)
    : m_watch(std::in_place, session,
              std::vector<std::wstring>(std::begin(kQueryNames), std::end(kQueryNames))),
      m_wording(OpenProject(session))
{
}

void Explanation::OnLogged(const std::string& file, const CaptureItem& item, std::size_t line)
{
    if (!m_watch)
        return;
    const StatisticSet marked = m_watch->TakeMarked();
    if (marked == 0)
        return;
    ++m_markedItems;
    for (WordedFault& worded : m_wording.Word(item, marked))
    {
        m_findings.push_back(
            {file, line, StatisticNames(worded.statistics), std::move(worded.what), std::move(worded.ids)});
        m_counted.push_back({worded.fault, m_markedItems});
    }
}

formats::Findings Explanation::Findings() const
{
    formats::Findings findings;
    findings.findings = m_findings;
    // Per fault and wording (the argument counts are part of it), the items that showed it: an item
    // with the fault twice counts once.
    struct Tally
    {
        std::uint64_t items = 0;
        std::size_t lastItem = 0;
    };
    std::map<std::pair<Fault, std::string>, Tally> tallies;
    for (std::size_t index = 0; index < m_findings.size(); ++index)
    {
        Tally& tally = tallies[{m_counted[index].fault, m_findings[index].what}];
        if (tally.lastItem != m_counted[index].item)
            ++tally.items;
        tally.lastItem = m_counted[index].item;
    }
    for (const auto& [kind, tally] : tallies)
        findings.summary.push_back({kind.second, tally.items});
    return findings;
}

} // namespace app
