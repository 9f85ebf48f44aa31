#include "cli/system_paper.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::optional<PaperSize> Letter = PaperSize::Letter;
const std::optional<PaperSize> A4 = PaperSize::A4;
const std::optional<PaperSize> A3 = PaperSize::A3;
const std::optional<PaperSize> Tabloid = PaperSize::Tabloid;
const std::optional<PaperSize> Legal = PaperSize::Legal;
const std::optional<PaperSize> Unknown = std::nullopt;

std::string Name(const std::optional<PaperSize>& paper) {
    return !paper ? "unknown" : std::string(PaperNameOf(*paper));
}

} // namespace

// ---- Paper names: the papers the tool prints on are themselves, the rest of the ISO family prints on A4 and the
// North American one on Letter ----

TEST(PaperNames, FamiliesMapToTheTwoPapersTheToolPrints) {
    struct Case {
        const char* Text;
        std::optional<PaperSize> Expected;
    };
    const Case cases[] = {
        {"a4", A4},           {"A4", A4},         {"a3", A3},
        {"a5", A4},           {"b5", A4},         {"c5", A4},
        {"a10", A4},          {"DL", A4},         {"letter", Letter},
        {"Letter", Letter},   {"LETTER", Letter}, {"legal", Legal},
        {"tabloid", Tabloid}, {"11x17", Tabloid}, {"halfletter", Letter},
        {"Ledger", Tabloid},  {"A3", A3},         {"executive", Letter},
        {"b4", A4},           {"", Unknown},      {"a", Unknown},
        {"a4x", Unknown},     {"d4", Unknown},    {"letterx", Unknown},
        {"a 4", Unknown},     {"4a0", Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Name(PaperOfName(c.Text)), Name(c.Expected)) << "'" << c.Text << "'";
    }
}

// ---- Papersize files: the first word of the first line that is not blank or a comment ----

