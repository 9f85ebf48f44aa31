#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t ArmIdLength = 40;

// The inputs and results of one alignment: what the fields give, what ComputeAlignment adds and where the arc
// template put its points. The Windows program keeps one for the life of the process (windows/program_records.h).
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
};

// Cut to `length` bytes or fill with blanks (0x20) to exactly `length` bytes.
std::string FixedLengthText(std::string_view text, std::size_t length);
void AssignArmId(ParameterRecord& record, std::string_view text);
std::string ArmIdText(const ParameterRecord& record);
