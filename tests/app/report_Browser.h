// Headless chromium for the report's tests: each run gets a fresh profile and a time limit.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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
    // Opens the page with a probe appended (ProbeScript) and returns what it recorded; nullopt, with
    // the test failed and the DOM shown, when it recorded nothing.
    std::optional<nlohmann::json> Probe(const std::filesystem::path& page);
    // Whether a PNG of the page's first screen was written.
    bool Screenshot(const std::filesystem::path& page, const std::filesystem::path& png);

    // A script that runs `body` once the page's own scripts have run; the body fills `result`, which
    // Probe reads back as json.
    static std::string ProbeScript(std::string_view body);

private:
    std::string Run(const std::string& arguments);

    std::filesystem::path m_folder;
    int m_nRuns = 0;
};
