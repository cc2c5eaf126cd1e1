#include "app/cli/ViewCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/Progress.h"
#include "app/cli/StandardOutput.h"
#include "app/cli/StatsCommand.h"
#include "app/session/Gathering.h"
#include "app/session/SessionInput.h"
#include "app/terminal/CursesScreen.h"
#include "app/terminal/TerminalView.h"
#include "host/base/TextCodec.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

namespace app
{

namespace
{

constexpr std::string_view kHelp =
    R"(Usage: tally view --project FILE --capture FILE|- [--snapshot] [--query NAME] [--size COLSxROWS]

The statistics view in the terminal, gathering live while the capture plays ("Update automatically"
on). With - the capture is read from standard input as it arrives, and keys from the terminal.

  --project FILE      the project (JSON)
  --capture FILE|-    the capture (JSON Lines)
  --snapshot          print one frame as plain text after the whole capture, and exit
  --query NAME        the query to show first
  --size COLSxROWS    the size of the view (default: the terminal's, or 120x40)
  --help              this text

Keys:
  Tab, Shift-Tab      next, previous control
  Up, Down            combo box: the previous, next query; list: move the selection
  PgUp, PgDn, Home, End
                      list: move the selection by a page, to the first or last row
  Left, Right         list: choose a column
  Enter, Space        press a button, toggle a check box, open the query list (Enter picks)
  s                   list: sort by the chosen column; again: the other direction
  /                   list: type a filter for the chosen column (~text =v <v <=v >v >=v;
                      plain text: contains; empty: no filter), Enter applies, Esc cancels,
                      Ctrl-U empties the line
  w                   copy the results and save them to a file (asks for the path)
  Ctrl-Z              suspend (fg resumes)
  q, Ctrl-C           quit

Copy Results also puts the text on the terminal's clipboard (OSC 52).
)";

constexpr std::array<OptionSpec, 5> kOptions = {{
    {"project"},
    {"capture"},
    {"snapshot", false},
    {"query"},
    {"size"},
}};

// Projects from this size on take long enough to read that a user should see why nothing shows yet.
constexpr std::size_t kLargeProject = 4u << 20;
constexpr auto kFrameInterval = std::chrono::milliseconds(40);
constexpr std::size_t kReadBlock = 64 * 1024;

struct ViewOptions
{
    std::string project;
    std::string capture;
    bool bSnapshot = false;
    std::optional<std::wstring> query;
    std::optional<TerminalSize> size;
};

Gathering::ViewSize ViewSizeOf(const TerminalSize& size)
{
    // The last row is the view's status line.
    return {size.cols * TerminalView::kCellWidth, (size.rows - 1) * TerminalView::kCellHeight};
}

// A line on the terminal while a large project is read, before the view can start; gone once read.
class LoadingLine
{
public:
    explicit LoadingLine(const SessionInput& input)
        : m_bShown(input.projectBytes >= kLargeProject && isatty(STDERR_FILENO) == 1)
    {
        if (!m_bShown)
            return;
        std::fprintf(stderr, "tally: reading project %s (%zu MB)...", input.projectName.c_str(),
                     input.projectBytes >> 20);
        std::fflush(stderr);
    }
    ~LoadingLine()
    {
        if (!m_bShown)
            return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    LoadingLine(const LoadingLine&) = delete;
    LoadingLine& operator=(const LoadingLine&) = delete;

private:
    bool m_bShown;
};

// The session gathers live in a view of the terminal's size, on the query asked for.
std::unique_ptr<Gathering> GatherInView(std::unique_ptr<HostSession> pSession, const ViewOptions& options,
                                        const TerminalSize& size)
{
    auto pGathering = std::make_unique<Gathering>(std::move(pSession), Replay::Live, ViewSizeOf(size));
    if (options.query)
        pGathering->Select(*options.query);
    return pGathering;
}

int Snapshot(std::unique_ptr<HostSession> pSession, const SessionInput& input, const ViewOptions& options)
{
    const TerminalSize size = options.size.value_or(TerminalSize{});
    const std::unique_ptr<Gathering> pGathering = GatherInView(std::move(pSession), options, size);
    Gathering& gathering = *pGathering;
    std::size_t items = 0;
    CaptureStatus status;
    {
        ProgressLine progress;
        status = gathering.LogCapture(input.captures.front().read,
                                      [&](const CaptureItem&, std::size_t) { progress.Tick(++items); });
    }
    if (!status.Ok())
    {
        std::fprintf(stderr, "%s\n", CaptureErrorLine(input.captures.front(), status).c_str());
        return kExitBadInput;
    }
    TerminalView view(gathering.Session());
    view.SetCaptureState(L"capture complete: " + std::to_wstring(items) + L" items");
    Canvas canvas(size.cols, size.rows);
    view.Draw(canvas);
    const std::string text = canvas.PlainText();
    return WriteStandardOutput(text);
}

// The interactive view: the capture is read as it arrives, keys as they are typed, and a frame drawn
// whenever something changed, at most every kFrameInterval while items stream in.
class LiveView
{
public:
    LiveView(Gathering& gathering, const SessionInput& input, CursesScreen& screen, int captureFd,
             int keyboardFd)
        : m_gathering(gathering), m_input(input), m_screen(screen), m_nCaptureFd(captureFd),
          m_nKeyboardFd(keyboardFd), m_view(gathering.Session()),
          m_parser([this](const CaptureItem& item, std::size_t) { OnItem(item); })
    {
    }

