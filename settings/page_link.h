#pragma once

// A setup of the page as the query of a link and back, so that a link opens on the very setup it was made from and
// stays short: only what differs from the defaults, the groove radii of a preset by its name, the paper only when the
// user chose one (a recipient's own default serves otherwise).

#include "settings/settings.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Names and texts in their order, as a URL's query holds them.
using QueryPairs = std::vector<std::pair<std::string, std::string>>;

// The preset whose radii the fields hold ("iec"), or "" for none.
std::string_view PresetNameOf(const NamedSettings& fields);

// The query for the texts of the page's fields (named as the settings, the geometry "custom" for custom null points).
QueryPairs ShareQueryOf(const NamedSettings& fields, bool paperChosen);

// The texts of the page's fields a link's query gives: each field its text from the query, else its default; a
// preset's radii where no radius is given; a --nulls text of the Linux tool read into the two null point fields;
// a geometry the page does not offer as the default; the paper only when the query names one of the papers.
struct LinkedFields {
    NamedSettings Fields;
    bool PaperChosen = false;
};
LinkedFields LinkedFieldsOf(const QueryPairs& query);
