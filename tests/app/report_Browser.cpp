#include "report_Browser.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

// A run that takes longer has hung; timeout ends chromium's whole process group.
constexpr const char* kTimeLimit = "timeout -k 5 90 ";

// Where a probe leaves its json; the dumped DOM escapes it as text.
constexpr std::string_view kResultOpen = "<pre id=\"test-result\">";

void Replace(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

HeadlessBrowser::HeadlessBrowser()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tally-browser-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
        m_folder = pattern;
}

HeadlessBrowser::~HeadlessBrowser()
{
    std::error_code ignored;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ignored);
}

std::string HeadlessBrowser::Executable()
{
    const char* configured = std::getenv("TALLY_CHROMIUM");
    const std::filesystem::path path = configured != nullptr ? configured : "/usr/bin/chromium";
    return std::filesystem::exists(path) ? path.string() : std::string();
}

std::string HeadlessBrowser::Run(const std::string& arguments)
{
    const std::string executable = Executable();
    if (executable.empty() || m_folder.empty())
        return {};
    const std::filesystem::path profile = m_folder / ("profile-" + std::to_string(++m_nRuns));
    const std::string command = kTimeLimit + executable +
                                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                                " --disable-background-networking --disable-component-update --disable-sync"
                                " --hide-scrollbars --user-data-dir='" +
                                profile.string() + "' " + arguments + " 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return {};
    std::string out;
    std::array<char, 65536> buffer;
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        out.append(buffer.data(), got);
    return out;
}

std::string HeadlessBrowser::DumpDom(const std::filesystem::path& page)
{
    return Run("--dump-dom 'file://" + page.string() + "'");
}

std::string HeadlessBrowser::ProbeScript(std::string_view body)
{
    return "<script>\n(() => {\n  const result = {};\n" + std::string(body) +
           "  const pre = document.createElement('pre');\n  pre.id = 'test-result';\n"
           "  pre.textContent = JSON.stringify(result);\n  document.body.append(pre);\n})();\n</script>\n";
}

std::optional<nlohmann::json> HeadlessBrowser::Probe(const std::filesystem::path& page)
{
    const std::string dom = DumpDom(page);
    const std::size_t begin = dom.find(kResultOpen);
    const std::size_t end = dom.find("</pre>", begin);
    if (begin == std::string::npos || end == std::string::npos)
    {
        ADD_FAILURE() << "the probe recorded nothing; the page's DOM:\n" << dom.substr(0, 4000);
        return std::nullopt;
    }
    std::string text = dom.substr(begin + kResultOpen.size(), end - begin - kResultOpen.size());
    Replace(text, "&lt;", "<");
    Replace(text, "&gt;", ">");
    Replace(text, "&nbsp;", "\u00A0");
    Replace(text, "&amp;", "&");
    return nlohmann::json::parse(text);
}

bool HeadlessBrowser::Screenshot(const std::filesystem::path& page, const std::filesystem::path& png)
{
    Run("--window-size=1280,900 --screenshot='" + png.string() + "' 'file://" + page.string() + "'");
    return std::filesystem::exists(png) && std::filesystem::file_size(png) > 0;
}
