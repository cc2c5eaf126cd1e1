// Small host services: help topics, the wait cursor and the clipboard (service 117).
#pragma once

#include "host/services/ServiceProvider.h"

#include <string>

// Opens the help topic; the host remembers the last one opened.
void DisplayHelp(int topic);
int LastHelpTopic();

// Shows the wait cursor while it exists.
class NYAutoWaitCursor
{
public:
    NYAutoWaitCursor();
    ~NYAutoWaitCursor();
    NYAutoWaitCursor(const NYAutoWaitCursor&) = delete;
    NYAutoWaitCursor& operator=(const NYAutoWaitCursor&) = delete;

    static int Depth();
};

class IClipboardService : public IServiceBase
{
public:
    // Puts the whole NUL-terminated text on the clipboard.
    virtual bool SetClipboardText(const wchar_t* text) = 0;

protected:
    ~IClipboardService() = default;
};

// Keeps the text as the clipboard would.
class ClipboardService : public IClipboardService
{
public:
    bool Initialize() override { return true; }
    bool Terminate() override { return true; }
    void Destroy() override {}
    bool SetClipboardText(const wchar_t* text) override;
    // The same for a text the caller gives up, which then is not copied.
    bool TakeClipboardText(std::wstring&& text);

    const std::wstring& Text() const { return m_text; }
    int SetCount() const { return m_nSets; }

private:
    std::wstring m_text;
    int m_nSets = 0;
};
