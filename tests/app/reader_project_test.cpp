#include "app/formats/ProjectReader.h"
#include "app/session/DemoData.h"

#include "host/services/Project.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

GUID G(std::string_view text)
{
    return guid::Parse(text).value();
}

TEST(ProjectReader, ReadsEveryFieldAndBuildsTheObjectModel)
{
    // Child before parent, lower-case ids without braces, a null parent, null list entries, unknown
    // fields and a kind the reader has no use for.
    const std::string json = R"({ "version": 3, "objects": [
      { "id": "c0000000-0000-0000-0000-000000000001", "name": "Hello_01", "kind": "Sound",
        "parent": "{B0000000-0000-0000-0000-000000000001}", "color": [1, 2] },
      { "id": "{B0000000-0000-0000-0000-000000000001}", "name": "Greeting_Happy", "parent": null },
      { "id": "{A0000000-0000-0000-0000-000000000001}", "name": "Mood", "kind": "Argument",
        "values": ["{A0000000-0000-0000-0000-000000000002}", null, "{DEAD0000-0000-0000-0000-000000000000}"] },
      { "id": "{A0000000-0000-0000-0000-000000000002}", "name": "Happy \u00e9\u6c34\ud83c\udfb5",
        "kind": "ArgumentValue", "parent": "{A0000000-0000-0000-0000-000000000001}" },
      { "id": "{E0000000-0000-0000-0000-000000000001}", "name": "Greeting", "kind": "DialogueEvent",
        "arguments": ["{A0000000-0000-0000-0000-000000000001}"],
        "targets": ["{B0000000-0000-0000-0000-000000000001}", null, "{DEAD0000-0000-0000-0000-000000000001}",
                    "{00000000-0000-0000-0000-000000000000}"] },
      { "id": "{E0000000-0000-0000-0000-000000000002}", "name": "", "kind": "DialogueEvent" }
    ] })";
    const app::ProjectReadResult result = app::ParseProject(json);
    ASSERT_TRUE(result.Ok()) << result.error;
    const auto& objects = result.project.objects;
    ASSERT_EQ(objects.size(), 6u);

    EXPECT_EQ(objects[0].kind, app::ObjectKind::Plain);
    EXPECT_EQ(objects[0].kindName, "Sound");
    EXPECT_EQ(objects[0].parent, G("{B0000000-0000-0000-0000-000000000001}"));
    EXPECT_FALSE(objects[1].parent.has_value());
    EXPECT_EQ(objects[1].kindName, "");
    EXPECT_EQ(objects[2].kind, app::ObjectKind::Argument);
    ASSERT_EQ(objects[2].values.size(), 3u);
    EXPECT_TRUE(IsNullGuid(objects[2].values[1]));
    EXPECT_EQ(objects[3].name, L"Happy \u00e9\u6c34\U0001F3B5");
    EXPECT_EQ(objects[4].kind, app::ObjectKind::DialogueEvent);
    ASSERT_EQ(objects[4].targets.size(), 4u);
    EXPECT_FALSE(objects[4].targets[1].has_value());
    // The null GUID written out is the same as null: an entry without a target.
    EXPECT_FALSE(objects[4].targets[3].has_value());
    EXPECT_TRUE(objects[5].arguments.empty() && objects[5].targets.empty());

    const std::unique_ptr<Project> project = app::BuildProject(result.project);
    ASSERT_TRUE(project);
    EXPECT_EQ(project->ObjectCount(), 6u);

    IVObject* pSound = project->Find(G("{C0000000-0000-0000-0000-000000000001}"));
    ASSERT_TRUE(pSound);
    ASSERT_TRUE(pSound->GetParent());
    EXPECT_EQ(pSound->GetParent()->GetName(), L"Greeting_Happy");
    EXPECT_EQ(pSound->GetParent()->GetParent(), nullptr);

    std::vector<GUID> values;
    project->Find(G("{A0000000-0000-0000-0000-000000000001}"))->GetValueIDs(values);
    EXPECT_EQ(values, objects[2].values);

    auto* pEvent = dynamic_cast<IVDialogueEvent*>(project->Find(G("{E0000000-0000-0000-0000-000000000001}")));
    ASSERT_TRUE(pEvent);
    ASSERT_EQ(pEvent->GetArguments().size(), 1u);
    EXPECT_EQ(pEvent->GetArguments()[0].argumentID, G("{A0000000-0000-0000-0000-000000000001}"));
    EXPECT_EQ(pEvent->GetTargetEntries().size(), 4u);
    EXPECT_FALSE(dynamic_cast<IVDialogueEvent*>(pSound));
    EXPECT_EQ(project->OutstandingReferences(), 0);
}

