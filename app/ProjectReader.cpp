#include "app/ProjectReader.h"

#include "app/QuickProjectReader.h"
#include "app/ReadOnlyFile.h"

#include "host/base/Guid.h"
#include "host/base/TextCodec.h"
#include "host/services/Project.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_map>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app
{
namespace
{

using nlohmann::json;

// Thrown inside the reader only; turned into the result's message at the top.
struct ProjectError
{
    std::string message;
};

// A JSON value quoted for a message, cut so that one bad field cannot flood the terminal.
std::string Shown(const json& value)
{
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    constexpr std::size_t kMax = 60;
    if (text.size() > kMax)
        text = text.substr(0, kMax) + "...";
    return text;
}

class ObjectContext
{
public:
    explicit ObjectContext(std::size_t number) : m_number(number) {}

    void SetId(const GUID& id) { m_id = guid::ToString(id); }

    [[noreturn]] void Fail(const std::string& what) const
    {
        std::string message = "object " + std::to_string(m_number);
        if (!m_id.empty())
            message += " (" + m_id + ")";
        throw ProjectError{message + ": " + what};
    }

    // A GUID where one is required; null is allowed only where `allowNull` says so.
    std::optional<GUID> Guid(const json& value, const std::string& field, bool allowNull) const
    {
        if (value.is_null())
        {
            if (!allowNull)
                Fail(field + " must not be null");
            return std::nullopt;
        }
        if (!value.is_string())
            Fail(field + " must be a GUID string, not " + std::string(value.type_name()));
        const std::optional<GUID> parsed = guid::Parse(value.get_ref<const std::string&>());
        if (!parsed)
            Fail(field + ": bad GUID " + Shown(value));
        return parsed;
    }

    const json& List(const json& object, const char* field) const
    {
        const json& list = object.at(field);
        if (!list.is_array())
            Fail(std::string("\"") + field + "\" must be an array, not " + list.type_name());
        return list;
    }

private:
    std::size_t m_number;
    std::string m_id;
};

std::string Quoted(const char* field)
{
    return std::string("\"") + field + "\"";
}

ProjectFileObject ReadObject(const json& object, std::size_t number)
{
    ObjectContext context(number);
    if (!object.is_object())
        context.Fail(std::string("must be a JSON object, not ") + object.type_name());

    ProjectFileObject result;
    const auto id = object.find("id");
    if (id == object.end())
        context.Fail("missing \"id\"");
    // An id names the object: null, or the all-zero GUID that means "no object", cannot.
    const std::optional<GUID> parsedId = context.Guid(*id, "\"id\"", false);
    if (IsNullGuid(*parsedId))
        context.Fail("\"id\" must not be the null GUID");
    result.id = *parsedId;
    context.SetId(result.id);

    const auto name = object.find("name");
    if (name == object.end())
        context.Fail("missing \"name\"");
    if (!name->is_string())
        context.Fail(std::string("\"name\" must be a string, not ") + name->type_name());
    if (!text::Utf8ToWide(name->get_ref<const std::string&>(), result.name))
        context.Fail("\"name\" is not valid UTF-8");

    if (const auto kind = object.find("kind"); kind != object.end())
    {
        if (!kind->is_string())
            context.Fail(std::string("\"kind\" must be a string, not ") + kind->type_name());
        result.kindName = kind->get<std::string>();
        if (result.kindName == "DialogueEvent")
            result.kind = ObjectKind::DialogueEvent;
        else if (result.kindName == "Argument")
            result.kind = ObjectKind::Argument;
    }

    // A null parent is the same as none: the object sits at the top.
    if (const auto parent = object.find("parent"); parent != object.end())
        result.parent = context.Guid(*parent, "\"parent\"", true);
    if (result.parent && IsNullGuid(*result.parent))
        result.parent.reset();

    const auto requireKind = [&](const char* field, ObjectKind kind, const char* kindText)
    {
        if (!object.contains(field))
            return false;
        if (result.kind != kind)
            context.Fail(Quoted(field) + " is allowed only on an object of kind \"" + kindText + "\"");
        return true;
    };
    const auto field = [](const char* name, std::size_t index)
    {
        return Quoted(name) + "[" + std::to_string(index) + "]";
    };

    // Null in a list stands for the null GUID; in "targets" it is an entry without a target.
    if (requireKind("arguments", ObjectKind::DialogueEvent, "DialogueEvent"))
    {
        const json& list = context.List(object, "arguments");
        result.arguments.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            result.arguments.push_back(
                context.Guid(list[i], field("arguments", i), true).value_or(GUID_NULL));
    }
    if (requireKind("targets", ObjectKind::DialogueEvent, "DialogueEvent"))
    {
        const json& list = context.List(object, "targets");
        result.targets.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
        {
            std::optional<GUID> target = context.Guid(list[i], field("targets", i), true);
            if (target && IsNullGuid(*target))
                target.reset();
            result.targets.push_back(target);
        }
    }
    if (requireKind("values", ObjectKind::Argument, "Argument"))
    {
        const json& list = context.List(object, "values");
        result.values.reserve(list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            result.values.push_back(context.Guid(list[i], field("values", i), true).value_or(GUID_NULL));
    }
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
        if (m_indexOf.emplace(object.id, number - 1).second)
            return;
        ObjectContext context(number);
        context.SetId(object.id);
        context.Fail("duplicate id");
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

// Builds the document from parser events. nlohmann's own parse keeps the last of duplicate keys
// silently, and its filtering parse slows down quadratically on long arrays; this one refuses a field
// named twice and stays linear.
class DocumentBuilder final : public nlohmann::json_sax<json>
{
public:
    explicit DocumentBuilder(json& root) : m_root(root) {}

    bool null() override { return Put(nullptr); }
    bool boolean(bool value) override { return Put(value); }
    bool number_integer(number_integer_t value) override { return Put(value); }
    bool number_unsigned(number_unsigned_t value) override { return Put(value); }
    bool number_float(number_float_t value, const string_t&) override { return Put(value); }
    bool string(string_t& value) override { return Put(std::move(value)); }
    bool binary(binary_t& value) override { return Put(json::binary(std::move(value))); }

    bool start_object(std::size_t) override
    {
        // Objects at depth 2 are the entries of "objects": count them for messages.
        if (m_stack.size() == 2)
            ++m_objectNumber;
        Put(json::object());
        m_stack.push_back(m_pLast);
        return true;
    }
    bool key(string_t& name) override
    {
        // The object being built knows its keys already.
        if (m_stack.back()->contains(name))
        {
            m_error = "duplicate key " + Shown(json(name));
            if (m_stack.size() >= 3 && m_objectNumber > 0)
                m_error = "object " + std::to_string(m_objectNumber) + ": " + m_error;
            return false;
        }
        m_pSlot = &(*m_stack.back())[name];
        return true;
    }
    bool end_object() override
    {
        m_stack.pop_back();
        return true;
    }
    bool start_array(std::size_t) override
    {
        Put(json::array());
        m_stack.push_back(m_pLast);
        return true;
    }
    bool end_array() override
    {
        m_stack.pop_back();
        return true;
    }

    // "[json.exception.parse_error.101] parse error at line 1, column 5: syntax error ..." becomes
    // "JSON error at byte 5 (line 1, column 5): syntax error ...".
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override
    {
        std::string text = error.what();
        std::string where;
        if (const auto at = text.find(" at line "); at != std::string::npos)
        {
            const auto colon = text.find(": ", at);
            if (colon != std::string::npos)
            {
                where = " (" + text.substr(at + 4, colon - at - 4) + ")";
                text = text.substr(colon + 2);
            }
        }
        else if (const auto bracket = text.find("] "); bracket != std::string::npos)
        {
            text = text.substr(bracket + 2);
        }
        m_error = "JSON error at byte " + std::to_string(position) + where + ": " + text;
        return false;
    }

    const std::string& Error() const { return m_error; }

private:
    // Places a value where the parser stands: the root, the next element of an array, or the slot of
    // the key just read. m_pLast is where it went.
    bool Put(json value)
    {
        if (m_stack.empty())
        {
            m_root = std::move(value);
            m_pLast = &m_root;
        }
        else if (json& container = *m_stack.back(); container.is_array())
        {
            container.push_back(std::move(value));
            m_pLast = &container.back();
        }
        else
        {
            *m_pSlot = std::move(value);
            m_pLast = m_pSlot;
        }
        return true;
    }

    json& m_root;
    // The containers being filled, innermost last. A pointer into an array stays valid while that
    // element is being built: its array grows only after the element is complete.
    std::vector<json*> m_stack;
    json* m_pSlot = nullptr;
    json* m_pLast = nullptr;
    std::size_t m_objectNumber = 0;
    std::string m_error;
};

} // namespace

ProjectReadResult ParseProject(std::string_view text)
{
    // Files of the usual shape skip the JSON document; the checks across objects are the same.
    if (std::optional<ProjectFile> quick = ReadProjectQuickly(text))
    {
        ProjectReadResult result;
        try
        {
            UniqueIds ids(quick->objects.size());
            for (std::size_t i = 0; i < quick->objects.size(); ++i)
                ids.Add(quick->objects[i], i + 1);
            CheckParents(*quick, ids.IndexOf());
            result.project = std::move(*quick);
        }
        catch (const ProjectError& error)
        {
            result.error = error.message;
        }
        return result;
    }
    return ParseProjectFully(text);
}

ProjectReadResult ParseProjectFully(std::string_view text)
{
    ProjectReadResult result;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
    {
        result.error = "empty file";
        return result;
    }
    try
    {
        json document;
        DocumentBuilder builder(document);
        if (!json::sax_parse(text.begin(), text.end(), &builder))
            throw ProjectError{builder.Error()};
        if (!document.is_object())
            throw ProjectError{std::string("the top level must be a JSON object, not ") +
                               document.type_name()};
        const auto objects = document.find("objects");
        if (objects == document.end())
            throw ProjectError{"missing \"objects\""};
        if (!objects->is_array())
            throw ProjectError{std::string("\"objects\" must be an array, not ") + objects->type_name()};

        ProjectFile& file = result.project;
        file.objects.reserve(objects->size());
        UniqueIds ids(objects->size());
        for (std::size_t i = 0; i < objects->size(); ++i)
        {
            file.objects.push_back(ReadObject((*objects)[i], i + 1));
            ids.Add(file.objects.back(), i + 1);
        }
        CheckParents(file, ids.IndexOf());
    }
    catch (const ProjectError& error)
    {
        result.error = error.message;
    }
    if (!result.error.empty())
        result.project = {};
    return result;
}

namespace
{
// A regular file's contents mapped for reading, all pages present at once.
class MappedText
{
public:
    MappedText(int fd, std::size_t bytes) : m_bytes(bytes)
    {
        if (bytes == 0)
            return;
        void* const p = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED)
            m_pText = static_cast<const char*>(p);
    }
    ~MappedText()
    {
        if (m_pText != nullptr)
            ::munmap(const_cast<char*>(m_pText), m_bytes);
    }
    MappedText(const MappedText&) = delete;
    MappedText& operator=(const MappedText&) = delete;

    bool Ok() const { return m_pText != nullptr; }
    std::string_view View() const { return {m_pText, m_bytes}; }

private:
    const char* m_pText = nullptr;
    std::size_t m_bytes;
};
} // namespace

ProjectReadResult ReadProjectFile(const std::string& path)
{
    const auto failure = [](const char* error)
    {
        ProjectReadResult result;
        result.error = error;
        return result;
    };
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
        return failure("cannot open the file");
    const int fd = file.Fd();

    struct stat info
    {
    };
    std::size_t capacity = std::size_t{1} << 16;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
    {
        // A file is parsed where the system keeps it: no fresh memory to fault in and fill.
        if (const MappedText text(fd, static_cast<std::size_t>(info.st_size)); text.Ok())
            return ParseProject(text.View());
        capacity = static_cast<std::size_t>(info.st_size) + 1; // + 1: room to see the end
    }
    // Otherwise straight into one buffer of about the file's size, left uninitialised: a project is
    // read once and whole, and clearing megabytes only to overwrite them costs as much as the reading.
    auto contents = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t used = 0;
    for (;;)
    {
        if (used == capacity)
        {
            auto grown = std::make_unique_for_overwrite<char[]>(2 * capacity);
            std::memcpy(grown.get(), contents.get(), used);
            contents = std::move(grown);
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, contents.get() + used, capacity - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure("cannot read the file");
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    return ParseProject(std::string_view(contents.get(), used));
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