TEST(PapersizeFiles, FirstWordOfFirstMeaningfulLine) {
    struct Case {
        const char* Text;
        std::optional<std::string> Expected;
    };
    const Case cases[] = {
        {"a4\n", "a4"},
        {"letter", "letter"},
        {"  letter  \n", "letter"},
        {"\ta4\r\n", "a4"},
        {"# written by the installer\na4\n", "a4"},
        {"\n\n   \n# one\n  # two\nlegal extra words\na4\n", "legal"},
        {"", std::nullopt},
        {"# only a comment\n", std::nullopt},
        {"\n \t \n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperNameInConfigText(c.Text), c.Expected) << "'" << c.Text << "'";
    }
}

// ---- The locale that decides: LC_ALL, then LC_PAPER, then LANG; empty ones do not count ----

TEST(PaperLocale, FirstSetVariableWins) {
    struct Case {
        const char* LcAll;
        const char* LcPaper;
        const char* Lang;
        const char* Expected;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", "en_US.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8"},
        {nullptr, "en_US.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8"},
        {"", "en_US.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8"},
        {nullptr, nullptr, "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {"", "", "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {nullptr, nullptr, nullptr, ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperLocaleName(c.LcAll, c.LcPaper, c.Lang), c.Expected);
    }
}

// ---- Locales that are not installed: their territory decides ----

TEST(LocaleTerritories, LetterInTheAmericasAndThePhilippinesA4Elsewhere) {
    struct Case {
        const char* Locale;
        std::optional<PaperSize> Expected;
    };
    const Case cases[] = {
        {"en_US.UTF-8", Letter},
        {"en_US", Letter},
        {"es_MX.UTF-8", Letter},
        {"fr_CA.UTF-8", Letter},
        {"en_PH", Letter},
        {"es_CL.utf8", Letter},
        {"es_US", Letter},
        {"en_us.utf8", Letter},
        {"en_GB.UTF-8", A4},
        {"de_DE@euro", A4},
        {"de_DE.ISO-8859-15@euro", A4},
        {"es_ES.UTF-8", A4},
        {"pt_BR.UTF-8", A4},
        {"en_AU", A4},
        {"ja_JP.eucJP", A4},
        {"C", Unknown},
        {"POSIX", Unknown},
        {"C.UTF-8", Unknown},
        {"C.utf8", Unknown},
        {"", Unknown},
        {"en", Unknown},
        {"en.UTF-8", Unknown},
        {"en_", Unknown},
        {"en_USA", Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Name(PaperOfLocaleTerritory(c.Locale)), Name(c.Expected)) << c.Locale;
    }
}

// ---- Installed locales: their paper dimensions in whole millimetres ----

TEST(LocaleDimensions, OnlyThePapersTheToolPrintsAreRecognised) {
    struct Case {
        int Width;
        int Height;
        std::optional<PaperSize> Expected;
    };
    const Case cases[] = {
        {216, 279, Letter},  {210, 297, A4},      {297, 210, Unknown}, {279, 216, Unknown},
        {215, 279, Unknown}, {216, 280, Unknown}, {148, 210, Unknown}, {0, 0, Unknown},
        {297, 420, A3},      {279, 432, Tabloid}, {216, 356, Legal},   {420, 297, Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Name(PaperOfDimensions(c.Width, c.Height)), Name(c.Expected)) << c.Width << "x" << c.Height;
    }
}

// ---- The whole chain: environment, papersize files, locale data, territory, Letter ----

namespace {

struct FakeSystem {
    std::map<std::string, std::string> Environment;
    std::map<std::string, std::string> Files;
    std::map<std::string, std::pair<int, int>> InstalledLocales;

    PaperSources Sources() const {
        PaperSources sources;
        sources.Environment = [this](const char* name) -> const char* {
            const auto it = Environment.find(name);
            return it == Environment.end() ? nullptr : it->second.c_str();
        };
        sources.ReadFile = [this](const std::string& path) -> std::optional<std::string> {
            const auto it = Files.find(path);
            return it == Files.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        sources.LocalePaperMm = [this](const std::string& name) -> std::optional<std::pair<int, int>> {
            const auto it = InstalledLocales.find(name);
            return it == InstalledLocales.end() ? std::nullopt : std::optional<std::pair<int, int>>(it->second);
        };
        return sources;
    }
};

} // namespace

TEST(SystemPaper, SettingsAreHonouredInOrder) {
    struct Case {
        const char* What;
        FakeSystem System;
        PaperSize Expected;
    };
    const std::pair<int, int> letterMm{216, 279};
    const std::pair<int, int> a4Mm{210, 297};
    const Case cases[] = {
        {"nothing set at all", {}, PaperSize::Letter},
        {"PAPERSIZE over everything",
         {{{"PAPERSIZE", "letter"}, {"PAPERCONF", "/conf"}, {"LANG", "de_DE.UTF-8"}},
          {{"/conf", "a4\n"}, {"/etc/papersize", "a4\n"}},
          {}},
         PaperSize::Letter},
        {"PAPERSIZE names A4", {{{"PAPERSIZE", "A4"}}, {{"/etc/papersize", "letter\n"}}, {}}, PaperSize::A4},
        {"an unknown PAPERSIZE is passed over",
         {{{"PAPERSIZE", "envelope"}}, {{"/etc/papersize", "a4\n"}}, {}},
         PaperSize::A4},
        {"PAPERCONF over the user's and the system's file",
         {{{"PAPERCONF", "/conf"}, {"HOME", "/home/u"}},
          {{"/conf", "letter"}, {"/home/u/.config/papersize", "a4"}, {"/etc/papersize", "a4"}},
          {}},
         PaperSize::Letter},
        {"a PAPERCONF that cannot be read is passed over",
         {{{"PAPERCONF", "/missing"}}, {{"/etc/papersize", "a4"}}, {}},
         PaperSize::A4},
        {"XDG_CONFIG_HOME over HOME",
         {{{"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}},
          {{"/xdg/papersize", "a4"}, {"/home/u/.config/papersize", "letter"}, {"/etc/papersize", "letter"}},
          {}},
         PaperSize::A4},
        {"the user's file over the system's",
         {{{"HOME", "/home/u"}}, {{"/home/u/.config/papersize", "letter"}, {"/etc/papersize", "a4"}}, {}},
         PaperSize::Letter},
        {"/etc/papersize over the locale",
         {{{"LANG", "en_US.UTF-8"}}, {{"/etc/papersize", "# comment\na4\n"}}, {{"en_US.UTF-8", letterMm}}},
         PaperSize::A4},
        {"a commented-out /etc/papersize is passed over",
         {{{"LANG", "de_DE.UTF-8"}}, {{"/etc/papersize", "# letter\n"}}, {}},
         PaperSize::A4},
        {"installed locale data over the territory",
         {{{"LC_PAPER", "xx_US.UTF-8"}}, {}, {{"xx_US.UTF-8", a4Mm}}},
         PaperSize::A4},
        {"LC_ALL over LC_PAPER and LANG",
         {{{"LC_ALL", "en_US.UTF-8"}, {"LC_PAPER", "de_DE.UTF-8"}, {"LANG", "de_DE.UTF-8"}},
          {},
          {{"en_US.UTF-8", letterMm}, {"de_DE.UTF-8", a4Mm}}},
         PaperSize::Letter},
        {"LC_PAPER over LANG", {{{"LC_PAPER", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}}, {}, {}}, PaperSize::A4},
        {"a locale that is not installed: its territory", {{{"LANG", "en_GB.UTF-8"}}, {}, {}}, PaperSize::A4},
        {"odd locale dimensions: the territory", {{{"LANG", "en_CA"}}, {}, {{"en_CA", {1, 1}}}}, PaperSize::Letter},
        {"the C locale says nothing (its data would say A4)",
         {{{"LANG", "C.UTF-8"}}, {}, {{"C.UTF-8", a4Mm}}},
         PaperSize::Letter},
        {"LC_ALL=C hides LANG", {{{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}, {}, {{"C", a4Mm}}}, PaperSize::Letter},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemPaperSizeFrom(c.System.Sources()), c.Expected) << c.What;
    }
}

TEST(SystemPaper, MissingSourcesCountAsNothingSet) {
    EXPECT_EQ(SystemPaperSizeFrom(PaperSources{}), PaperSize::Letter);
}

TEST(SystemPaper, RealLocaleDataOfTheCLocaleIsReadable) {
    // glibc's C locale always exists; its paper is A4, which is why the chain ignores it.
    const std::optional<std::pair<int, int>> size = SystemPaperSources().LocalePaperMm("C");
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, (std::pair<int, int>{210, 297}));
    EXPECT_FALSE(SystemPaperSources().LocalePaperMm("zz_QQ.NOT-INSTALLED").has_value());
}
