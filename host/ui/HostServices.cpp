#include "host/ui/HostServices.h"

#include <cwchar>

namespace
{
int g_nLastHelpTopic = 0;
int g_nWaitCursorDepth = 0;
} // namespace

void DisplayHelp(int topic)
{
    g_nLastHelpTopic = topic;
}

int LastHelpTopic()
{
    return g_nLastHelpTopic;
}

NYAutoWaitCursor::NYAutoWaitCursor()
{
    ++g_nWaitCursorDepth;
}

NYAutoWaitCursor::~NYAutoWaitCursor()
{
    --g_nWaitCursorDepth;
}

int NYAutoWaitCursor::Depth()
{
    return g_nWaitCursorDepth;
}

bool ClipboardService::SetClipboardText(const wchar_t* text)
{
    return text != nullptr && TakeClipboardText(std::wstring(text));
}

bool ClipboardService::TakeClipboardText(std::wstring&& text)
{
    // As handed over by its characters: up to the first null.
    text.resize(std::wcslen(text.c_str()));
    m_text = std::move(text);
    ++m_nSets;
    return true;
}
