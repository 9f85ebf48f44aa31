#include "settings/page_link.h"

#include "geometry/groove_presets.h"
#include "settings/null_points.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The page's fields that hold a text, in the order a link gives them.
// clang-format off
constexpr std::array<std::string_view, 26> TextFields = {
    "spindle-to-pivot", "inner-radius", "outer-radius", "correction-x", "correction-y", "id", "inner-null",
    "outer-null", "margin", "caption1", "caption2", "outer-bars", "inner-bars", "speeds", "mains",
    "effective-length", "overhang", "offset-angle", "rpm", "velocity", "effective-mass", "cartridge-mass",
    "extra-mass", "compliance", "compliance-at", "rake-change",
};
constexpr std::array<std::string_view, 5> Geometries = {"lofgren-a", "lofgren-b", "stevenson-a", "uni-din", "custom"};
// clang-format on

std::string DefaultOf(std::string_view name) {
    const std::optional<SettingRule> rule = RuleNamed(name);
    return rule ? std::string(rule->Default) : std::string();
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return text;
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string TextOf(const NamedSettings& fields, std::string_view name) {
    const auto found = fields.find(std::string(name));
    return found == fields.end() ? std::string() : found->second;
}

const GroovePreset* PresetOf(const NamedSettings& fields) {
    for (const GroovePreset& preset : GroovePresets) {
        if (TextOf(fields, "inner-radius") == preset.Inner && TextOf(fields, "outer-radius") == preset.Outer) {
            return &preset;
        }
    }
    return nullptr;
}

} // namespace

std::string_view PresetNameOf(const NamedSettings& fields) {
    const GroovePreset* preset = PresetOf(fields);
    return preset ? preset->Name : std::string_view();
}

QueryPairs ShareQueryOf(const NamedSettings& fields, bool paperChosen) {
    QueryPairs query;
    const GroovePreset* preset = PresetOf(fields);
    const bool custom = TextOf(fields, "geometry") == "custom";
    for (const std::string_view name : TextFields) {
        const std::string text = TextOf(fields, name);
        const bool nullPoint = name == "inner-null" || name == "outer-null";
        if ((preset && (name == "inner-radius" || name == "outer-radius")) || (nullPoint && !custom)) {
            continue;
        }
        // Custom null points go even empty: the link then opens on the custom geometry still.
        const std::string fallback = DefaultOf(name);
        if (nullPoint || (text != fallback && !(fallback.empty() && Blank(text)))) {
            query.emplace_back(name, text);
        }
    }
    if (preset && (preset->Inner != DefaultOf("inner-radius") || preset->Outer != DefaultOf("outer-radius"))) {
        query.emplace_back("preset", preset->Name);
    }
    const std::string geometry = TextOf(fields, "geometry");
    if (!custom && !geometry.empty() && geometry != DefaultOf("geometry")) {
        query.emplace_back("geometry", geometry);
    }
    if (!TextOf(fields, "exact").empty()) {
        query.emplace_back("exact", "");
    }
    if (paperChosen) {
        query.emplace_back("paper", TextOf(fields, "paper"));
    }
    return query;
}

LinkedFields LinkedFieldsOf(const QueryPairs& query) {
    const auto given = [&](std::string_view name) -> std::optional<std::string> {
        for (const auto& [key, text] : query) {
            if (key == name) {
                return text;
            }
        }
        return std::nullopt;
    };
    LinkedFields linked;
    NamedSettings& fields = linked.Fields;
    for (const std::string_view name : TextFields) {
        fields[std::string(name)] = given(name).value_or(DefaultOf(name));
    }
    const std::string presetName = Lowered(given("preset").value_or(""));
    for (const GroovePreset& preset : GroovePresets) {
        if (preset.Name == presetName) {
            fields["inner-radius"] = given("inner-radius").value_or(std::string(preset.Inner));
            fields["outer-radius"] = given("outer-radius").value_or(std::string(preset.Outer));
        }
    }
    if (fields["mains"] != "50" && fields["mains"] != "60") {
        fields["mains"] = DefaultOf("mains");
    }
    if (fields["compliance-at"] != "10" && fields["compliance-at"] != "100") {
        fields["compliance-at"] = DefaultOf("compliance-at");
    }
    const std::optional<std::string> nulls = given("nulls");
    if (nulls) {
        const NullPointFields texts = NullPointFieldsOf(*nulls);
        fields["inner-null"] = texts.Inner;
        fields["outer-null"] = texts.Outer;
    }
    const bool custom = nulls || given("inner-null") || given("outer-null");
    const std::string geometry = custom ? "custom" : Lowered(given("geometry").value_or(DefaultOf("geometry")));
    fields["geometry"] = std::find(Geometries.begin(), Geometries.end(), geometry) != Geometries.end()
                             ? geometry
                             : DefaultOf("geometry");
    fields["exact"] = given("exact") ? "on" : "";
    const std::string paper = Lowered(given("paper").value_or(""));
    const std::span<const NamedPaper> papers = PaperNames();
    linked.PaperChosen =
        std::any_of(papers.begin(), papers.end(), [&](const NamedPaper& p) { return p.Name == paper; });
    if (linked.PaperChosen) {
        fields["paper"] = paper;
    }
    return linked;
}
