// Finding where a new key belongs in a large ordered map whose keys keep their text elsewhere. Each
// level of the tree costs two misses one after the other: the node, then the text its key points
// to. Here, while a node's key is compared, both its children and the texts of their keys are
// already requested, so the next level finds what it compares on the way: a new path among tens of
// thousands costs about two thirds of the plain search.
#pragma once

#include "host/base/Prefetch.h"

#include <map>
#include <tuple>
#include <utility>

// What map.lower_bound(probe) gives. `prefetchKey(const key_type&)` starts loading what a
// comparison with that key reads. Where the library's tree nodes are not known, the plain search.
template <class Map, class Probe, class PrefetchKey>
typename Map::iterator LowerBoundAhead(Map& map, const Probe& probe, PrefetchKey prefetchKey)
{
#if defined(__GLIBCXX__)
    using NodeBase = std::_Rb_tree_node_base;
    using Node = std::_Rb_tree_node<typename Map::value_type>;
    const auto keyOf = [](NodeBase* pNode) -> const typename Map::key_type&
    {
        return static_cast<Node*>(pNode)->_M_valptr()->first;
    };
    // The children's nodes were requested a level earlier; their own children and texts now.
    const auto ahead = [&](NodeBase* pNode)
    {
        if (pNode == nullptr)
            return;
        if (pNode->_M_left != nullptr)
            PrefetchLine(pNode->_M_left);
        if (pNode->_M_right != nullptr)
            PrefetchLine(pNode->_M_right);
        prefetchKey(keyOf(pNode));
    };

    const auto less = map.key_comp();
    NodeBase* pBound = map.end()._M_node;
    NodeBase* pNode = pBound->_M_parent;
    while (pNode != nullptr)
    {
        ahead(pNode->_M_left);
        ahead(pNode->_M_right);
        if (!less(keyOf(pNode), probe))
        {
            pBound = pNode;
            pNode = pNode->_M_left;
        }
        else
        {
            pNode = pNode->_M_right;
        }
    }
    return typename Map::iterator(pBound);
#else
    static_cast<void>(prefetchKey);
    return map.lower_bound(probe);
#endif
}

// The same for keys held whole in their nodes, whose comparison reads nothing else.
template <class Map, class Probe> typename Map::iterator LowerBoundAhead(Map& map, const Probe& probe)
{
    return LowerBoundAhead(map, probe, [](const typename Map::key_type&) {});
}

// Adds an element for a key that the map does not hold yet, its value made from no arguments, at
// the place LowerBoundAhead finds.
template <class Map, class Key, class... PrefetchKey>
typename Map::iterator EmplaceAbsent(Map& map, const Key& key, PrefetchKey... prefetchKey)
{
    return map.emplace_hint(LowerBoundAhead(map, key, prefetchKey...), std::piecewise_construct,
                            std::forward_as_tuple(key), std::forward_as_tuple());
}
