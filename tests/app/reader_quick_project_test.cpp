#include "app/ProjectReader.h"
#include "app/QuickProjectReader.h"
#include "app/generate/Generator.h"
#include "app/session/DemoData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ExpectSameObjects(const app::ProjectFile& quick, const app::ProjectFile& full)
{
    ASSERT_EQ(quick.objects.size(), full.objects.size());
    for (std::size_t i = 0; i < quick.objects.size(); ++i)
    {
        const app::ProjectFileObject& q = quick.objects[i];
        const app::ProjectFileObject& f = full.objects[i];
        EXPECT_EQ(q.id, f.id) << i;
        EXPECT_EQ(q.name, f.name) << i;
        EXPECT_EQ(q.kindName, f.kindName) << i;
        EXPECT_EQ(q.kind, f.kind) << i;
        EXPECT_EQ(q.parent, f.parent) << i;
        EXPECT_EQ(q.arguments, f.arguments) << i;
        EXPECT_EQ(q.targets, f.targets) << i;
        EXPECT_EQ(q.values, f.values) << i;
    }
}

// ParseProject reports what the full reader reports, and what the quick reader accepts reads the same.
void ExpectAgreement(std::string_view json, const std::string& what)
{
    SCOPED_TRACE(what);
    const app::ProjectReadResult full = app::ParseProjectFully(json);
    const app::ProjectReadResult combined = app::ParseProject(json);
    EXPECT_EQ(combined.error, full.error);
    // The quick reader leaves the checks across objects (unique ids, parents) to its caller.
    if (const std::optional<app::ProjectFile> quick = app::ReadProjectQuickly(json); quick && full.Ok())
        ExpectSameObjects(*quick, full.project);
    if (combined.Ok() && full.Ok())
        ExpectSameObjects(combined.project, full.project);
}

TEST(QuickProjectReader, TakesTheUsualFilesAndReadsThemAsTheFullReaderDoes)
{
    const std::string example = ReadFile(std::filesystem::path(TALLY_EXAMPLES_DIR) / "project.json");
    const std::string generated = app::Generator({200, 10, 5}).ProjectJson();
    for (const auto& [json, what] : {std::pair<std::string_view, std::string>{example, "example"},
                                     {app::DemoProjectJson(), "demo"},
                                     {generated, "generated"}})
    {
        EXPECT_TRUE(app::ReadProjectQuickly(json).has_value()) << what;
        ExpectAgreement(json, what);
    }
}

TEST(QuickProjectReader, LeavesEverythingUnusualToTheFullReader)
{
    const std::string id = R"("id": "{A0000000-0000-0000-0000-000000000001}")";
    const auto wrap = [](const std::string& objects)
    {
        return R"({"objects": [)" + objects + "]}";
    };
    const std::vector<std::string> declined = {
        wrap("{" + id + R"(, "name": "caf\u00e9"})"),                        // an escape
        R"({"version": 1, "objects": []})",                                  // another top-level key
        wrap("{" + id + R"(, "name": "x", "color": 3})"),                    // an unknown field
        wrap("{" + id + R"(, "name": "x", "name": "y"})"),                   // a field twice
        wrap("{" + id + R"(, "name": "x", "kind": "Sound", "values": []})"), // a list on the wrong kind
        wrap("{" + id + R"(, "name": "x"},)"),                               // a trailing comma
        wrap(R"({"id": "{00000000-0000-0000-0000-000000000000}", "name": "x"})"),
        wrap(R"({"id": null, "name": "x"})"),
        wrap("{" + id + "}"),
        wrap("{" + id + ", \"name\": \"\xC3\x28\"}"),  // ill-formed UTF-8
        wrap("{" + id + ", \"name\": \"tab\there\"}"), // a control character
        "\xEF\xBB\xBF" + wrap(""),                     // a byte order mark
        wrap("") + " x",
        "",
    };
    for (const std::string& json : declined)
    {
        EXPECT_FALSE(app::ReadProjectQuickly(json).has_value()) << json;
        ExpectAgreement(json, json);
    }

    // Accepted, with the checks across objects still made: any key order, nulls, null GUIDs.
    const std::string accepted = wrap(
        R"({"targets": [null, "{00000000-0000-0000-0000-000000000000}", "b0000000-0000-0000-0000-000000000001"],
            "kind": "DialogueEvent", "name": "E", "arguments": [null], "parent": null,
            "id": "{E0000000-0000-0000-0000-000000000001}"},
           {"id": "{B0000000-0000-0000-0000-000000000001}", "name": "T"},
           {"id": "{B0000000-0000-0000-0000-000000000001}", "name": "again", "parent": "{00000000-0000-0000-0000-000000000000}"})");
    EXPECT_TRUE(app::ReadProjectQuickly(accepted).has_value());
    ExpectAgreement(accepted, "duplicate id");
    EXPECT_EQ(app::ParseProject(accepted).error,
              "object 3 ({B0000000-0000-0000-0000-000000000001}): duplicate id");
}

TEST(QuickProjectReader, AgreesWithTheFullReaderOnEveryFileOfTheBadCorpus)
{
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(TALLY_TEST_DATA_DIR) / "bad"))
    {
        if (entry.path().extension() == ".json")
            ExpectAgreement(ReadFile(entry.path()), entry.path().filename().string());
    }
}

} // namespace
