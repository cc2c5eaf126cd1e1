// A progress line on stderr while a long piece of work runs; only when stderr is a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace app
{

class ProgressLine
{
public:
    // "tally: WHAT, N UNIT", and with a total "tally: WHAT, N of TOTAL UNIT (P%)".
    explicit ProgressLine(std::string what = "reading capture", std::string unit = "items",
                          std::size_t total = 0);
    // Clears the line if one was shown.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Cheap enough to call per item: the clock is read only every few thousand items.
    void Tick(std::size_t done)
    {
        if (m_bEnabled && (done & 0xFFF) == 0)
            Update(done);
    }
    // For counts that arrive in larger steps: redraws the line a few times a second at most.
    void Update(std::size_t done);

private:
    bool m_bEnabled;
    bool m_bShown = false;
    std::string m_what;
    std::string m_unit;
    std::size_t m_total;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
};

} // namespace app
