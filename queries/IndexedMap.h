// An ordered map with a hash index in front of it. The map keeps the rows, in the order the lists
// show them and at addresses that stay put while a row lives; the index finds a row by its key
// without a walk down the tree, where keys are many and slow to compare.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <unordered_map>

// View is what a key is looked up by (a text's view for a text key); the index keys each row by a
// view of the row's own key, which lives as long as the row.
template <class Key, class Value, class Less, class View = Key, class Hash = std::hash<View>> class IndexedMap
{
public:
    using Map = std::map<Key, Value, Less>;
    using Element = typename Map::value_type;

    const Map& Rows() const { return m_rows; }
    std::size_t size() const { return m_rows.size(); }

    // Null when no row has that key.
    Element* Find(const View& key) const
    {
        const auto found = m_index.find(key);
        return found != m_index.end() ? found->second : nullptr;
    }

    // The row with that key, added with a default value when absent.
    Element& FindOrAdd(const View& key)
    {
        if (Element* pElement = Find(key))
            return *pElement;
        Element& element = *m_rows.try_emplace(Key(key)).first;
        m_index.emplace(View(element.first), &element);
        return element;
    }

    void Clear()
    {
        m_index.clear();
        m_rows.clear();
    }

private:
    Map m_rows;
    std::unordered_map<View, Element*, Hash> m_index;
};
