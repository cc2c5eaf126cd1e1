// Left only for the list control's cache hints, which go with its split; nothing else may use it.
#pragma once

inline void PrefetchLine(const void* p) { __builtin_prefetch(p); }
