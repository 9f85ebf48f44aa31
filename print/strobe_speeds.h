#pragma once

// Strobe disks for any platter speed and mains frequency: reading speeds as people write them, the bar count of a
// ring, how far a whole count misses, and the caption and drift texts. Portable: the Linux tool and the browser
// version call the same functions. No floating-point text conversion (the browser's library has none).

#include "geometry/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A platter speed as an exact fraction of revolutions per minute: 33 1/3 is 100/3, 33.33 is read as 100/3 too,
// 45.5 is 455/10. `Text` is how captions write it: "33 1/3", "45", "45.5".
struct PlatterSpeed {
    std::int64_t Numerator = 0;
    std::int64_t Denominator = 1;
    std::string Text;
};

// The slowest records in use, talking books, turn at 8 1/3 rpm; a least speed above 3 also keeps "33,3" from reading
// as 33 and 3 rpm.
inline constexpr int LeastSpeedRpm = 8;
inline constexpr int MostSpeedRpm = 300;
// Decimals a speed other than a third is read to; past them the ring's arithmetic would leave 64 bits.
inline constexpr std::size_t MostSpeedDecimals = 6;
inline constexpr std::size_t MostStrobeRings = 2;

// "33 1/3", "33⅓", "33.33", "33,3", "33.3333333", "45", "45 rpm", "78", "16 2/3", "16.67", "100/3": a decimal (with
// a point or a decimal comma) that is a third rounded or cut to its digits reads as that third. The reason for any
// other text, a speed outside 8 to 300 rpm, a decimal with more than 6 decimals that is not a third, or a fraction
// run together with its whole number ("331/3", which could be 33 1/3 or 110 1/3).
Result<PlatterSpeed> ReadPlatterSpeed(std::string_view text);

// One or two speeds, the first for the outer ring: "33 1/3+45" or "33,3+45" ("+" always separates), or with a comma
// between them ("33.33,78", "33 1/3,45") where the comma cannot be a decimal comma. A comma reads as a decimal comma
// only where the two-speed reading is impossible ("33,3": 3 rpm is below the least speed; "45,45": a disk with two
// rings for one speed); where both readings are possible ("78,45", "78,26") the list is refused with both spellings.
struct PlatterSpeedList {
    std::vector<PlatterSpeed> Speeds;
    // A comma was read as a decimal comma.
    bool DecimalComma = false;
};
Result<PlatterSpeedList> ReadPlatterSpeeds(std::string_view list);

// One ring of a disk: the whole count of bars nearest to 120 x mains / rpm (the light flickers at twice the mains
// frequency; halves round up), and how far it misses freezing exactly at the right speed.
struct StrobeRing {
    PlatterSpeed Speed;
    int MainsHz = 60;
    std::int32_t Bars = 0;
    // 2 x mains - bars x rpm / 60 in bars per second is DriftNumerator / DriftDenominator: 0 freezes, more than
    // 0 drifts counter-clockwise (against the platter), less than 0 clockwise.
    std::int64_t DriftNumerator = 0;
    std::int64_t DriftDenominator = 1;
};
StrobeRing StrobeRingFor(const PlatterSpeed& speed, int mainsHz);

// "78 RPM - 50 HZ - 77 BARS", in the style of the built-in disks.
std::string RingCaption(const StrobeRing& ring);
// "200 BARS" for a ring known only by its count; "" for an empty ring (0 bars or less).
std::string CountCaption(std::int32_t bars);
// The page's note for a ring that does not freeze exactly, "(45 RPM must drift CCW 5 bars per 20sec)" as the 50 Hz
// disk words it; "" for a ring that freezes.
std::string DriftNote(const StrobeRing& ring);
// The same for the terminal: "the 45 rpm ring (133 bars at 50 Hz) drifts counter-clockwise by 0.25 bars a
// second (5 bars in 20 s) at exactly 45 rpm"; "" for a ring that freezes.
std::string DriftReport(const StrobeRing& ring);

// A caption centred with blanks into exactly 36 bytes; a longer text keeps its first 36.
std::string CentreCaption(std::string_view text);

// What a disk shows: its two counts, its captions (not yet centred) and the drift notes of its page, with the same
// drifts worded for the terminal.
struct StrobeDiskLayout {
    std::int32_t OuterBars = 0;
    std::int32_t InnerBars = 0;
    std::string Caption1, Caption2;
    std::vector<std::string> Notes;
    std::vector<std::string> DriftReports;
    // The timing instructions' lines between "Time this mark-" and the percentage formula for the disk's speeds;
    // empty for a disk known by its counts, which keeps the 33 1/3 rpm lines.
    std::vector<std::string> Timing{};
};
// How long 100 revolutions take at each speed (6000 / rpm seconds, to the millisecond, halves up, trailing zeros
// dropped): "At 78 RPM it takes", "76.923 sec for 100 revolutions."; two speeds get a line each.
std::vector<std::string> TimingLines(const std::vector<PlatterSpeed>& speeds);

// One ring per speed, the first outside; one speed leaves the inner ring empty.
StrobeDiskLayout StrobeDiskForSpeeds(const std::vector<PlatterSpeed>& speeds, int mainsHz);
// A disk known by its counts: captions from the counts ("200 BARS").
StrobeDiskLayout StrobeDiskForCounts(std::int32_t outerBars, std::int32_t innerBars);

// The two pairs of counts that print their own captions whatever captions are given (the 60 Hz and the 50 Hz
// disk); their mains frequency, or nothing for any other pair.
std::optional<int> BuiltInStrobeMains(std::int32_t outerBars, std::int32_t innerBars);
