#include "analysis/analysis_types.h"

const ArmFigures* FindArm(const AlignmentAnalysis& analysis, AnalysedArm arm) {
    for (const ArmFigures& figures : analysis.Arms) {
        if (figures.Arm == arm) {
            return &figures;
        }
    }
    return nullptr;
}

std::string_view ArmName(AnalysedArm arm) {
    switch (arm) {
    case AnalysedArm::LofgrenA:
        return "L\xF6"
               "fgren A";
    case AnalysedArm::LofgrenB:
        return "L\xF6"
               "fgren B";
    case AnalysedArm::StevensonA:
        return "Stevenson A";
    case AnalysedArm::Custom:
        return "Custom";
    case AnalysedArm::UserArm:
        break;
    }
    return "Your arm";
}

std::string_view ArmKey(AnalysedArm arm) {
    switch (arm) {
    case AnalysedArm::LofgrenA:
        return "lofgren-a";
    case AnalysedArm::LofgrenB:
        return "lofgren-b";
    case AnalysedArm::StevensonA:
        return "stevenson-a";
    case AnalysedArm::Custom:
        return "custom";
    case AnalysedArm::UserArm:
        break;
    }
    return "arm";
}
