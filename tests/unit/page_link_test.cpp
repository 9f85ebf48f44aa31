#include "settings/page_link.h"

#include <gtest/gtest.h>

#include <string>

namespace {

NamedSettings With(NamedSettings fields, const NamedSettings& changes) {
    for (const auto& [name, text] : changes) {
        fields[name] = text;
    }
    return fields;
}

struct RoundTripCase {
    NamedSettings Changes;
    bool PaperChosen;
    QueryPairs Query;
};

// A link opens on the very setup it was made from, and holds only what differs from the defaults.
TEST(PageLink, ALinkOpensOnTheSetupItWasMadeFrom) {
    const NamedSettings defaults = LinkedFieldsOf({}).Fields;
    const RoundTripCase cases[] = {
        {{}, false, {}},
        {{{"inner-radius", "60.325"}}, false, {{"preset", "iec"}}},
        {{{"inner-radius", "60.325"}, {"outer-radius", "146"}},
         false,
         {{"inner-radius", "60.325"}, {"outer-radius", "146"}}},
        {{{"geometry", "custom"}, {"inner-null", "66,0"}}, false, {{"inner-null", "66,0"}, {"outer-null", ""}}},
        {{{"geometry", "lofgren-b"}, {"exact", "on"}, {"id", "Deck ö 1"}},
         false,
         {{"id", "Deck ö 1"}, {"geometry", "lofgren-b"}, {"exact", ""}}},
        {{{"speeds", "33,3+45"}, {"mains", "50"}}, false, {{"speeds", "33,3+45"}, {"mains", "50"}}},
        {{{"effective-length", "239"}, {"offset-angle", "24"}, {"spindle-to-pivot", ""}},
         false,
         {{"spindle-to-pivot", ""}, {"effective-length", "239"}, {"offset-angle", "24"}}},
        {{{"paper", "a4"}, {"margin", "3"}}, true, {{"margin", "3"}, {"paper", "a4"}}},
    };
    for (const RoundTripCase& c : cases) {
        const NamedSettings fields = With(defaults, c.Changes);
        const QueryPairs query = ShareQueryOf(fields, c.PaperChosen);
        EXPECT_EQ(query, c.Query);
        const LinkedFields opened = LinkedFieldsOf(query);
        EXPECT_EQ(opened.Fields, fields) << (query.empty() ? "" : query.front().first);
        EXPECT_EQ(opened.PaperChosen, c.PaperChosen);
    }
}

struct LinkCase {
    QueryPairs Query;
    NamedSettings Wanted;
    bool PaperChosen;
};

// Links written by hand or by the Linux tool's option names: a preset with an explicit radius, --nulls in one text,
// a geometry or paper the page does not offer, a mains frequency that is neither.
TEST(PageLink, HandWrittenLinksFillTheFieldsAsTheToolWouldReadThem) {
    const LinkCase cases[] = {
        {{{"preset", "IEC"}, {"inner-radius", "60"}}, {{"inner-radius", "60"}, {"outer-radius", "146.05"}}, false},
        {{{"preset", "typical"}}, {{"inner-radius", "63"}, {"outer-radius", "145"}, {"geometry", "lofgren-a"}}, false},
        {{{"nulls", "66;120,9"}}, {{"geometry", "custom"}, {"inner-null", "66"}, {"outer-null", "120.9"}}, false},
        {{{"nulls", "66,5,120"}}, {{"geometry", "custom"}, {"inner-null", "66,5,120"}, {"outer-null", ""}}, false},
        {{{"geometry", "Stevenson-A"}}, {{"geometry", "stevenson-a"}}, false},
        {{{"geometry", "baerwald"}}, {{"geometry", "lofgren-a"}}, false},
        {{{"mains", "55"}}, {{"mains", "60"}}, false},
        {{{"paper", "B5"}}, {{"margin", "4.23"}}, false},
        {{{"paper", "Letter"}, {"exact", ""}}, {{"paper", "letter"}, {"exact", "on"}}, true},
    };
    for (const LinkCase& c : cases) {
        const LinkedFields opened = LinkedFieldsOf(c.Query);
        for (const auto& [name, text] : c.Wanted) {
            EXPECT_EQ(opened.Fields.at(name), text) << c.Query.front().first << " " << name;
        }
        EXPECT_EQ(opened.PaperChosen, c.PaperChosen) << c.Query.front().first;
        EXPECT_EQ(opened.Fields.count("paper"), c.PaperChosen ? 1U : 0U);
    }
}

TEST(PageLink, PresetOfTheRadiiTyped) {
    const std::pair<NamedSettings, std::string> cases[] = {
        {{{"inner-radius", "57.5"}, {"outer-radius", "146.05"}}, "din"},
        {{{"inner-radius", "60.325"}, {"outer-radius", "146.05"}}, "iec"},
        {{{"inner-radius", "60,325"}, {"outer-radius", "146.05"}}, ""},
        {{{"inner-radius", "63"}}, ""},
    };
    for (const auto& [fields, preset] : cases) {
        EXPECT_EQ(PresetNameOf(fields), preset);
    }
}

} // namespace
