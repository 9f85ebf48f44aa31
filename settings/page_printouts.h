#pragma once

// The page's printouts and its values as the core hands them over: one table of printouts (the command that makes
// each, its title, the settings it leaves out), the settings each takes from the page's fields, which notices
// concern the whole page rather than one field, and the values as rows. The page keeps none of this itself.

#include "geometry/alignment.h"
#include "settings/settings.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct PagePrintout {
    std::string_view Id;
    SettingsCommand Command;
    // The title of its PDF, and the short name its page-wide warnings go under ("Arc template: ...").
    std::string_view Title;
    std::string_view Short;
    // The built-in disks are their mains alone; empty for any other printout.
    std::string_view Mains;
    // The page's fields the printout does not take; a custom disk made by its speeds leaves out its counts instead.
    std::span<const std::string_view> LeftOut;
    std::span<const std::string_view> LeftOutBySpeeds;
};

// In the order of the page's buttons: arc, strobe-60, strobe-50, chart, strobe-custom.
std::span<const PagePrintout> PagePrintouts();
const PagePrintout* PagePrintoutNamed(std::string_view id);

// The settings that a printout, or the command "values" or "analyse", takes from the texts of the page's fields as
// typed (named as the settings, "geometry" "custom" for the page's custom null points): a field with a default goes
// as typed, even empty, one without only when something is typed in it; the null point fields only with "custom",
// which itself never goes.
NamedSettings PageSettingsFor(std::string_view printoutOrCommand, const NamedSettings& fields);

// The fields of the arm as mounted, which the page gathers under "Your arm" and the analysis alone takes.
std::span<const std::string_view> ArmFields();

// A notice that concerns a printout as a whole (marks the paper cuts, a tiled template, a ring's drift), which the
// page lists under the downloads rather than beside a field.
bool IsPageWideNotice(const SettingNotice& notice);

// One value as the page shows it: "overhang", "Overhang", "17.2 mm"; `Key` for those the user sets the arm to.
struct ValueRow {
    std::string Key;
    std::string Label;
    std::string Value;
    bool SetsTheArm = false;
};
// The ten values of the record, as the tool prints them, without the padding of the ID's line (UTF-8).
std::vector<ValueRow> ValueRowsOf(const AlignedArm& arm);
