#include "app/formats/ProjectReader.h"

#include "app/formats/JsonWording.h"
#include "app/formats/ReadOnlyFile.h"

#include "host/base/TextCodec.h"
#include "host/services/Project.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace app
{
namespace
{

namespace dom = simdjson::dom;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Thrown inside the reader only; turned into the result's message at the top.
struct ProjectError
{
    std::string message;
};

std::string TypeName(dom::element value)
{
    switch (value.type())
    {
    case dom::element_type::ARRAY:
        return "array";
    case dom::element_type::OBJECT:
        return "object";
    case dom::element_type::STRING:
        return "string";
    case dom::element_type::BOOL:
        return "boolean";
    case dom::element_type::NULL_VALUE:
        return "null";
    default:
        return "number";
    }
}

std::string Quoted(const char* field)
{
    return std::string("\"") + field + "\"";
}

// Finds the first key named twice in one object, in a value or anywhere inside it. The walk keeps
// its own stack, so that nesting needs no deep one, and its lists serve every object of a file.
class TwiceNamedKeys
{
public:
    // The value of the field `skipped` of `value` itself is left out.
    std::optional<std::string_view> Find(dom::element value, std::string_view skipped = {})
    {
        m_pending.assign(1, value);
        for (bool bTop = true; !m_pending.empty(); bTop = false)
        {
            const dom::element at = m_pending.back();
            m_pending.pop_back();
            if (dom::object object; at.get_object().get(object) == simdjson::SUCCESS)
            {
                m_keys.clear();
                for (const dom::key_value_pair field : object)
                {
                    m_keys.push_back(field.key);
                    if (!bTop || field.key != skipped)
                        m_pending.push_back(field.value);
                }
                std::sort(m_keys.begin(), m_keys.end());
                if (const auto twice = std::adjacent_find(m_keys.begin(), m_keys.end());
                    twice != m_keys.end())
                    return *twice;
            }
            else if (dom::array array; at.get_array().get(array) == simdjson::SUCCESS)
            {
                for (const dom::element element : array)
                    m_pending.push_back(element);
            }
        }
        return std::nullopt;
    }

private:
    std::vector<dom::element> m_pending;
    std::vector<std::string_view> m_keys;
};

// Messages name an object by its id once that is known, by its number before.
class ObjectContext
{
public:
    explicit ObjectContext(std::size_t number) : m_number(number) {}

    void SetId(const GUID& id) { m_id = id; }

    [[noreturn]] void Fail(const std::string& what) const
    {
        throw ProjectError{"object " + (m_id ? guid::ToString(*m_id) : std::to_string(m_number)) + ": " +
                           what};
    }

    // A GUID where one is required, in the field or in its list entry `index`; null is allowed only
    // where `allowNull` says so.
    std::optional<GUID> Guid(dom::element value, const char* field, bool allowNull,
                             std::optional<std::size_t> index = {}) const
    {
        const auto name = [&]
        {
            return Quoted(field) + (index ? "[" + std::to_string(*index) + "]" : "");
        };
        if (value.is_null())
        {
            if (!allowNull)
                Fail(name() + " must not be null");
            return std::nullopt;
        }
        std::string_view text;
        if (value.get_string().get(text) != simdjson::SUCCESS)
            Fail(name() + " must be a GUID string, not " + TypeName(value));
        const std::optional<GUID> parsed = guid::Parse(text);
        if (!parsed)
            Fail(name() + ": bad GUID " + app::Quoted(text));
        return parsed;
    }

    // The GUIDs of a list field, each handed to `add`; null in a list stands for the null GUID.
    template <class Add> void GuidList(dom::element list, const char* field, Add&& add) const
    {
        dom::array array;
        if (list.get_array().get(array) != simdjson::SUCCESS)
            Fail(Quoted(field) + " must be an array, not " + TypeName(list));
        std::size_t index = 0;
        for (const dom::element entry : array)
        {
            add(Guid(entry, field, true, index).value_or(GUID_NULL));
            ++index;
        }
    }

private:
    std::size_t m_number;
    std::optional<GUID> m_id;
};

ProjectFileObject ReadObject(dom::element element, std::size_t number, TwiceNamedKeys& keys)
{
    ObjectContext context(number);
    dom::object object;
    if (element.get_object().get(object) != simdjson::SUCCESS)
        context.Fail("must be a JSON object, not " + TypeName(element));
    if (const auto twice = keys.Find(element))
        context.Fail("duplicate key " + app::Quoted(*twice));
    const auto field = [&object](const char* name) -> std::optional<dom::element>
    {
        dom::element value;
        if (object[name].get(value) != simdjson::SUCCESS)
            return std::nullopt;
        return value;
    };

    ProjectFileObject result;
    const std::optional<dom::element> id = field("id");
    if (!id)
        context.Fail("missing \"id\"");
    // An id names the object: null, or the all-zero GUID that means "no object", cannot.
    const std::optional<GUID> parsedId = context.Guid(*id, "id", false);
    if (IsNullGuid(*parsedId))
        context.Fail("\"id\" must not be the null GUID");
    result.id = *parsedId;
    context.SetId(result.id);

    const std::optional<dom::element> name = field("name");
    if (!name)
        context.Fail("missing \"name\"");
    std::string_view nameText;
    if (name->get_string().get(nameText) != simdjson::SUCCESS)
        context.Fail("\"name\" must be a string, not " + TypeName(*name));
    result.name = text::FromUtf8(nameText);
    // A control character would cut a cell short or split a row of the printed statistics.
    for (const wchar_t c : result.name)
    {
        if (IsControlCharacter(static_cast<char32_t>(c)))
        {
            std::array<char, 8> code{};
            std::snprintf(code.data(), code.size(), "%04X", static_cast<unsigned>(c));
            context.Fail("\"name\" holds the control character U+" + std::string(code.data()));
        }
    }

    if (const std::optional<dom::element> kind = field("kind"))
    {
        std::string_view kindText;
        if (kind->get_string().get(kindText) != simdjson::SUCCESS)
            context.Fail("\"kind\" must be a string, not " + TypeName(*kind));
        result.kindName = kindText;
        if (result.kindName == "DialogueEvent")
            result.kind = ObjectKind::DialogueEvent;
        else if (result.kindName == "Argument")
            result.kind = ObjectKind::Argument;
    }

    // A null parent is the same as none: the object sits at the top.
    if (const std::optional<dom::element> parent = field("parent"))
        result.parent = context.Guid(*parent, "parent", true);
    if (result.parent && IsNullGuid(*result.parent))
        result.parent.reset();

    const auto listOf = [&](const char* name, ObjectKind kind, const char* kindText)
    {
        const std::optional<dom::element> list = field(name);
        if (list && result.kind != kind)
            context.Fail(Quoted(name) + " is allowed only on an object of kind \"" + kindText + "\"");
        return list;
    };
    if (const auto list = listOf("arguments", ObjectKind::DialogueEvent, "DialogueEvent"))
        context.GuidList(*list, "arguments", [&](const GUID& id) { result.arguments.push_back(id); });
    // In "targets" the null GUID is an entry without a target.
    if (const auto list = listOf("targets", ObjectKind::DialogueEvent, "DialogueEvent"))
        context.GuidList(*list, "targets",
                         [&](const GUID& id)
                         { result.targets.push_back(IsNullGuid(id) ? std::nullopt : std::optional(id)); });
    if (const auto list = listOf("values", ObjectKind::Argument, "Argument"))
        context.GuidList(*list, "values", [&](const GUID& id) { result.values.push_back(id); });
    return result;
}

using IdIndex = std::unordered_map<GUID, std::size_t, GUIDHash>;

// Ids must be unique: the later object of a pair is the one reported. What was added is then the
// index of every object by id, from 0.
class UniqueIds
{
public:
    explicit UniqueIds(std::size_t expected) { m_indexOf.reserve(expected); }

    void Add(const ProjectFileObject& object, std::size_t number)
    {
        const auto [at, bAdded] = m_indexOf.emplace(object.id, number - 1);
        if (bAdded)
            return;
        ObjectContext context(number);
        context.SetId(object.id);
        context.Fail("duplicate id (objects " + std::to_string(at->second + 1) + " and " +
                     std::to_string(number) + ")");
    }

    const IdIndex& IndexOf() const { return m_indexOf; }

private:
    IdIndex m_indexOf;
};

// Parents must exist and form no cycle. Walks each chain once, iteratively, so that a chain of a
// million objects needs no deep stack.
void CheckParents(const ProjectFile& file, const IdIndex& indexOf)
{
    const std::size_t count = file.objects.size();

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> parentOf(count, kNone);
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto& parent = file.objects[i].parent;
        if (!parent)
            continue;
        const auto found = indexOf.find(*parent);
        if (found == indexOf.end())
        {
            ObjectContext context(i + 1);
            context.SetId(file.objects[i].id);
            context.Fail("unknown parent " + guid::ToString(*parent));
        }
        parentOf[i] = found->second;
    }

    // walkOf[i]: 0 until a walk reaches i, then the number of that walk.
    std::vector<std::size_t> walkOf(count, 0);
    for (std::size_t start = 0; start < count; ++start)
    {
        const std::size_t walk = start + 1;
        std::size_t at = start;
        while (at != kNone && walkOf[at] == 0)
        {
            walkOf[at] = walk;
            at = parentOf[at];
        }
        if (at == kNone || walkOf[at] != walk)
            continue;

        // Back at an object of this very walk: report the cycle from there.
        constexpr std::size_t kShown = 8;
        std::string chain = guid::ToString(file.objects[at].id);
        std::size_t length = 0;
        for (std::size_t next = parentOf[at];; next = parentOf[next])
        {
            ++length;
            if (next == at)
                break;
            if (length < kShown)
                chain += " -> " + guid::ToString(file.objects[next].id);
            else if (length == kShown)
                chain += " -> ...";
        }
        chain += " -> " + guid::ToString(file.objects[at].id);
        if (length > kShown)
            chain += " (" + std::to_string(length) + " objects)";
        ObjectContext context(at + 1);
        context.SetId(file.objects[at].id);
        context.Fail("cyclic parent: " + chain);
    }
}

// "JSON error at byte 80 (line 2, column 65): syntax error ...", worded by reading the text again.
std::string Malformed(std::string_view text, simdjson::error_code code)
{
    const std::optional<JsonFault> fault = FindJsonFault(text);
    if (!fault)
        return std::string("JSON error: ") + simdjson::error_message(code);
    if (fault->byte == 0)
        return "JSON error: " + fault->reason +
               (fault->topKey.empty() ? "" : " in " + app::Quoted(fault->topKey));
    return "JSON error at byte " + std::to_string(fault->byte) +
           (fault->where.empty() ? "" : " (" + fault->where + ")") + ": " + fault->reason;
}

// The text must be followed by simdjson::SIMDJSON_PADDING readable bytes.
ProjectReadResult ParsePadded(std::string_view text)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    ProjectReadResult result;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
    {
        result.error = "empty file";
        return result;
    }
    try
    {
        dom::parser parser;
        dom::element document;
        if (const auto code = parser.parse(text.data(), text.size(), false).get(document);
            code != simdjson::SUCCESS)
            throw ProjectError{Malformed(text, code)};
        dom::object root;
        if (document.get_object().get(root) != simdjson::SUCCESS)
            throw ProjectError{"the top level must be a JSON object, not " + TypeName(document)};
        // The objects' own keys are checked with the objects, whose numbers the messages give.
        TwiceNamedKeys keys;
        if (const auto twice = keys.Find(document, "objects"))
            throw ProjectError{"duplicate key " + app::Quoted(*twice)};
        dom::element list;
        if (root["objects"].get(list) != simdjson::SUCCESS)
            throw ProjectError{"missing \"objects\""};
        dom::array objects;
        if (list.get_array().get(objects) != simdjson::SUCCESS)
            throw ProjectError{"\"objects\" must be an array, not " + TypeName(list)};

        ProjectFile& file = result.project;
        file.objects.reserve(objects.size());
        UniqueIds ids(objects.size());
        for (const dom::element object : objects)
        {
            const std::size_t number = file.objects.size() + 1;
            file.objects.push_back(ReadObject(object, number, keys));
            ids.Add(file.objects.back(), number);
        }
        CheckParents(file, ids.IndexOf());
    }
    catch (const ProjectError& error)
    {
        result.error = error.message;
        result.project = {};
    }
    return result;
}

} // namespace