    // The exit status: a capture that failed gives 2, after the user has seen the statistics.
    int Run(const ViewOptions& options, TerminalSize size)
    {
        m_gathering.StartCapture();
        UpdateCaptureState();
        bool bDirty = true;
        auto lastFrame = std::chrono::steady_clock::now() - kFrameInterval;
        for (;;)
        {
            const auto now = std::chrono::steady_clock::now();
            if (bDirty && (!m_bCapturing || now - lastFrame >= kFrameInterval))
            {
                Canvas canvas(size.cols, size.rows);
                m_view.Draw(canvas);
                m_screen.Show(canvas);
                if (const std::optional<std::string> copied = m_view.TakeCopied())
                    m_screen.SendClipboard(*copied);
                lastFrame = now;
                bDirty = false;
            }

            std::array<pollfd, 2> fds{{{m_nKeyboardFd, POLLIN, 0}, {m_nCaptureFd, POLLIN, 0}}};
            const nfds_t count = m_bCapturing ? 2 : 1;
            const int timeout = bDirty ? static_cast<int>(kFrameInterval.count()) : -1;
            // A signal (the terminal resized) ends the wait too; curses then has the resize as a key.
            const int ready = poll(fds.data(), count, timeout);
            if (ready < 0 || (fds[0].revents & POLLIN))
            {
                if (!HandleKeys(options, size))
                    break;
                bDirty = true;
            }
            else if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR)))
                break; // the terminal went away
            if (m_bCapturing && ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            {
                ReadCapture();
                bDirty = true;
            }
        }
        if (m_bCapturing)
            EndCapture();
        return m_error.empty() ? kExitOk : kExitBadInput;
    }

    const std::string& Error() const { return m_error; }

private:
    void OnItem(const CaptureItem& item)
    {
        m_gathering.Log(item);
        ++m_nItems;
    }

    // False when a key asks to quit.
    bool HandleKeys(const ViewOptions& options, TerminalSize& size)
    {
        while (const std::optional<Key> key = m_screen.ReadKey())
        {
            if (key->code == Key::Suspend)
                m_screen.Suspend();
            else if (key->code == Key::Resize)
            {
                if (options.size)
                    continue; // a fixed size stays, the terminal shows what fits
                size = m_screen.Size();
                const Gathering::ViewSize view = ViewSizeOf(size);
                m_gathering.Session().ResizeView(view.widthPx, view.heightPx);
            }
            else if (!m_view.HandleKey(*key))
                return false;
        }
        return true;
    }

    void ReadCapture()
    {
        std::vector<char> buffer(kReadBlock);
        const ssize_t length = read(m_nCaptureFd, buffer.data(), buffer.size());
        if (length < 0)
            return;
        const bool bOk =
            length == 0 ? m_parser.Finish()
                        : m_parser.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
        if (length == 0 || !bOk)
            EndCapture();
        UpdateCaptureState();
    }

    void EndCapture()
    {
        m_bCapturing = false;
        m_gathering.StopCapture();
        if (!m_parser.Status().Ok())
            m_error = CaptureErrorLine(m_input.captures.front(), m_parser.Status());
    }

