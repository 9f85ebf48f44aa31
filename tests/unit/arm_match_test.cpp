// The arm-cartridge resonance against the physics it stands for: a mass on a spring of stiffness 1/C swings at
// sqrt(k/m)/(2 pi). Over a table of arms, cartridges and compliances, at 10 Hz and at 100 Hz, the figures, the
// verdict and the advice must agree with it; the advice, followed, must land near 10 Hz.
#include "analysis/arm_match.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

// The spring's own frequency, from SI units.
double SpringHz(double massG, double complianceCu) {
    const double kg = massG / 1000;
    const double newtonsPerMetre = 1 / (complianceCu * 1e-6 / 1e-3);
    return std::sqrt(newtonsPerMetre / kg) / (2 * std::numbers::pi);
}

TEST(ArmMatch, TheResonanceIsTheSpringsOverMassesAndCompliancesAtBothFrequencies) {
    int cases = 0;
    for (const double arm : {4.5, 8.0, 11.0, 14.5, 22.0, 35.0}) {
        for (const double cartridge : {3.8, 6.0, 10.5}) {
            for (const double compliance : {6.0, 10.0, 15.0, 22.0, 35.0}) {
                for (const int at : {10, 100}) {
                    SCOPED_TRACE(std::to_string(arm) + " g, " + std::to_string(cartridge) + " g, " +
                                 std::to_string(compliance) + " cu at " + std::to_string(at) + " Hz");
                    const ArmMatch match = MatchArm({arm, cartridge, 1.0, compliance, at});
                    const double mass = arm + cartridge + 1.0;
                    EXPECT_DOUBLE_EQ(match.TotalMassG, mass);
                    // At 100 Hz the dynamic compliance is 1.5 to 2.2 times more: the most gives the lowest.
                    const double most = at == 100 ? 2.2 : 1.0;
                    const double least = at == 100 ? 1.5 : 1.0;
                    EXPECT_NEAR(match.LowestHz, SpringHz(mass, compliance * most), 1e-9);
                    EXPECT_NEAR(match.HighestHz, SpringHz(mass, compliance * least), 1e-9);
                    EXPECT_EQ(match.Range, at == 100);
                    const bool below = match.HighestHz < 8;
                    const bool above = match.LowestHz > 12;
                    const bool inside = match.LowestHz >= 8 && match.HighestHz <= 12;
                    EXPECT_EQ(match.Verdict == MatchVerdict::TooLow, below);
                    EXPECT_EQ(match.Verdict == MatchVerdict::TooHigh, above);
                    EXPECT_EQ(match.Verdict == MatchVerdict::Good, inside);
                    ASSERT_FALSE(match.Advice.empty());
                    // The compliance the advice asks for gives 10 Hz with the mass as it is, and the mass it
                    // asks for gives 10 Hz on the compliance.
                    EXPECT_NEAR(SpringHz(mass, ComplianceForHz(10, mass)), 10, 1e-9);
                    EXPECT_NEAR(SpringHz(MassForHz(10, compliance), compliance), 10, 1e-9);
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 180);
}

// The advice to add mass, followed at the middle of its range, brings a high resonance into the band.
TEST(ArmMatch, AddingTheAdvisedMassBringsAHighResonanceIntoTheBand) {
    const ArmMatchInput input{9, 6, 0, 8, 10};
    const ArmMatch match = MatchArm(input);
    ASSERT_EQ(match.Verdict, MatchVerdict::TooHigh);
    const std::string& add = match.Advice.front();
    ASSERT_EQ(add.rfind("add ", 0), 0u) << add;
    const double grams = std::stod(add.substr(4));
    ArmMatchInput heavier = input;
    heavier.ExtraMassG = grams;
    EXPECT_NEAR(MatchArm(heavier).LowestHz, 10, 0.05);
}

TEST(ArmMatch, PivotHeightIsTheLengthTimesTheTangentOfTheChange) {
    struct Case {
        double Length;
        double Degrees;
        double Mm;
    };
    // About 4 mm per degree on a 230 mm arm; a negative change lowers the pivot.
    const Case cases[] = {{230, 1, 4.0147}, {230, -1, -4.0147}, {239.3, 0.5, 2.0883}, {305, 2, 10.6508}, {230, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_NEAR(PivotHeightChangeMm(c.Length, c.Degrees), c.Mm, 5e-5) << c.Length << " " << c.Degrees;
    }
}

struct MatchRefusal {
    NamedSettings Settings;
    std::string Field;
    std::string ToolMessage;
    std::string PageMessage;
};

// Each refusal names the option in the tool and the field's label on the page.
TEST(ArmMatch, RefusalsNameTheOptionOrTheLabel) {
    const MatchRefusal cases[] = {
        {{},
         "",
         "give --effective-mass, --cartridge-mass and --compliance for the resonance, or --rake-change and "
         "--effective-length for the arm's height",
         "give Arm's effective mass, Cartridge mass and Compliance for the resonance, or Rake angle change and "
         "Effective length for the arm's height"},
        {{{"effective-mass", "11"}, {"compliance", "15"}},
         "cartridge-mass",
         "the resonance needs --cartridge-mass too",
         "the resonance needs Cartridge mass too"},
        {{{"effective-mass", "0"}, {"cartridge-mass", "6"}, {"compliance", "15"}},
         "effective-mass",
         "--effective-mass must be more than 0 g, not '0'",
         "Arm's effective mass must be more than 0 g, not '0'"},
        {{{"effective-mass", "11"}, {"cartridge-mass", "6"}, {"compliance", "15"}, {"extra-mass", "-1"}},
         "extra-mass",
         "--extra-mass must be 0 g or more, not '-1'",
         "Screws and extras must be 0 g or more, not '-1'"},
        {{{"effective-mass", "11"}, {"cartridge-mass", "6"}, {"compliance", "15"}, {"compliance-at", "50"}},
         "compliance-at",
         "--compliance-at must be 10 or 100, not '50'",
         "Compliance given at must be 10 or 100, not '50'"},
        {{{"rake-change", "1"}},
         "effective-length",
         "--rake-change needs --effective-length too",
         "Rake angle change needs Effective length too"},
        {{{"rake-change", "50"}, {"effective-length", "230"}},
         "rake-change",
         "--rake-change must lie between -45 and 45 degrees, not '50'",
         "Rake angle change must lie between -45 and 45 degrees, not '50'"},
    };
    for (const MatchRefusal& c : cases) {
        for (const SettingsForm form : {SettingsForm::Tool, SettingsForm::Page}) {
            SettingsContext context;
            context.Form = form;
            const SettingsReport report = ReadSettings(SettingsCommand::Match, c.Settings, context);
            ASSERT_TRUE(report.Refused()) << c.ToolMessage;
            EXPECT_EQ(report.Refusals.front().Field, c.Field);
            EXPECT_EQ(report.Refusals.front().Message, form == SettingsForm::Tool ? c.ToolMessage : c.PageMessage);
        }
    }
}

} // namespace
