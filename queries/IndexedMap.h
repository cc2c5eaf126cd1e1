// An ordered map with a hash index in front of it. The map keeps the rows, in the order the lists
// show them and at addresses that stay put while a row lives; the index finds a row by its key
// without a walk down the tree, where keys are many or slow to compare.
#pragma once

#include "host/base/AddressIndex.h"

#include <cstddef>
#include <functional>
#include <map>

// View is what a key is looked up by (a text's view for a text key); the index compares it with a
// view of each row's own key.
template <class Key, class Value, class Less, class View = Key, class Hash = std::hash<View>> class IndexedMap
{
public:
    using Map = std::map<Key, Value, Less>;
    using Element = typename Map::value_type;

    const Map& Rows() const { return m_rows; }
    std::size_t size() const { return m_rows.size(); }

    // Null when no row has that key.
    Element* Find(const View& key) const { return m_index.Find(key); }

    // The row with that key, added with a default value when absent.
    Element& FindOrAdd(const View& key)
    {
        if (Element* pElement = Find(key))
            return *pElement;
        Element& element = *m_rows.try_emplace(Key(key)).first;
        m_index.Insert(&element);
        return element;
    }

    void Clear()
    {
        m_index.Clear();
        m_rows.clear();
    }

private:
    struct ViewOf
    {
        View operator()(const Element& element) const { return View(element.first); }
    };

    Map m_rows;
    AddressIndex<Element, ViewOf, Hash, std::equal_to<View>> m_index;
};
