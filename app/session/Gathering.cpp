#include "app/session/Gathering.h"

namespace app
{

Gathering::Start Gathering::Open(const SessionInput& input, PluginLoad plugin, Replay replay, ViewSize view)
{
    SessionStart session = StartSession(input, std::move(plugin));
    Start start;
    if (!session.pSession)
    {
        start.exitCode = session.exitCode;
        start.error = std::move(session.error);
        return start;
    }
    start.pGathering = std::make_unique<Gathering>(std::move(session.pSession), replay, view);
    return start;
}

Gathering::Gathering(std::unique_ptr<HostSession> pSession, Replay replay, ViewSize view)
    : m_pSession(std::move(pSession)), m_replay(replay), m_view(view)
{
    m_pSession->SetPreference(L"EnableStats", m_replay == Replay::Live);
    m_pSession->SetPreference(L"KeepStatsAcrossRuns", false);
    if (m_replay == Replay::Live)
        m_pSession->OpenView(m_view.widthPx, m_view.heightPx);
}

CaptureStatus Gathering::LogCapture(const CaptureSource& source, const CaptureSink& onLogged)
{
    StartCapture();
    const CaptureStatus status = source(
        [&](const CaptureItem& item, std::size_t line)
        {
            Log(item);
            if (onLogged)
                onLogged(item, line);
        });
    StopCapture();
    return status;
}

Gathering::Logged Gathering::LogCaptures(std::span<const CaptureSource> sources, const SessionSink& onLogged)
{
    m_pSession->SetPreference(L"KeepStatsAcrossRuns", sources.size() > 1);
    Logged logged;
    for (; logged.failed < sources.size(); ++logged.failed)
    {
        const std::size_t capture = logged.failed;
        CaptureSink onItem;
        if (onLogged)
            onItem = [&onLogged, capture](const CaptureItem& item, std::size_t line)
            {
                onLogged(capture, item, line);
            };
        logged.status = LogCapture(sources[capture], onItem);
        if (!logged.status.Ok())
            break;
    }
    return logged;
}

void Gathering::Clear()
{
    if (!m_pSession->HasView())
        m_pSession->OpenView(m_view.widthPx, m_view.heightPx);
    m_pSession->Click(ctl::kClear);
}

bool Gathering::Select(std::wstring_view query)
{
    if (!m_pSession->HasView())
        m_pSession->OpenView(m_view.widthPx, m_view.heightPx);
    if (!m_pSession->ChooseQuery(query))
        return false;
    if (m_replay == Replay::Run)
        m_pSession->Click(ctl::kRun);
    return true;
}

StatisticLists Gathering::Lists() const
{
    return {m_pSession->ResultList(ctl::kMainList), m_pSession->ResultList(ctl::kValueList)};
}

std::optional<std::wstring> Gathering::Warning() const
{
    if (!m_pSession->WarningShown())
        return std::nullopt;
    return m_pSession->WarningText();
}

} // namespace app
