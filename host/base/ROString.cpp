#include "host/base/ROString.h"

#include <memory>
#include <string>
#include <unordered_set>

namespace
{
struct InternTable
{
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
        std::size_t operator()(const std::unique_ptr<std::string>& s) const { return (*this)(*s); }
    };
    struct Equal
    {
        using is_transparent = void;
        static std::string_view View(std::string_view s) { return s; }
        static std::string_view View(const std::unique_ptr<std::string>& s) { return *s; }
        template <class A, class B> bool operator()(const A& a, const B& b) const
        {
            return View(a) == View(b);
        }
    };
    std::unordered_set<std::unique_ptr<std::string>, Hash, Equal> texts;
};

InternTable& Table()
{
    // Never destroyed: values may be compared while other modules unload.
    static InternTable* table = new InternTable;
    return *table;
}
} // namespace

ROString::ROString(std::string_view text) : m_pText(Intern(text)) {}

const std::string* ROString::Intern(std::string_view text)
{
    auto& texts = Table().texts;
    if (const auto it = texts.find(text); it != texts.end())
        return it->get();
    return texts.insert(std::make_unique<std::string>(text)).first->get();
}