ProjectReadResult ParseProject(std::string_view text)
{
    const simdjson::padded_string padded(text);
    return ParsePadded(padded);
}

ProjectReadResult ReadProjectFile(const std::string& path)
{
    const auto failure = [](std::string error)
    {
        ProjectReadResult result;
        result.error = std::move(error);
        return result;
    };
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
        return failure(FileFailure("open", errno));
    // Read straight into one buffer of the file's size with the parser's padding behind, so that the
    // text is neither copied nor its buffer grown; a pipe grows it as its text arrives.
    constexpr std::size_t kPadding = simdjson::SIMDJSON_PADDING;
    struct stat info
    {
    };
    std::size_t room = std::size_t{1} << 16;
    if (::fstat(file.Fd(), &info) == 0 && S_ISREG(info.st_mode))
        room = static_cast<std::size_t>(info.st_size) + 1; // + 1: room to see the end
    std::string contents(room + kPadding, '\0');
    std::size_t used = 0;
    for (;;)
    {
        if (used == contents.size() - kPadding)
            contents.resize(2 * contents.size());
        const ssize_t got = ::read(file.Fd(), contents.data() + used, contents.size() - kPadding - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(FileFailure("read", errno));
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    return ParsePadded(std::string_view(contents.data(), used));
}

namespace
{
// A file that is built from only once gives up its names instead of having them copied.
std::wstring NameOf(const ProjectFileObject& object)
{
    return object.name;
}
std::wstring NameOf(ProjectFileObject& object)
{
    return std::move(object.name);
}

template <class File> std::unique_ptr<Project> Build(File& file)
{
    auto project = std::make_unique<Project>();
    const std::size_t count = file.objects.size();
    project->Reserve(count);
    // The objects in the file's order, linked to their parents below without searching again.
    std::vector<ProjectObject*> made;
    made.reserve(count);
    for (auto& object : file.objects)
    {
        switch (object.kind)
        {
        case ObjectKind::DialogueEvent:
        {
            DialogueEventObject* pEvent = project->AddDialogueEvent(object.id, NameOf(object));
            if (!pEvent)
                return nullptr;
            pEvent->SetArguments(object.arguments);
            pEvent->SetTargets(object.targets);
            made.push_back(pEvent);
            break;
        }
        case ObjectKind::Argument:
        {
            ArgumentObject* pArgument = project->AddArgument(object.id, NameOf(object));
            if (!pArgument)
                return nullptr;
            pArgument->SetValues(object.values);
            made.push_back(pArgument);
            break;
        }
        case ObjectKind::Plain:
        {
            ProjectObject* pObject = project->AddObject(object.id, NameOf(object));
            if (!pObject)
                return nullptr;
            made.push_back(pObject);
            break;
        }
        }
    }
    // Parents are linked once every object exists, since a child may come before its parent in the
    // file, and deepest first: the host checks each link for a cycle by walking up from the parent,
    // and that walk is short while the parent's own chain is not linked yet.
    IdIndex indexOf;
    indexOf.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        indexOf.emplace(file.objects[i].id, i);
    constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::vector<std::size_t> depth(count, kUnknown);
    std::vector<std::size_t> parentOf(count, kUnknown);
    std::vector<std::size_t> chain;
    for (std::size_t start = 0; start < count; ++start)
    {
        std::size_t at = start;
        while (depth[at] == kUnknown)
        {
            const auto& parent = file.objects[at].parent;
            if (!parent)
            {
                depth[at] = 0;
                break;
            }
            const auto found = indexOf.find(*parent);
            if (found == indexOf.end() || chain.size() > count)
                return nullptr;
            chain.push_back(at);
            parentOf[at] = found->second;
            at = found->second;
        }
        std::size_t next = depth[at];
        while (!chain.empty())
        {
            depth[chain.back()] = ++next;
            chain.pop_back();
        }
    }
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return depth[a] > depth[b]; });
    for (const std::size_t i : order)
    {
        if (parentOf[i] != kUnknown && !project->SetParent(*made[i], *made[parentOf[i]]))
            return nullptr;
    }
    return project;
}
} // namespace

std::unique_ptr<Project> BuildProject(const ProjectFile& file)
{
    return Build(file);
}

std::unique_ptr<Project> BuildProject(ProjectFile&& file)
{
    return Build(file);
}

} // namespace app
