#pragma once

// Null points published under a name of their own rather than as a geometry's formula: chosen as a geometry, they
// are used as custom null points are.

#include <string_view>

struct NamedNullPoints {
    std::string_view Name;
    double Inner = 0;
    double Outer = 0;
};

inline constexpr NamedNullPoints NamedNulls[] = {
    {"uni-din", 63.3, 112.5},
};
