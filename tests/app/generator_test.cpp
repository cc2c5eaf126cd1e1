#include "app/formats/CaptureReader.h"
#include "app/formats/ProjectReader.h"
#include "app/generate/GenerateFiles.h"
#include "app/generate/Generator.h"

#include "host/services/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace
{

TEST(Generator, TheSameSeedGivesTheSameBytes)
{
    const app::Generator first({40, 5000, 7});
    const app::Generator again({40, 5000, 7});
    const app::Generator other({40, 5000, 8});
    EXPECT_EQ(first.ProjectJson(), again.ProjectJson());
    EXPECT_EQ(first.CaptureJsonl(), again.CaptureJsonl());
    EXPECT_NE(first.ProjectJson(), other.ProjectJson());
    EXPECT_NE(first.CaptureJsonl(), other.CaptureJsonl());
    // The bytes themselves are fixed: a change of the random stream or of the writing would change
    // every capture that users generated before.
    EXPECT_EQ(
        app::Generator({1, 3, 1}).CaptureJsonl(),
        R"({"time": 18063, "type": 34, "event": "{4930F791-4109-7696-7911-07ECAEE7187F}", "target": "{C64F7C34-7142-1572-B7B8-5D07C0CCD304}", "values": ["{C37361C0-DEDE-0BBA-AFF5-D4E249845310}"]}
{"time": 32743, "type": 34, "event": "{4930F791-4109-7696-7911-07ECAEE7187F}", "target": "{C64F7C34-7142-1572-B7B8-5D07C0CCD304}", "values": ["{C37361C0-DEDE-0BBA-AFF5-D4E249845310}"]}
{"time": 45050, "type": 1, "object": "{6C76EC73-3B38-7029-BC78-993A1D4A4D81}", "reason": 9}
)");
}

// Everything that real data shows, found in a generated pair that reads back without an error.
TEST(Generator, ReadsBackWithTheShapesOfRealData)
{
    constexpr std::uint64_t kItems = 40000;
    const app::Generator generator({60, kItems, 3});
    const app::ProjectReadResult read = app::ParseProject(generator.ProjectJson());
    ASSERT_TRUE(read.Ok()) << read.error;
    const std::unique_ptr<Project> project = app::BuildProject(read.project);
    ASSERT_TRUE(project);

    std::map<std::size_t, int> eventsByArgumentCount;
    std::size_t entriesWithoutTarget = 0, staleEntries = 0, staleValues = 0;
    for (const app::ProjectFileObject& object : read.project.objects)
    {
        if (object.kind == app::ObjectKind::DialogueEvent)
        {
            ++eventsByArgumentCount[object.arguments.size()];
            for (const auto& target : object.targets)
            {
                entriesWithoutTarget += !target;
                staleEntries += target && !project->Find(*target);
            }
        }
        if (object.kind == app::ObjectKind::Argument)
        {
            EXPECT_GE(object.values.size(), 1u);
            EXPECT_LE(object.values.size(), 6u);
            for (const GUID& value : object.values)
                staleValues += !project->Find(value);
        }
    }
    EXPECT_EQ(eventsByArgumentCount.begin()->first, 0u);
    EXPECT_EQ(eventsByArgumentCount.rbegin()->first, 4u);
    EXPECT_GT(entriesWithoutTarget + staleEntries, 0u);

    std::size_t resolutions = 0, resolveOnly = 0, wildcards = 0, unknownEvents = 0, unknownValues = 0;
    std::size_t plays = 0, playsBelowTarget = 0, otherReasons = 0, otherKinds = 0, lastLine = 0;
    std::map<GUID, int, GUIDLess> resolvedTargets;
    const app::CaptureStatus status =
        app::ParseCapture(generator.CaptureJsonl(),
                          [&](const app::CaptureItem& item, std::size_t line)
                          {
                              lastLine = line;
                              if (const auto* p = std::get_if<app::DialogueResolved>(&item))
                              {
                                  ++resolutions;
                                  resolveOnly += p->resolveOnly;
                                  resolvedTargets[p->target]++;
                                  unknownEvents += !project->Find(p->event);
                                  for (const GUID& value : p->values)
                                  {
                                      wildcards += IsNullGuid(value);
                                      unknownValues += !IsNullGuid(value) && !project->Find(value);
                                  }
                              }
                              else if (const auto* p = std::get_if<app::ObjectNotification>(&item))
                              {
                                  const bool played = p->reason == 9 || p->reason == 10;
                                  plays += played;
                                  otherReasons += !played;
                                  const IVObject* pObject = project->Find(p->object);
                                  if (played && pObject && pObject->GetParent() &&
                                      resolvedTargets.count(pObject->GetParent()->GetID()))
                                      ++playsBelowTarget;
                              }
                              else
                              {
                                  const auto kind = std::get<app::OtherItem>(item).kind;
                                  EXPECT_TRUE(kind != 1 && kind != 34);
                                  ++otherKinds;
                              }
                          });
    ASSERT_TRUE(status.Ok()) << status.line << ": " << status.error;
    EXPECT_EQ(status.items, kItems);
    EXPECT_EQ(lastLine, kItems);
    EXPECT_GT(resolutions, kItems / 3);
    EXPECT_GT(plays, resolutions / 2);
    EXPECT_GT(resolveOnly, 0u);
    EXPECT_GT(wildcards, 0u);
    EXPECT_GT(unknownEvents, 0u);
    EXPECT_GT(unknownValues + staleValues, 0u);
    EXPECT_GT(playsBelowTarget, 0u);
    EXPECT_GT(otherReasons, 0u);
    EXPECT_GT(otherKinds, 0u);
    EXPECT_EQ(project->OutstandingReferences(), 0);
}

TEST(Generator, WritesBothFilesOrLeavesThemAsTheyWere)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tally_generator_test";
    std::filesystem::create_directories(dir);
    const std::string projectPath = (dir / "project.json").string();
    const std::string capturePath = (dir / "capture.jsonl").string();
    const app::GeneratorOptions options{10, 3000, 11};
    const auto slurp = [](const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream contents;
        contents << in.rdbuf();
        return contents.str();
    };

    const app::GenerateStatus status = app::GenerateFiles(options, projectPath, capturePath);
    ASSERT_TRUE(status.Ok()) << status.file << ": " << status.error;
    const app::Generator generator(options);
    EXPECT_EQ(slurp(projectPath), generator.ProjectJson());
    EXPECT_EQ(slurp(capturePath), generator.CaptureJsonl());

    // The capture fails once the project is written in full: the project keeps its old text, and no
    // temporary file stays behind.
    const app::GenerateStatus full = app::GenerateFiles({12, 3000, 12}, projectPath, "/dev/full");
    EXPECT_EQ(full.file, "/dev/full");
    EXPECT_EQ(full.error, "cannot write: No space left on device");
    EXPECT_EQ(slurp(projectPath), generator.ProjectJson());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              2);

    const app::GenerateStatus missing =
        app::GenerateFiles(options, projectPath, (dir / "no/such/dir/c.jsonl").string());
    EXPECT_NE(missing.file.find("c.jsonl"), std::string::npos);
    EXPECT_EQ(missing.error, "cannot write: No such file or directory");
    std::filesystem::remove_all(dir);
}