    void UpdateCaptureState()
    {
        std::wstring state = m_bCapturing ? L"capturing: " : L"capture complete: ";
        state += std::to_wstring(m_nItems) + L" items";
        if (!m_error.empty())
            state = text::FromUtf8(m_error) + L" (statistics kept)";
        m_view.SetCaptureState(state);
    }

    Gathering& m_gathering;
    const SessionInput& m_input;
    CursesScreen& m_screen;
    int m_nCaptureFd;
    int m_nKeyboardFd;
    TerminalView m_view;
    CaptureParser m_parser;
    bool m_bCapturing = true;
    std::size_t m_nItems = 0;
    std::string m_error;
};

// A descriptor closed when the object goes.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd, bool bOwned) : m_nFd(fd), m_bOwned(bOwned) {}
    ~FileDescriptor()
    {
        if (m_bOwned && m_nFd >= 0)
            close(m_nFd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_nFd; }

private:
    int m_nFd;
    bool m_bOwned;
};

int Interactive(std::unique_ptr<HostSession> pSession, const SessionInput& input, const ViewOptions& options)
{
    const bool bCaptureOnStdin = options.capture == "-";
    FileDescriptor capture(bCaptureOnStdin ? STDIN_FILENO
                                           : open(options.capture.c_str(), O_RDONLY | O_CLOEXEC),
                           !bCaptureOnStdin);
    if (capture.Get() < 0)
    {
        std::fprintf(stderr, "tally: %s: cannot be read\n", options.capture.c_str());
        return kExitBadInput;
    }
    // Keys come from the terminal itself when standard input carries the capture.
    const bool bKeysOnStdin = !bCaptureOnStdin && isatty(STDIN_FILENO);
    FileDescriptor keyboard(bKeysOnStdin ? STDIN_FILENO : open("/dev/tty", O_RDWR | O_CLOEXEC),
                            !bKeysOnStdin);
    if (keyboard.Get() < 0 || !isatty(keyboard.Get()) || !isatty(STDOUT_FILENO))
    {
        std::fputs("tally: the view needs a terminal; --snapshot prints a frame without one\n", stderr);
        return kExitEnvironment;
    }

    int exitCode = kExitOk;
    std::string error;
    {
        std::unique_ptr<CursesScreen> pScreen = CursesScreen::Open(keyboard.Get(), STDOUT_FILENO, error);
        if (!pScreen)
        {
            std::fprintf(stderr, "tally: %s\n", error.c_str());
            return kExitEnvironment;
        }
        const TerminalSize size = options.size.value_or(pScreen->Size());
        const std::unique_ptr<Gathering> pGathering = GatherInView(std::move(pSession), options, size);
        LiveView view(*pGathering, input, *pScreen, capture.Get(), keyboard.Get());
        exitCode = view.Run(options, size);
        error = view.Error();
    }
    if (!error.empty())
        std::fprintf(stderr, "%s\n", error.c_str());
    return exitCode;
}

ViewOptions ReadOptions(const ParsedOptions& parsed)
{
    ViewOptions options;
    options.project = parsed.Require("project");
    options.capture = parsed.Require("capture");
    options.bSnapshot = parsed.Has("snapshot");
    if (std::optional<std::string> query = parsed.Get("query"))
        options.query = ParseQueryName(*query);
    if (std::optional<std::string> size = parsed.Get("size"))
        options.size = ParseSize(*size);
    return options;
}

} // namespace

int ViewCommand(std::span<const std::string> args)
{
    ViewOptions options;
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kOptions);
        if (parsed.Has("help"))
        {
            return WriteStandardOutput(kHelp);
        }
        options = ReadOptions(parsed);
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "tally: %s\nTry 'tally view --help'.\n", error.what());
        return kExitBadInput;
    }

    const SessionInput input = SessionInput::FromFiles(options.project, {options.capture});
    SessionStart start = [&input]
    {
        const LoadingLine loading(input);
        return StartSession(input);
    }();
    if (!start.pSession)
    {
        std::fprintf(stderr, "%s\n", start.error.c_str());
        return start.exitCode;
    }
    return options.bSnapshot ? Snapshot(std::move(start.pSession), input, options)
                             : Interactive(std::move(start.pSession), input, options);
}

} // namespace app
