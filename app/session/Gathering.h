// Gathering the statistics of a capture over a project, as `stats` and `view` both do: the session
// opened on the project, the capture logged as one logger session, and the statistics then reached
// through the view as a user reaches them.
//
// Live (the default), the view is open and "EnableStats" on from the start, so the statistics gather
// while the items are logged; select the first statistic before logging, so that its list settings
// apply as it fills. In the Run replay the items are logged with nobody listening, and each
// selection opens the view if needed and presses Run, which replays the log into that statistic.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/session/HostSession.h"
#include "app/session/SessionInput.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace app
{

enum class Replay
{
    // Gathered live while the capture is logged, with the view open.
    Live,
    // Logged first, then gathered by Run.
    Run,
};

// The list controls of the selected statistic; null where it has none.
struct StatisticLists
{
    BaseFilteredListControl* pMain = nullptr;
    // The value list of "Dialogue Events Distribution".
    BaseFilteredListControl* pValues = nullptr;
};

class Gathering
{
public:
    // The view's size in pixels.
    struct ViewSize
    {
        int widthPx = 0;
        int heightPx = 0;
    };
    // The view of a command that prints rather than draws: the size of a default terminal, 120 x 40
    // cells of 7 x 15 pixels, so that what it reads is what `tally view` would show.
    static constexpr ViewSize kPrintingView{120 * 7, 40 * 15};

    // A gathering ready for its captures; or, when the session could not start, the exit status and
    // the line for stderr (see StartSession).
    struct Start
    {
        std::unique_ptr<Gathering> pGathering;
        int exitCode = 0;
        std::string error;
    };
    static Start Open(const SessionInput& input, PluginLoad plugin, Replay replay, ViewSize view);

    // Sets the preferences that the replay needs; live, the view opens too.
    Gathering(std::unique_ptr<HostSession> pSession, Replay replay, ViewSize view);

    Replay GetReplay() const { return m_replay; }
    HostSession& Session() { return *m_pSession; }

    // One capture as one logger session: "LoggerStarted", every item the source hands over,
    // "LoggerStopped" however the reading ends. `onLogged` hears of each item once it is logged.
    CaptureStatus LogCapture(const CaptureSource& source, const CaptureSink& onLogged = {});
    // Several captures as successive logger sessions with "Keep statistics across sessions" on, so
    // that nothing is cleared between them and they gather as their items one after the other would;
    // one capture with it off, as `stats` has always run. Stops at the first capture that fails.
    struct Logged
    {
        CaptureStatus status;
        // The capture that failed, when one did.
        std::size_t failed = 0;
    };
    // Hears of each item once it is logged, with the position of its capture among the sources.
    using SessionSink = std::function<void(std::size_t capture, const CaptureItem& item, std::size_t line)>;
    Logged LogCaptures(std::span<const CaptureSource> sources, const SessionSink& onLogged = {});
    // The same for items that arrive piece by piece, as a live feed's do.
    void StartCapture() { m_pSession->StartLogger(); }
    void Log(const CaptureItem& item) { m_pSession->Log(item); }
    void StopCapture() { m_pSession->StopLogger(); }

    // Selects the statistic in the view as a user does (in the Run replay, and presses Run); false
    // when the selector offers no such name.
    bool Select(std::wstring_view query);
    std::wstring Selected() const { return m_pSession->SelectedQuery(); }
    StatisticLists Lists() const;
    // Presses Clear, which empties every statistic, as a user does between two runs of a game.
    void Clear();
    // Copy Results of the selected statistic; null when it copies nothing ("None").
    const std::wstring* CopyResults() { return m_pSession->CopyResults(); }
    // The out-of-sync warning of the selected statistic, when the view shows it.
    std::optional<std::wstring> Warning() const;

private:
    std::unique_ptr<HostSession> m_pSession;
    Replay m_replay;
    ViewSize m_view;
};

} // namespace app
