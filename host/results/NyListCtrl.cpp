#include "host/results/NyListCtrl.h"

namespace
{

long s_nLiveRows = 0;

} // namespace

NyLcRow::NyLcRow(const void* pData) : m_pData(pData)
{
    ++s_nLiveRows;
}

NyLcRow::~NyLcRow()
{
    --s_nLiveRows;
}

void NyLcRow::Release()
{
    if (--m_nRefs <= 0)
        delete this;
}

long NyLcRow::LiveCount()
{
    return s_nLiveRows;
}

CSmartPtr<NyLcRow> NyListCtrl::GetRow(int index, int /*filterScope*/)
{
    const std::vector<const void*>& rows = ShownRows();
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size())
        return {};
    return CSmartPtr<NyLcRow>(new NyLcRow(rows[static_cast<std::size_t>(index)]));
}

void NyListCtrl::GetSelectedRows(std::vector<CSmartPtr<NyLcRow>>& rows)
{
    ShownRows();
    for (const void* pRow : m_selection)
        rows.emplace_back(new NyLcRow(pRow));
}

int NyListCtrl::GetItemCount()
{
    return static_cast<int>(ShownRows().size());
}
