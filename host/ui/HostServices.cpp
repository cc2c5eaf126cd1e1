#include "host/ui/HostServices.h"

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
    if (text == nullptr)
        return false;
    m_text = text;
    ++m_nSets;
    return true;
}
