#include "host/ui/UISubClassingMgr.h"

namespace
{
int g_nScalePercent = 100;
}

int UISubClassingMgr::ScaleToDpi(int n)
{
    const long long scaled = static_cast<long long>(n) * g_nScalePercent;
    // Halves round away from zero, so sizes scale the same way in both directions.
    const long long rounded = scaled >= 0 ? (scaled + 50) / 100 : -((-scaled + 50) / 100);
    return static_cast<int>(rounded);
}

void UISubClassingMgr::SetScalePercent(int percent)
{
    g_nScalePercent = percent > 0 ? percent : 100;
}

int UISubClassingMgr::GetScalePercent()
{
    return g_nScalePercent;
}