// A control character in a name would cut a printed cell short or split its row.
TEST(ProjectReader, RefusesNamesHoldingControlCharacters)
{
    const auto read = [](std::string_view name)
    {
        return app::ParseProject(
            R"({"objects": [{"id": "{00000000-0000-0000-0000-000000000001}", "name": "ok"},
            {"id": "{00000000-0000-0000-0000-000000000002}", "name": ")" +
            std::string(name) + "\"}]}");
    };
    for (const auto& [name, code] :
         std::initializer_list<std::pair<std::string_view, std::string_view>>{{"\\u0000", "0000"},
                                                                              {"a\\tb", "0009"},
                                                                              {"\\u001F", "001F"},
                                                                              {"x\\u007f", "007F"},
                                                                              {"\\u0080", "0080"},
                                                                              {"\xC2\x9F", "009F"}})
    {
        EXPECT_EQ(read(name).error,
                  "object {00000000-0000-0000-0000-000000000002}: \"name\" holds the control "
                  "character U+" +
                      std::string(code))
            << name;
    }
    // Next to the ranges, and beyond ASCII, names are fine.
    for (const std::string_view name : {" ", "~", "\\u00a0", "caf\xC3\xA9", "\\ud83c\\udfb5"})
        EXPECT_TRUE(read(name).Ok()) << name << ": " << read(name).error;
}

// A byte-order mark may open the file; a key may be named only once in any object of it.
TEST(ProjectReader, TakesAByteOrderMarkAndRefusesKeysNamedTwice)
{
    EXPECT_TRUE(app::ParseProject("\xEF\xBB\xBF{\"objects\": []}").Ok());
    EXPECT_EQ(app::ParseProject(R"({"objects": [], "version": {"a": 1, "a": 2}})").error,
              "duplicate key \"a\"");
    EXPECT_EQ(app::ParseProject(R"({"objects": [
        {"id": "{00000000-0000-0000-0000-000000000001}", "name": "n", "extra": [{"b": 1, "b": 2}]}]})")
                  .error,
              "object 1: duplicate key \"b\"");
}

TEST(ProjectReader, GuidTextIsLaidOutAsInMemory)
{
    const app::ProjectReadResult result =
        app::ParseProject(R"({"objects": [{"id": "{00112233-4455-6677-8899-AABBCCDDEEFF}", "name": "x"}]})");
    ASSERT_TRUE(result.Ok()) << result.error;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&result.project.objects[0].id);
    const unsigned char expected[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 16));
}

