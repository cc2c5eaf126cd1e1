// A hash index in front of an ordered GUID-keyed map: the map keeps the order that the lists show,
// the index finds an element in one probe instead of a walk down the tree. Elements are only added
// through the index, and the index is cleared with the map.
#pragma once

#include "host/base/GuidTable.h"
#include "host/base/Prefetch.h"
#include "queries/LowerBoundAhead.h"

template <class Map> class GuidIndex
{
public:
    using Element = typename Map::value_type;

    // Null when the map has no element with that key.
    Element* Find(const GUID& id) const
    {
        Element* const* ppElement = m_table.Find(id);
        return ppElement != nullptr ? *ppElement : nullptr;
    }

    // The element with that key, added to the map with a default value when absent.
    Element& FindOrAdd(Map& map, const GUID& id)
    {
        if (Element* pElement = Find(id))
            return *pElement;
        Element& element = *EmplaceAbsent(map, id);
        m_table.Insert(id, &element);
        return element;
    }

    // Starts loading the slot that a search for `id` reads first, for a search a little later.
    void Prefetch(const GUID& id) const { m_table.Prefetch(id); }

    // Starts loading the element with that key, when the map has one; the slot should be loaded.
    void PrefetchElement(const GUID& id) const
    {
        if (const Element* pElement = Find(id))
            PrefetchObject(pElement);
    }

    void Clear() { m_table.Clear(); }

private:
    GuidTable<Element*> m_table;
};
