#pragma once

// The match command's figures as the tool prints them and the page shows them: one row per figure, the sentence
// that judges the resonance, and what to do. UTF-8.

#include "settings/settings.h"

#include <string>
#include <vector>

struct MatchRow {
    std::string Key;
    std::string Label;
    std::string Value;
};

// The rows of what the report worked out: the resonance's when the masses were given, the height's when a rake
// change was; none for a refused report.
std::vector<MatchRow> MatchRows(const SettingsReport& report);

// What to do: to bring the resonance to about 10 Hz, then how far to move the pivot.
std::vector<std::string> MatchAdvice(const SettingsReport& report);

// The tool's text: the rows, the judgement, the advice.
std::string MatchText(const SettingsReport& report);