TEST(ProjectReader, DeepChainsAndLongCyclesNeedNoDeepStack)
{
    // Each object the parent of the next, listed deepest first, so that a reader that followed
    // parents recursively, or linked them in file order, would be found out.
    constexpr int kDepth = 100000;
    const auto id = [](int i)
    {
        char text[40];
        std::snprintf(text, sizeof text, "{%08X-0000-0000-0000-000000000000}", i + 1);
        return std::string(text);
    };
    const auto chain = [&](bool closed)
    {
        std::string json = "{\"objects\": [\n";
        for (int i = kDepth - 1; i >= 0; --i)
        {
            json += "{\"id\": \"" + id(i) + "\", \"name\": \"n\"";
            if (i > 0 || closed)
                json += ", \"parent\": \"" + id(i > 0 ? i - 1 : kDepth - 1) + "\"";
            json += i > 0 ? "},\n" : "}\n";
        }
        return json + "]}";
    };

    const auto start = std::chrono::steady_clock::now();
    const app::ProjectReadResult open = app::ParseProject(chain(false));
    ASSERT_TRUE(open.Ok()) << open.error;
    const std::unique_ptr<Project> project = app::BuildProject(open.project);
    ASSERT_TRUE(project);
    const IVObject* pDeepest = project->Find(G(id(kDepth - 1)));
    int depth = 0;
    for (const IVObject* p = pDeepest; p->GetParent(); p = p->GetParent())
        ++depth;
    EXPECT_EQ(depth, kDepth - 1);

    const app::ProjectReadResult closed = app::ParseProject(chain(true));
    EXPECT_NE(closed.error.find("cyclic parent"), std::string::npos);
    EXPECT_NE(closed.error.find("(100000 objects)"), std::string::npos);
    EXPECT_LT(closed.error.size(), 600u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(ProjectReader, BuildRefusesADescriptionThatBreaksTheRules)
{
    app::ProjectFile file;
    file.objects.push_back({G("{00000001-0000-0000-0000-000000000000}"),
                            L"a",
                            "",
                            app::ObjectKind::Plain,
                            G("{00000002-0000-0000-0000-000000000000}"),
                            {},
                            {},
                            {}});
    EXPECT_EQ(app::BuildProject(file), nullptr);
    file.objects.push_back({G("{00000002-0000-0000-0000-000000000000}"),
                            L"b",
                            "",
                            app::ObjectKind::Plain,
                            G("{00000001-0000-0000-0000-000000000000}"),
                            {},
                            {},
                            {}});
    EXPECT_EQ(app::BuildProject(file), nullptr);
    file.objects[1].parent.reset();
    EXPECT_NE(app::BuildProject(file), nullptr);
    file.objects.push_back(file.objects[1]);
    EXPECT_EQ(app::BuildProject(file), nullptr);
}

std::string Slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

TEST(DemoData, ExampleFilesAreTheBuiltInTexts)
{
    const std::filesystem::path dir(TALLY_EXAMPLES_DIR);
    EXPECT_EQ(Slurp(dir / "project.json"), app::DemoProjectJson());
    EXPECT_EQ(Slurp(dir / "capture.jsonl"), app::DemoCaptureJsonl());

    const app::ProjectReadResult result = app::ParseProject(app::DemoProjectJson());
    ASSERT_TRUE(result.Ok()) << result.error;
    EXPECT_TRUE(app::BuildProject(result.project));
}

// A pipe has no size to read into at once: the buffer grows as the text arrives, and a project
// several times larger than its first guess is read whole.
TEST(ProjectReader, ReadsAProjectFromAPipeWhole)
{
    const std::filesystem::path fifo =
        std::filesystem::temp_directory_path() / ("tally-project-" + std::to_string(::getpid()));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Whitespace before the document keeps it valid and makes the text outgrow the first blocks.
    const std::string text = std::string(300000, ' ') + std::string(app::DemoProjectJson());
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << text; });
    const app::ProjectReadResult piped = app::ReadProjectFile(fifo.string());
    writer.join();
    std::filesystem::remove(fifo);

    ASSERT_TRUE(piped.Ok()) << piped.error;
    const app::ProjectReadResult direct = app::ParseProject(app::DemoProjectJson());
    ASSERT_EQ(piped.project.objects.size(), direct.project.objects.size());
    for (std::size_t i = 0; i < direct.project.objects.size(); ++i)
    {
        EXPECT_EQ(piped.project.objects[i].id, direct.project.objects[i].id);
        EXPECT_EQ(piped.project.objects[i].name, direct.project.objects[i].name);
    }
}

} // namespace
