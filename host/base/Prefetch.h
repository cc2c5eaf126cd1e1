// A hint to start loading a cache line that the code will read soon.
#pragma once

#include <cstdint>

// GCC judges a small function whose only work is __builtin_prefetch free of effects and drops the
// calls to it, hint and all; an instruction it must keep stays where it was written.
inline void PrefetchLine(const void* p)
{
#if defined(__x86_64__)
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p);
#endif
}

// The same for a line that the code will write soon: it arrives ready to be written.
inline void PrefetchLineForWrite(void* p)
{
#if defined(__x86_64__)
    asm volatile("prefetchw %0" : : "m"(*static_cast<char*>(p)));
#else
    __builtin_prefetch(p, 1);
#endif
}

// Every cache line that the object spans.
template <class T> void PrefetchObject(const T* p)
{
    const auto* const pFirst = reinterpret_cast<const char*>(p);
    const auto* const pLast = pFirst + sizeof(T) - 1;
    PrefetchLine(pFirst);
    if ((reinterpret_cast<std::uintptr_t>(pFirst) ^ reinterpret_cast<std::uintptr_t>(pLast)) >= 64)
        PrefetchLine(pLast);
}
