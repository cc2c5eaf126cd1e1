// A synthetic project and capture with the shapes of real data, reproducible from a seed: the same
// options give the same bytes on every machine and library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace app
{

// Beyond these a run is refused before anything is made: the model in memory grows with the events,
// the files with both.
inline constexpr std::uint64_t kMostEvents = 1'000'000;
inline constexpr std::uint64_t kMostItems = 100'000'000;

struct GeneratorOptions
{
    std::uint64_t events = 20;
    std::uint64_t items = 1000;
    std::uint64_t seed = 1;
};

// Receives the text in blocks of about 1 MiB; returns false to stop (a write failed).
using TextWriter = std::function<bool(std::string_view block)>;

class Generator
{
public:
    explicit Generator(const GeneratorOptions& options);
    ~Generator();
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    // The project: folders, arguments with their values, dialogue events with their target entries,
    // and the containers and sounds that the entries reach, some with child sounds.
    bool WriteProject(const TextWriter& write) const;
    // Exactly `items` lines: resolutions (some resolve-only, a few with wildcards or stale ids), plays
    // of targets and of objects below them, notifications of other reasons and items of other kinds.
    bool WriteCapture(const TextWriter& write) const;

    std::string ProjectJson() const;
    std::string CaptureJsonl() const;
    // The lines of the project's text.
    std::uint64_t ProjectLines() const;

    // The most bytes that the files can take, up to the limits above: every line at its longest.
    static std::uint64_t MostProjectBytes(std::uint64_t events);
    static std::uint64_t MostCaptureBytes(std::uint64_t items);

    struct Model;

private:
    GeneratorOptions m_options;
    std::unique_ptr<Model> m_pModel;
};

} // namespace app
