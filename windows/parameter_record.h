#pragma once

#include "geometry/fixed_text.h"

#include <cstdint>
#include <string>
#include <string_view>

// The geometry of null points the user gives (the Linux tool and the page only; the window has three buttons):
// InnerNullRadius and OuterNullRadius are then inputs of ComputeAlignment.
inline constexpr std::int16_t CustomNullsChoice = 4;

// The inputs and results of one alignment: what the fields give, what ComputeAlignment adds and where the arc
// template put its points. The Windows program keeps one for the life of the process (windows/program_records.h); the
// portable core takes typed values (geometry/alignment.h), which windows/record_adaptor.h converts to and from.
struct ParameterRecord {
    double InnerGrooveRadius;
    double OuterGrooveRadius;
    double InnerNullRadius;
    double OuterNullRadius;
    double SpindleToPivot;
    double Overhang;
    double EffectiveLength;
    double OffsetAngle;
    double LinearOffset;
    double NullRadiusMean;
    double CorrectionFactorX;
    double CorrectionFactorY;
    std::int16_t GeometryChoice;
    char ArmId[ArmIdLength];
    // Page positions of the arc template (millimetres), written while it prints.
    double PivotPageX;
    double PivotPageY;
    double InnerNullPageX;
    double InnerNullPageY;
    double OuterNullPageX;
    double OuterNullPageY;
    // The null points solve the geometry's defining condition numerically rather than its closed form (the Linux
    // tool's and the page's --exact); the window never sets it.
    bool ExactSolution;
};

void AssignArmId(ParameterRecord& record, std::string_view text);
std::string ArmIdText(const ParameterRecord& record);
