// Display scaling.
#pragma once

class UISubClassingMgr
{
public:
    // n pixels at 100 % scaling, at the display's scaling (rounded to the nearest pixel).
    static int ScaleToDpi(int n);
    // The display's scaling in percent; 100 by default.
    static void SetScalePercent(int percent);
    static int GetScalePercent();
};