// The free-space check trusts these bounds: a file beyond its bound could still fill the disk, and one
// far below it would have runs refused that fit.
TEST(Generator, FilesStayWithinTheirBounds)
{
    for (const app::GeneratorOptions options :
         {app::GeneratorOptions{1, 1, 1}, app::GeneratorOptions{60, 20000, 3},
          app::GeneratorOptions{3000, 50000, 9}})
    {
        SCOPED_TRACE(options.events);
        const app::Generator generator(options);
        const std::string project = generator.ProjectJson();
        const std::string capture = generator.CaptureJsonl();
        EXPECT_LE(project.size(), app::Generator::MostProjectBytes(options.events));
        EXPECT_GT(project.size() * 6, app::Generator::MostProjectBytes(options.events));
        EXPECT_LE(capture.size(), app::Generator::MostCaptureBytes(options.items));
        EXPECT_GT(capture.size() * 6, app::Generator::MostCaptureBytes(options.items));
        EXPECT_EQ(static_cast<std::uint64_t>(std::count(project.begin(), project.end(), '\n')),
                  generator.ProjectLines());

        std::size_t longest = 0;
        for (std::size_t start = 0, end = 0; start < capture.size(); start = end + 1)
        {
            end = capture.find('\n', start);
            longest = std::max(longest, end + 1 - start);
        }
        EXPECT_LE(longest, app::Generator::MostCaptureBytes(1));
    }
}

TEST(Generator, HandlesTheSmallestSizes)
{
    for (const app::GeneratorOptions options :
         {app::GeneratorOptions{0, 50, 1}, app::GeneratorOptions{1, 0, 1}})
    {
        const app::Generator generator(options);
        const app::ProjectReadResult read = app::ParseProject(generator.ProjectJson());
        ASSERT_TRUE(read.Ok()) << read.error;
        const app::CaptureStatus status =
            app::ParseCapture(generator.CaptureJsonl(), [](const app::CaptureItem&, std::size_t) {});
        ASSERT_TRUE(status.Ok()) << status.error;
        EXPECT_EQ(status.items, options.items);
    }
}

} // namespace
