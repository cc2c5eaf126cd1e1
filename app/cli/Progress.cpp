#include "app/cli/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace app
{

namespace
{
// Small pieces of work end before anyone could read a line.
constexpr auto kFirstShow = std::chrono::milliseconds(300);
constexpr auto kInterval = std::chrono::milliseconds(200);
} // namespace

ProgressLine::ProgressLine(std::string what, std::string unit, std::size_t total)
    : m_bEnabled(isatty(STDERR_FILENO) == 1), m_what(std::move(what)), m_unit(std::move(unit)),
      m_total(total), m_start(std::chrono::steady_clock::now())
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

void ProgressLine::Update(std::size_t done)
{
    if (!m_bEnabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_start < kFirstShow || (m_bShown && now - m_last < kInterval))
        return;
    m_last = now;
    m_bShown = true;
    if (m_total == 0)
        std::fprintf(stderr, "\rtally: %s, %zu %s", m_what.c_str(), done, m_unit.c_str());
    else
        std::fprintf(stderr, "\rtally: %s, %zu of %zu %s (%zu%%)", m_what.c_str(), done, m_total,
                     m_unit.c_str(), done * 100 / m_total);
    std::fflush(stderr);
}

} // namespace app
