#pragma once

// The numerical tools the analysis and the exact solutions share, in extended precision: a golden-section search
// for the top of a hump, and Gauss-Legendre rules.

#include "geometry/angles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace numerics {

using Extended = long double;

struct Interval {
    Extended From;
    Extended To;
};

inline constexpr Extended GoldenRatio = 0.618033988749894848204586834365638118L;

// Golden-section search: the interval narrowed around the largest value of a function that has one hump at most on
// it, until it is no wider than the absolute tolerance or the relative one times its upper end, whichever is larger.
template <typename Function>
Interval NarrowedToLargest(Interval bracket, Extended absoluteTolerance, Extended relativeTolerance,
                           const Function& f) {
    Extended low = bracket.From;
    Extended high = bracket.To;
    Extended a = high - GoldenRatio * (high - low);
    Extended b = low + GoldenRatio * (high - low);
    Extended fa = f(a);
    Extended fb = f(b);
    while (high - low > std::max(absoluteTolerance, relativeTolerance * std::fabs(high))) {
        if (fa < fb) {
            low = a;
            a = b;
            fa = fb;
            b = low + GoldenRatio * (high - low);
            fb = f(b);
        } else {
            high = b;
            b = a;
            fb = fa;
            a = high - GoldenRatio * (high - low);
            fa = f(a);
        }
    }
    return {low, high};
}

template <int Points> struct GaussRule {
    std::array<Extended, Points> Nodes{};
    std::array<Extended, Points> Weights{};
};

// Gauss-Legendre nodes on [-1, 1] by Newton's method on the Legendre polynomial, once per number of points.
template <int Points> const GaussRule<Points>& GaussLegendre() {
    static const GaussRule<Points> rule = [] {
        GaussRule<Points> r;
        for (int i = 0; i < Points; ++i) {
            Extended x = std::cos(Pi * (i + 0.75L) / (Points + 0.5L));
            Extended derivative = 0;
            for (int iteration = 0; iteration < 100; ++iteration) {
                Extended p0 = 1;
                Extended p1 = x;
                for (int n = 2; n <= Points; ++n) {
                    const Extended p2 = ((2 * n - 1) * x * p1 - (n - 1) * p0) / n;
                    p0 = p1;
                    p1 = p2;
                }
                derivative = Points * (x * p1 - p0) / (x * x - 1);
                const Extended next = x - p1 / derivative;
                const bool settled = std::fabs(next - x) <= 1e-19L;
                x = next;
                if (settled) {
                    break;
                }
            }
            r.Nodes[static_cast<std::size_t>(i)] = x;
            r.Weights[static_cast<std::size_t>(i)] = 2 / ((1 - x * x) * derivative * derivative);
        }
        return r;
    }();
    return rule;
}

} // namespace numerics
