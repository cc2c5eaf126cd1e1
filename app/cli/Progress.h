// A progress line on stderr while a large capture loads; only when stderr is a terminal.
#pragma once

#include <chrono>
#include <cstddef>

namespace app
{

class ProgressLine
{
public:
    ProgressLine();
    // Clears the line if one was shown.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Cheap enough to call per item: the clock is read only every few thousand items.
    void Tick(std::size_t items)
    {
        if (m_bEnabled && (items & 0xFFF) == 0)
            Update(items);
    }

private:
    void Update(std::size_t items);

    bool m_bEnabled;
    bool m_bShown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
};

} // namespace app
