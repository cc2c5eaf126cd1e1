// Row iterator over a standard associative container: yields the address of every element (key and
// value as one row) in key order.
#pragma once

#include "host/results/FilteredDataList.h"

template <class Container> class StdDataIterator final : public FilteredDataList::IDataIterator
{
public:
    explicit StdDataIterator(const Container* pContainer)
        : m_pContainer(pContainer), m_position(pContainer->begin())
    {
    }

    void Destroy() override { delete this; }
    void Reset() override { m_position = m_pContainer->begin(); }

    const void* Next() override
    {
        if (m_position == m_pContainer->end())
            return nullptr;
        const void* pRow = &*m_position;
        ++m_position;
        return pRow;
    }

private:
    ~StdDataIterator() = default;

    const Container* m_pContainer;
    typename Container::const_iterator m_position;
};
