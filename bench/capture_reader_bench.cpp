// Throughput of the capture reader on a generated capture, from memory and from a file, beside a
// general JSON library reading the same lines; and of the generator writing one.
#include "app/formats/CaptureReader.h"
#include "app/generate/Generator.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace
{

// About 100 MB: 600000 items over 2000 events.
const std::string& Capture()
{
    static const std::string text = app::Generator({2000, 600000, 42}).CaptureJsonl();
    return text;
}

// The capture written to a temporary file on first use, and removed when the program ends.
class CaptureOnDisk
{
public:
    CaptureOnDisk() : m_path((std::filesystem::temp_directory_path() / "tally_capture_bench.jsonl").string())
    {
        std::ofstream(m_path, std::ios::binary) << Capture();
    }
    ~CaptureOnDisk()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    CaptureOnDisk(const CaptureOnDisk&) = delete;
    CaptureOnDisk& operator=(const CaptureOnDisk&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const std::string& CaptureFile()
{
    static const CaptureOnDisk file;
    return file.Path();
}

struct Tally
{
    std::size_t resolutions = 0;
    std::size_t values = 0;
    std::uint64_t reasons = 0;

    void operator()(const app::CaptureItem& item, std::size_t)
    {
        if (const auto* p = std::get_if<app::DialogueResolved>(&item))
        {
            ++resolutions;
            values += p->values.size();
        }
        else if (const auto* p = std::get_if<app::ObjectNotification>(&item))
        {
            reasons += p->reason;
        }
    }
};

void Report(benchmark::State& state, std::size_t bytes, const Tally& tally)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["items/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 600000.0, benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(tally.values);
}

void BM_CaptureReaderMemory(benchmark::State& state)
{
    const std::string& text = Capture();
    Tally tally;
    for (auto _ : state)
    {
        const app::CaptureStatus status = app::ParseCapture(text, std::ref(tally));
        if (!status.Ok())
            state.SkipWithError(status.error.c_str());
    }
    Report(state, text.size(), tally);
}
BENCHMARK(BM_CaptureReaderMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CaptureReaderFile(benchmark::State& state)
{
    const std::string& path = CaptureFile();
    Tally tally;
    for (auto _ : state)
    {
        const app::CaptureStatus status = app::ReadCaptureFile(path, std::ref(tally));
        if (!status.Ok())
            state.SkipWithError(status.error.c_str());
    }
    Report(state, Capture().size(), tally);
}
BENCHMARK(BM_CaptureReaderFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same lines, each parsed into a document and its fields read.
void BM_NlohmannLines(benchmark::State& state)
{
    const std::string& text = Capture();
    Tally tally;
    for (auto _ : state)
    {
        for (std::size_t at = 0; at < text.size();)
        {
            const std::size_t end = text.find('\n', at);
            const nlohmann::json item =
                nlohmann::json::parse(text.begin() + static_cast<std::ptrdiff_t>(at),
                                      text.begin() + static_cast<std::ptrdiff_t>(end));
            const int type = item.at("type").get<int>();
            if (type == 34)
            {
                ++tally.resolutions;
                tally.values += item.at("values").size();
                benchmark::DoNotOptimize(item.at("event").is_string());
            }
            else if (type == 1)
            {
                tally.reasons += item.at("reason").get<std::uint32_t>();
            }
            at = end + 1;
        }
    }
    Report(state, text.size(), tally);
}
BENCHMARK(BM_NlohmannLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GeneratorCapture(benchmark::State& state)
{
    const app::Generator generator({2000, 600000, 42});
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        bytes = 0;
        generator.WriteCapture(
            [&](std::string_view block)
            {
                bytes += block.size();
                return true;
            });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_GeneratorCapture)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
