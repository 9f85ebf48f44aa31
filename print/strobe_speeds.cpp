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

// A pasted speed may bring any blank along, a line break included: all of them go, as they do around a length.
constexpr std::string_view Blanks = " \t\n\r\v\f";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
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

std::string NotASpeed(std::string_view typed) {
    return "'" + std::string(typed) + "' is not a speed from " + std::to_string(LeastSpeedRpm) + " to " +
           std::to_string(MostSpeedRpm) + " rpm such as 33 1/3, 33.33, 45 or 78";
}

Result<PlatterSpeed> SpeedOrReason(std::optional<PlatterSpeed> speed, std::string_view typed) {
    if (speed) {
        return *speed;
    }
    return Failure{NotASpeed(typed)};
}

// "45 rpm", "45rpm", "45 RPM": the unit says what the option already says.
std::string_view WithoutUnit(std::string_view text) {
    if (text.size() > 3) {
        std::string unit(text.substr(text.size() - 3));
        for (char& c : unit) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (unit == "rpm") {
            return Trimmed(text.substr(0, text.size() - 3));
        }
    }
    return text;
}

// "W N/D" and "N/D" (also "W⅓", "W⅔").
Result<PlatterSpeed> ReadFraction(std::string_view text, std::string_view typed) {
    for (const auto& [glyph, thirds] : {std::pair<std::string_view, Int>{"\xE2\x85\x93", 1}, {"\xE2\x85\x94", 2}}) {
        if (text.ends_with(glyph)) {
            const std::optional<Int> whole = Digits(Trimmed(text.substr(0, text.size() - glyph.size())), 4);
            return SpeedOrReason(whole ? SpeedOf(*whole * 3 + thirds, 3) : std::nullopt, typed);
        }
    }
    const std::size_t slash = text.find('/');
    const std::size_t blank = text.find(' ');
    const std::string_view wholeText = blank == std::string_view::npos ? "0" : Trimmed(text.substr(0, blank));
    const std::size_t fractionStart = blank == std::string_view::npos ? 0 : blank + 1;
    const std::string_view numeratorText = Trimmed(text.substr(fractionStart, slash - fractionStart));
    const std::optional<Int> whole = Digits(wholeText, 4);
    const std::optional<Int> numerator = Digits(numeratorText, 4);
    const std::optional<Int> denominator = Digits(Trimmed(text.substr(slash + 1)), 4);
    if (!whole || !numerator || !denominator || *denominator == 0) {
        return Failure{NotASpeed(typed)};
    }
    const std::optional<PlatterSpeed> speed = SpeedOf(*whole * *denominator + *numerator, *denominator);
    if (blank != std::string_view::npos) {
        return SpeedOrReason(speed, typed);
    }
    // "331/3" is 110 1/3 as written, and 33 1/3 with its blank lost: a whole number run into a proper fraction.
    std::vector<PlatterSpeed> runTogether;
    for (std::size_t split = 1; split < numeratorText.size(); ++split) {
        const std::optional<Int> ownWhole = Digits(numeratorText.substr(0, split), 4);
        const std::optional<Int> ownNumerator = Digits(numeratorText.substr(split), 4);
        if (numeratorText[split] != '0' && *ownNumerator < *denominator) {
            if (const std::optional<PlatterSpeed> other =
                    SpeedOf(*ownWhole * *denominator + *ownNumerator, *denominator)) {
                runTogether.push_back(*other);
            }
        }
    }
    if (runTogether.empty()) {
        return SpeedOrReason(speed, typed);
    }
    std::string spellings;
    for (std::size_t i = 0; i < runTogether.size(); ++i) {
        spellings += (i == 0 ? "" : " or ") + ("'" + runTogether[i].Text + "'");
    }
    if (!speed) {
        return Failure{NotASpeed(typed) + "; with a blank it would be " + spellings};
    }
    return Failure{"'" + std::string(typed) + "' could be " + speed->Text + " rpm or, with a blank, " + spellings +
                   ": write '" + speed->Text + "' or " + spellings};
}

// A third written out to any number of decimals, cut or rounded: "33.3", "33.33333", "16.6", "16.67", "16.666667".
// Its number of thirds above the whole number, or 0.
Int ThirdsWritten(std::string_view decimals) {
    const std::size_t threes = decimals.find_first_not_of('3');
    const std::size_t sixes = decimals.find_first_not_of('6');
    if (threes == std::string_view::npos) {
        return 1;
    }
    if (sixes == std::string_view::npos || (sixes + 1 == decimals.size() && decimals.back() == '7')) {
        return 2;
    }
    return 0;
}

