// Headless chromium for the report's tests: each run gets a fresh profile and a time limit.
#pragma once

#include <filesystem>
#include <string>

class HeadlessBrowser
{
public:
    HeadlessBrowser();
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Empty when chromium is not where it should be.
    static std::string Executable();

    // A scratch folder removed with the browser.
    const std::filesystem::path& Folder() const { return m_folder; }

    // The page's DOM after its scripts ran; empty when the browser failed or timed out.
    std::string DumpDom(const std::filesystem::path& page);
    // Whether a PNG of the page's first screen was written.
    bool Screenshot(const std::filesystem::path& page, const std::filesystem::path& png);

private:
    std::string Run(const std::string& arguments);

    std::filesystem::path m_folder;
    int m_nRuns = 0;
};
