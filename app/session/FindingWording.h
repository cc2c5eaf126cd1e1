// What is wrong with an item that statistics marked out of sync, in words, from the project model.
// Which items were marked, and by which statistics, is the plug-in's to say; this only names the
// fault and the ids concerned, and credits each fault to those of the marking statistics whose
// rules it breaks.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/formats/Findings.h"
#include "host/base/Guid.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

class Project;

namespace app
{

// The three statistics as bits, in the order of the plug-in's registry (kQueryNames).
namespace stat
{
inline constexpr std::uint32_t kDistribution = 1;
inline constexpr std::uint32_t kPaths = 2;
inline constexpr std::uint32_t kAdded = 4;
inline constexpr std::uint32_t kAll = kDistribution | kPaths | kAdded;
} // namespace stat

// The kinds of fault, in the order the summary lists them.
enum class Fault
{
    NullEvent,
    MissingEvent,
    NoDialogueEvent,
    ArgumentCount,
    MissingValue,
    UnlistedValue,
    ArgumentListsMissing,
    // The statistics marked the item, yet the project shows none of the faults above.
    Unexplained,
};
inline constexpr std::size_t kFaultKinds = 8;

struct WordedFault
{
    Fault fault = Fault::Unexplained;
    // The statistics (stat bits) that marked the item for this fault.
    std::uint32_t statistics = 0;
    std::string what;
    std::vector<std::string> ids;
};

class FindingWording
{
public:
    explicit FindingWording(const Project& project) : m_project(project) {}

    // The faults of an item that the statistics in `marked` marked out of sync, in the order the
    // statistics meet them. Call it for every marked item in capture order: some faults are told
    // only the first time. The project does not change during a session, so every such first time
    // is itself a marked item, and unmarked items need not be seen.
    std::vector<WordedFault> Word(const CaptureItem& item, std::uint32_t marked);

    static const char* Sentence(Fault fault);

private:
    void WordValues(const DialogueResolved& item, const std::vector<GUID>& arguments, std::uint32_t marked,
                    std::vector<WordedFault>& faults);
    bool Has(const GUID& id) const;

    // An argument position of an event, or a value chosen there.
    struct ArgumentKey
    {
        GUID event;
        std::size_t position = 0;
        GUID value;
    };
    struct ArgumentKeyLess
    {
        bool operator()(const ArgumentKey& a, const ArgumentKey& b) const;
    };

    const Project& m_project;
    // Argument positions whose listed values were looked up already (value null).
    std::set<ArgumentKey, ArgumentKeyLess> m_initialised;
    // Unlisted values met already.
    std::set<ArgumentKey, ArgumentKeyLess> m_unlisted;
};

// Statistic names of the bits, joined in registry order.
std::vector<std::string> StatisticNames(std::uint32_t statistics);

} // namespace app
