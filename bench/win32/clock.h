#pragma once

#include <windows.h>

// Seconds on the performance counter, for the Windows benchmarks' intervals.
inline double now()
{
    static const double perSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) / perSecond;
}