// "45", "45.5", "45,5", "33.33": a decimal that is a third rounded or cut to its digits is that third.
Result<PlatterSpeed> ReadDecimal(std::string_view text, std::string_view typed) {
    std::string number(text);
    if (number.find('.') == std::string::npos && std::count(number.begin(), number.end(), ',') == 1) {
        number[number.find(',')] = '.';
    }
    const std::size_t point = number.find('.');
    const std::optional<Int> whole = Digits(std::string_view(number).substr(0, point), 4);
    if (!whole) {
        return Failure{NotASpeed(typed)};
    }
    if (point == std::string::npos) {
        return SpeedOrReason(SpeedOf(*whole, 1), typed);
    }
    std::string decimals = number.substr(point + 1);
    if (decimals.empty() || decimals.find_first_not_of("0123456789") != std::string::npos) {
        return Failure{NotASpeed(typed)};
    }
    if (const Int thirds = ThirdsWritten(decimals)) {
        return SpeedOrReason(SpeedOf(*whole * 3 + thirds, 3), typed);
    }
    while (!decimals.empty() && decimals.back() == '0') {
        decimals.pop_back();
    }
    if (decimals.size() > MostSpeedDecimals) {
        return Failure{"'" + std::string(typed) + "' has more than " + std::to_string(MostSpeedDecimals) +
                       " decimals and is not a third; a speed is read to the millionth of an rpm"};
    }
    Int scale = 1;
    for (std::size_t i = 0; i < decimals.size(); ++i) {
        scale *= 10;
    }
    const Int fraction = decimals.empty() ? 0 : *Digits(decimals, MostSpeedDecimals);
    return SpeedOrReason(SpeedOf(*whole * scale + fraction, scale), typed);
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> items;
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find(separator, start);
        items.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) {
            return items;
        }
        start = at + 1;
    }
}

Failure TooManySpeeds(std::size_t count, bool byCommas) {
    return Failure{"takes one or two speeds (a disk has two rings), not " + std::to_string(count) +
                   (byCommas ? "; with a decimal comma, put + between the two speeds (33,3+45)" : "")};
}

// "78 and 45 rpm (write 78+45)", "78.45 rpm (write 78.45)"
std::string Spelled(const PlatterSpeedList& reading) {
    std::string said;
    std::string written;
    for (std::size_t i = 0; i < reading.Speeds.size(); ++i) {
        said += (i == 0 ? "" : " and ") + reading.Speeds[i].Text;
        written += (i == 0 ? "" : "+") + reading.Speeds[i].Text;
    }
    return said + " rpm (write " + written + ")";
}

Int Magnitude(Int value) {
    return value < 0 ? -value : value;
}

} // namespace

Result<PlatterSpeed> ReadPlatterSpeed(std::string_view text) {
    const std::string_view typed = Trimmed(text);
    const std::string_view number = WithoutUnit(typed);
    if (number.find('/') != std::string_view::npos || number.find('\xE2') != std::string_view::npos) {
        return ReadFraction(number, typed);
    }
    return ReadDecimal(number, typed);
}

Result<PlatterSpeedList> ReadPlatterSpeeds(std::string_view list) {
    const std::string_view text = Trimmed(list);
    if (text.find('+') != std::string_view::npos) {
        const std::vector<std::string_view> items = SplitAt(text, '+');
        if (items.size() > MostStrobeRings) {
            return TooManySpeeds(items.size(), false);
        }
        PlatterSpeedList read;
        for (const std::string_view item : items) {
            const Result<PlatterSpeed> speed = ReadPlatterSpeed(item);
            if (!speed) {
                return Failure{speed.Message()};
            }
            read.Speeds.push_back(*speed);
            read.DecimalComma = read.DecimalComma || item.find(',') != std::string_view::npos;
        }
        return read;
    }
    const std::vector<std::string_view> pieces = SplitAt(text, ',');
    const auto readable = [](std::string_view piece) { return ReadPlatterSpeed(piece).Ok(); };
    if (pieces.size() > MostStrobeRings && std::all_of(pieces.begin(), pieces.end(), readable)) {
        return TooManySpeeds(pieces.size(), true);
    }
    // Each way the commas can be read: all of them decimal commas, or one of them between two speeds. Two rings for
    // one speed is no disk anyone asks for, so that reading counts only when there is no other.
    std::vector<PlatterSpeedList> readings;
    std::vector<PlatterSpeedList> oneSpeedTwice;
    const bool anyComma = text.find(',') != std::string_view::npos;
    if (const Result<PlatterSpeed> one = ReadPlatterSpeed(text)) {
        readings.push_back({{*one}, anyComma});
    }
    for (std::size_t comma = text.find(','); comma != std::string_view::npos; comma = text.find(',', comma + 1)) {
        const Result<PlatterSpeed> outer = ReadPlatterSpeed(text.substr(0, comma));
        const Result<PlatterSpeed> inner = ReadPlatterSpeed(text.substr(comma + 1));
        if (outer && inner) {
            const bool otherComma = text.find(',') != comma || text.find(',', comma + 1) != std::string_view::npos;
            const bool same = outer->Numerator == inner->Numerator && outer->Denominator == inner->Denominator;
            (same ? oneSpeedTwice : readings).push_back({{*outer, *inner}, otherComma});
        }
    }
    if (readings.empty()) {
        readings = oneSpeedTwice;
    }
    if (readings.size() == 1) {
        return readings.front();
    }
    if (readings.size() > 1) {
        std::string choices;
        for (std::size_t i = 0; i < readings.size(); ++i) {
            choices += (i == 0 ? "" : i + 1 == readings.size() ? " or " : ", ") + Spelled(readings[i]);
        }
        return Failure{"'" + std::string(text) + "' could be " + choices};
    }
    if (pieces.size() > MostStrobeRings) {
        return TooManySpeeds(pieces.size(), true);
    }
    for (const std::string_view piece : pieces) {
        if (const Result<PlatterSpeed> speed = ReadPlatterSpeed(piece); !speed) {
            return Failure{speed.Message()};
        }
    }
    return Failure{NotASpeed(text)};
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
