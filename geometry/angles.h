#pragma once

// The angle constants of every layer, to the precision of the x87 extended type that the alignment formulas work
// in; code that works in double narrows them where it uses them.
inline constexpr long double Pi = 3.14159265358979323846264338327950288L;
inline constexpr long double DegreesPerRadian = 57.2957795130823208767981548141051703L;
// π rounded to double, carried as extended: the value the printouts' angles have always been converted with, kept
// so that every wedge and arc lands on the same dots as before.
inline constexpr long double PrintoutPi = static_cast<double>(Pi);
