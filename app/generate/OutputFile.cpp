#include "app/generate/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace app
{

namespace
{

// The temporary files being written, as the signal handler reads them: it may only read plain memory
// and call unlink, so the names live in fixed buffers, and a slot counts as used only once its name
// is whole.
struct PendingFile
{
    std::array<char, 4096> name{};
    volatile std::sig_atomic_t bUsed = 0;
};
std::array<PendingFile, 4> g_pending;

void RemovePendingAndStop(int signal)
{
    for (const PendingFile& file : g_pending)
    {
        if (file.bUsed)
            unlink(file.name.data());
    }
    // The program then ends as the signal would have ended it, so that the shell sees the interrupt.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallHandlers()
{
    static bool bInstalled = false;
    if (std::exchange(bInstalled, true))
        return;
    for (const int signal : {SIGINT, SIGTERM})
    {
        struct sigaction previous
        {
        };
        sigaction(signal, nullptr, &previous);
        // A program started to ignore the signal (nohup, a background job of some shells) keeps to it.
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action
        {
        };
        action.sa_handler = RemovePendingAndStop;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

// The slot that now names the file, or -1 when none is free or the name does not fit.
int Remember(const std::string& name)
{
    InstallHandlers();
    for (std::size_t index = 0; index < g_pending.size(); ++index)
    {
        PendingFile& file = g_pending[index];
        if (file.bUsed || name.size() >= file.name.size())
            continue;
        std::memcpy(file.name.data(), name.c_str(), name.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        file.bUsed = 1;
        return static_cast<int>(index);
    }
    return -1;
}

void Forget(int slot)
{
    if (slot >= 0)
        g_pending[static_cast<std::size_t>(slot)].bUsed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

} // namespace

std::string OutputFile::Place(const std::string& target)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved.string();
}

OutputFile::OutputFile(const std::string& target)
{
    if (target == "-")
    {
        m_nFd = STDOUT_FILENO;
        return;
    }
    m_place = Place(target);

    m_bOwned = true;
    struct stat info
    {
    };
    if (::stat(m_place.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    {
        // A device or a pipe: nothing to keep whole, and a rename would put a plain file in its place.
        m_nFd = ::open(m_place.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_nFd < 0)
            Fail();
        return;
    }
    const std::filesystem::path place(m_place);
    m_temporary =
        (place.parent_path() / ("." + place.filename().string() + ".tally-" + std::to_string(getpid())))
            .string();
    // Remembered before it exists, so that no signal can come between and leave it behind.
    m_nSlot = Remember(m_temporary);
    m_nFd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_nFd < 0)
    {
        Fail();
        Forget(std::exchange(m_nSlot, -1));
        m_temporary.clear();
    }
}

OutputFile::~OutputFile()
{
    if (m_bOwned && m_nFd >= 0)
        ::close(m_nFd);
    if (!m_temporary.empty())
    {
        ::unlink(m_temporary.c_str());
        Forget(m_nSlot);
    }
}

bool OutputFile::Write(std::string_view block)
{
    while (!block.empty())
    {
        const ssize_t written = ::write(m_nFd, block.data(), block.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return Fail();
        if (written == 0)
        {
            m_error = "short write";
            return false;
        }
        block.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool OutputFile::Commit()
{
    // Some file systems report a failed write only when the file is closed.
    if (m_bOwned && ::close(std::exchange(m_nFd, -1)) != 0)
        return Fail();
    if (m_temporary.empty())
        return true;
    if (std::rename(m_temporary.c_str(), m_place.c_str()) != 0)
        return Fail();
    Forget(std::exchange(m_nSlot, -1));
    m_temporary.clear();
    return true;
}

bool OutputFile::Fail()
{
    m_error = std::strerror(errno);
    return false;
}

} // namespace app
