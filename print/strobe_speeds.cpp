#include "print/strobe_speeds.h"

#include "print/printouts.h"

#include <algorithm>
#include <numeric>

namespace {

using Int = std::int64_t;

// Digits only, at least one and at most `most`, as a number.
std::optional<Int> Digits(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most) {
        return std::nullopt;
    }
    Int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A non-negative fraction as a decimal text with at most `decimals` digits after the point, halves rounded up and
// trailing zeros dropped: DecimalText(1, 4, 2) is "0.25", DecimalText(5, 1, 1) is "5".
std::string DecimalText(Int numerator, Int denominator, int decimals) {
    Int scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    Int scaled = (2 * numerator * scale + denominator) / (2 * denominator);
    std::string text = std::to_string(scaled / scale);
    if (decimals == 0) {
        return text;
    }
    std::string fraction = std::to_string(scaled % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return fraction.empty() ? text : text + "." + fraction;
}

// The speed's caption text: whole numbers and thirds as the built-in disks write them, else the decimal.
std::string SpeedText(Int numerator, Int denominator) {
    if (denominator == 3 && numerator % 3 != 0) {
        return std::to_string(numerator / 3) + " " + std::to_string(numerator % 3) + "/3";
    }
    return DecimalText(numerator, denominator, 6);
}

std::optional<PlatterSpeed> SpeedOf(Int numerator, Int denominator) {
    if (denominator <= 0 || numerator < LeastSpeedRpm * denominator || numerator > MostSpeedRpm * denominator) {
        return std::nullopt;
    }
    const Int divisor = std::gcd(numerator, denominator);
    numerator /= divisor;
    denominator /= divisor;
    return PlatterSpeed{numerator, denominator, SpeedText(numerator, denominator)};
}

// "W N/D" and "N/D" (also "W⅓", "W⅔").
std::optional<PlatterSpeed> ReadFraction(std::string_view text) {
    for (const auto& [glyph, thirds] : {std::pair<std::string_view, Int>{"\xE2\x85\x93", 1}, {"\xE2\x85\x94", 2}}) {
        if (text.ends_with(glyph)) {
            const std::optional<Int> whole = Digits(Trimmed(text.substr(0, text.size() - glyph.size())), 4);
            return whole ? SpeedOf(*whole * 3 + thirds, 3) : std::nullopt;
        }
    }
    const std::size_t slash = text.find('/');
    const std::size_t blank = text.find(' ');
    const std::string_view wholeText = blank == std::string_view::npos ? "0" : Trimmed(text.substr(0, blank));
    const std::size_t fractionStart = blank == std::string_view::npos ? 0 : blank + 1;
    const std::optional<Int> whole = Digits(wholeText, 4);
    const std::optional<Int> numerator = Digits(Trimmed(text.substr(fractionStart, slash - fractionStart)), 4);
    const std::optional<Int> denominator = Digits(Trimmed(text.substr(slash + 1)), 4);
    if (!whole || !numerator || !denominator || *denominator == 0) {
        return std::nullopt;
    }
    return SpeedOf(*whole * *denominator + *numerator, *denominator);
}

// "45", "45.5", "33.33": a decimal that is a third rounded or cut to its digits is that third.
std::optional<PlatterSpeed> ReadDecimal(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::optional<Int> whole = Digits(text.substr(0, point), 4);
    if (!whole) {
        return std::nullopt;
    }
    if (point == std::string_view::npos) {
        return SpeedOf(*whole, 1);
    }
    const std::string_view fractionText = text.substr(point + 1);
    const std::optional<Int> fraction = Digits(fractionText, 6);
    if (!fraction) {
        return std::nullopt;
    }
    Int scale = 1;
    for (std::size_t i = 0; i < fractionText.size(); ++i) {
        scale *= 10;
    }
    const Int typed = *whole * scale + *fraction;
    const Int thirds = (3 * typed * 2 + scale) / (2 * scale); // the nearest number of thirds
    const Int roundedThird = (thirds * scale + 1) / 3;        // that many thirds rounded to the typed digits
    if (thirds % 3 != 0 && (roundedThird == typed || thirds * scale / 3 == typed)) {
        return SpeedOf(thirds, 3);
    }
    return SpeedOf(typed, scale);
}

Int Magnitude(Int value) {
    return value < 0 ? -value : value;
}

} // namespace

std::optional<PlatterSpeed> ReadPlatterSpeed(std::string_view text) {
    text = Trimmed(text);
    if (text.find('/') != std::string_view::npos || text.find('\xE2') != std::string_view::npos) {
        return ReadFraction(text);
    }
    return ReadDecimal(text);
}

Result<std::vector<PlatterSpeed>> ReadPlatterSpeeds(std::string_view list) {
    std::vector<PlatterSpeed> speeds;
    std::vector<std::string_view> items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = list.find(',', start);
        items.push_back(list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (items.size() > MostStrobeRings) {
        return Failure{"takes one or two speeds (a disk has two rings), not " + std::to_string(items.size())};
    }
    for (const std::string_view item : items) {
        const std::optional<PlatterSpeed> speed = ReadPlatterSpeed(item);
        if (!speed) {
            return Failure{"'" + std::string(Trimmed(item)) + "' is not a speed from " + std::to_string(LeastSpeedRpm) +
                           " to " + std::to_string(MostSpeedRpm) + " rpm such as 33 1/3, 33.33, 45 or 78"};
        }
        speeds.push_back(*speed);
    }
    return speeds;
}

StrobeRing StrobeRingFor(const PlatterSpeed& speed, int mainsHz) {
    StrobeRing ring;
    ring.Speed = speed;
    ring.MainsHz = mainsHz;
    // bars = 120 x mains x denominator / numerator, to the nearest whole number, halves up.
    const Int flashesPerMinute = Int{120} * mainsHz * speed.Denominator;
    ring.Bars = static_cast<std::int32_t>((2 * flashesPerMinute + speed.Numerator) / (2 * speed.Numerator));
    // 2 x mains - bars x rpm / 60 = (120 x mains x denominator - bars x numerator) / (60 x denominator).
    ring.DriftNumerator = flashesPerMinute - Int{ring.Bars} * speed.Numerator;
    ring.DriftDenominator = 60 * speed.Denominator;
    return ring;
}

std::string RingCaption(const StrobeRing& ring) {
    return ring.Speed.Text + " RPM - " + std::to_string(ring.MainsHz) + " HZ - " + std::to_string(ring.Bars) + " BARS";
}

std::string CountCaption(std::int32_t bars) {
    return bars > 0 ? std::to_string(bars) + " BARS" : std::string();
}

std::string DriftNote(const StrobeRing& ring) {
    if (ring.DriftNumerator == 0) {
        return {};
    }
    const Int drift = Magnitude(ring.DriftNumerator);
    const std::string way = ring.DriftNumerator > 0 ? "CCW" : "CW";
    // As many bars as pass in 20 seconds, as the 50 Hz disk says it; a slower drift as the seconds one bar takes.
    const std::string amount = 20 * drift >= ring.DriftDenominator
                                   ? DecimalText(20 * drift, ring.DriftDenominator, 1) + " bars per 20sec"
                                   : "1 bar per " + DecimalText(ring.DriftDenominator, drift, 0) + "sec";
    return "(" + ring.Speed.Text + " RPM must drift " + way + " " + amount + ")";
}

std::string DriftReport(const StrobeRing& ring) {
    if (ring.DriftNumerator == 0) {
        return {};
    }
    const Int drift = Magnitude(ring.DriftNumerator);
    return "the " + ring.Speed.Text + " rpm ring (" + std::to_string(ring.Bars) + " bars at " +
           std::to_string(ring.MainsHz) + " Hz) drifts " +
           (ring.DriftNumerator > 0 ? "counter-clockwise" : "clockwise") + " by " +
           DecimalText(drift, ring.DriftDenominator, 4) + " bars a second (one bar every " +
           DecimalText(ring.DriftDenominator, drift, 1) + " s) at exactly " + ring.Speed.Text + " rpm";
}

std::optional<int> BuiltInStrobeMains(std::int32_t outerBars, std::int32_t innerBars) {
    if (outerBars == 216 && innerBars == 160) {
        return 60;
    }
    if (outerBars == 180 && innerBars == 133) {
        return 50;
    }
    return std::nullopt;
}

std::vector<std::string> TimingLines(const std::vector<PlatterSpeed>& speeds) {
    std::vector<const PlatterSpeed*> distinct;
    for (const PlatterSpeed& speed : speeds) {
        if (std::none_of(distinct.begin(), distinct.end(), [&](const PlatterSpeed* seen) {
                return seen->Numerator == speed.Numerator && seen->Denominator == speed.Denominator;
            })) {
            distinct.push_back(&speed);
        }
    }
    // A stopwatch reads to a hundredth at best, so the millisecond is exact enough for the percentage.
    const auto seconds = [](const PlatterSpeed& speed) {
        return DecimalText(6000 * speed.Denominator, speed.Numerator, 3) + " sec";
    };
    if (distinct.size() == 1) {
        return {"At " + distinct[0]->Text + " RPM it takes", seconds(*distinct[0]) + " for 100 revolutions."};
    }
    std::vector<std::string> lines;
    if (!distinct.empty()) {
        lines.emplace_back("100 revolutions take");
    }
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        lines.push_back(seconds(*distinct[i]) + " at " + distinct[i]->Text + " RPM" +
                        (i + 1 == distinct.size() ? "." : ","));
    }
    return lines;
}

StrobeDiskLayout StrobeDiskForSpeeds(const std::vector<PlatterSpeed>& speeds, int mainsHz) {
    StrobeDiskLayout disk;
    disk.Timing = TimingLines(speeds);
    for (std::size_t i = 0; i < speeds.size() && i < MostStrobeRings; ++i) {
        const StrobeRing ring = StrobeRingFor(speeds[i], mainsHz);
        (i == 0 ? disk.OuterBars : disk.InnerBars) = ring.Bars;
        (i == 0 ? disk.Caption1 : disk.Caption2) = RingCaption(ring);
        if (ring.DriftNumerator != 0) {
            disk.Notes.push_back(DriftNote(ring));
            disk.DriftReports.push_back(DriftReport(ring));
        }
    }
    return disk;
}

StrobeDiskLayout StrobeDiskForCounts(std::int32_t outerBars, std::int32_t innerBars) {
    StrobeDiskLayout disk;
    disk.OuterBars = outerBars;
    disk.InnerBars = innerBars;
    disk.Caption1 = CountCaption(outerBars);
    disk.Caption2 = CountCaption(innerBars);
    return disk;
}

std::string CentreCaption(std::string_view text) {
    if (text.size() >= CaptionLength) {
        return std::string(text.substr(0, CaptionLength));
    }
    const std::size_t before = (CaptionLength - text.size()) / 2;
    const std::size_t after = CaptionLength - text.size() - before;
    return std::string(before, ' ') + std::string(text) + std::string(after, ' ');
}
