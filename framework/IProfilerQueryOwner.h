// The window that shows a query: told when the query's state changed.
#pragma once

class IProfilerQueryOwner
{
public:
    virtual void OnQueryStateChanged() = 0;

protected:
    ~IProfilerQueryOwner() = default;
};
