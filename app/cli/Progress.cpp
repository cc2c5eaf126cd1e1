#include "app/cli/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace app
{

namespace
{
// Small captures load before anyone could read a line.
constexpr auto kFirstShow = std::chrono::milliseconds(300);
constexpr auto kInterval = std::chrono::milliseconds(200);
} // namespace

ProgressLine::ProgressLine()
    : m_bEnabled(isatty(STDERR_FILENO) == 1), m_start(std::chrono::steady_clock::now())
{
}

ProgressLine::~ProgressLine()
{
    if (m_bShown)
    {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void ProgressLine::Update(std::size_t items)
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_start < kFirstShow || (m_bShown && now - m_last < kInterval))
        return;
    m_last = now;
    m_bShown = true;
    std::fprintf(stderr, "\rtally: reading capture, %zu items", items);
    std::fflush(stderr);
}

} // namespace app
