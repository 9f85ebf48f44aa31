#include "windows/record_adaptor.h"

#include "geometry/confirmation_text.h"
#include "print/arc_template.h"

#include <cmath>

std::optional<Geometry> GeometryOfChoice(std::int16_t choice) {
    switch (choice) {
    case 1:
        return Geometry::LofgrenA;
    case 2:
        return Geometry::LofgrenB;
    case 3:
        return Geometry::StevensonA;
    case CustomNullsChoice:
        return Geometry::CustomNulls;
    default:
        return std::nullopt;
    }
}

std::int16_t ChoiceOfGeometry(Geometry geometry) {
    switch (geometry) {
    case Geometry::LofgrenB:
        return 2;
    case Geometry::StevensonA:
        return 3;
    case Geometry::CustomNulls:
        return CustomNullsChoice;
    case Geometry::LofgrenA:
        break;
    }
    return 1;
}

ArmInputs ArmInputsOf(const ParameterRecord& record) {
    ArmInputs arm;
    arm.SpindleToPivot = record.SpindleToPivot;
    arm.InnerGrooveRadius = record.InnerGrooveRadius;
    arm.OuterGrooveRadius = record.OuterGrooveRadius;
    arm.Choice = GeometryOfChoice(record.GeometryChoice).value_or(Geometry::LofgrenA);
    arm.Nulls = {record.InnerNullRadius, record.OuterNullRadius};
    arm.Exact = record.ExactSolution;
    arm.Id = ArmIdText(record);
    return arm;
}

void StoreAlignment(ParameterRecord& record, const Alignment& alignment) {
    record.InnerNullRadius = alignment.InnerNullRadius;
    record.OuterNullRadius = alignment.OuterNullRadius;
    record.EffectiveLength = alignment.EffectiveLength;
    record.Overhang = alignment.Overhang;
    record.OffsetAngle = alignment.OffsetAngle;
    record.LinearOffset = alignment.LinearOffset;
}

void ComputeAlignment(ParameterRecord& record) {
    const std::optional<Geometry> geometry = GeometryOfChoice(record.GeometryChoice);
    if (!geometry) {
        // No geometry read yet: the previous results stay, and the offset follows from them.
        Alignment previous;
        previous.InnerNullRadius = record.InnerNullRadius;
        previous.OuterNullRadius = record.OuterNullRadius;
        previous.EffectiveLength = record.EffectiveLength;
        previous.Overhang = record.Overhang;
        StoreAlignment(record, WithOffsetAngle(record.SpindleToPivot, previous));
        return;
    }
    if (*geometry == Geometry::LofgrenB) {
        record.NullRadiusMean = LofgrenBNullRadiusMean(record.InnerGrooveRadius, record.OuterGrooveRadius);
    }
    StoreAlignment(record, ComputeAlignment(ArmInputsOf(record)));
}

AlignedArm AlignedArmOf(const ParameterRecord& record) {
    AlignedArm arm;
    arm.Inputs = ArmInputsOf(record);
    arm.Values.InnerNullRadius = record.InnerNullRadius;
    arm.Values.OuterNullRadius = record.OuterNullRadius;
    arm.Values.EffectiveLength = record.EffectiveLength;
    arm.Values.Overhang = record.Overhang;
    arm.Values.OffsetAngle = record.OffsetAngle;
    arm.Values.LinearOffset = record.LinearOffset;
    return arm;
}

PrintCorrection CorrectionOf(const ParameterRecord& record) {
    return {record.CorrectionFactorX, record.CorrectionFactorY};
}

std::optional<std::string> ArcTemplateTitle(const ParameterRecord& record) {
    if (!GeometryOfChoice(record.GeometryChoice)) {
        return std::nullopt;
    }
    return ArcTemplateTitle(ArmInputsOf(record));
}

ArcTemplateJob ArcTemplateJobOf(const ParameterRecord& record) {
    return {AlignedArmOf(record), CorrectionOf(record), ArcTemplateTitle(record)};
}

void StorePlacement(ParameterRecord& record, const ArcTemplatePlacement& placed) {
    record.PivotPageX = placed.Pivot.X;
    record.PivotPageY = placed.Pivot.Y;
    if (placed.InnerNull) {
        record.InnerNullPageX = placed.InnerNull->X;
        record.InnerNullPageY = placed.InnerNull->Y;
    }
    if (placed.OuterNull) {
        record.OuterNullPageX = placed.OuterNull->X;
        record.OuterNullPageY = placed.OuterNull->Y;
    }
}

void PrintArcTemplate(PrintSurface& surface, ParameterRecord& record) {
    PrintArcTemplate(surface, record, EdgeMarks::AsDrawn);
}

void PrintArcTemplate(PrintSurface& surface, ParameterRecord& record, EdgeMarks edgeMarks) {
    StorePlacement(record, PrintArcTemplate(surface, ArcTemplateJobOf(record), edgeMarks));
}

void PrintStrobeDisk(PrintSurface& surface, const ParameterRecord& record, std::int32_t outerBars,
                     std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2) {
    PrintStrobeDisk(surface, CorrectionOf(record), outerBars, innerBars, captionLine1, captionLine2);
}

std::string ConfirmationText(const ParameterRecord& record) {
    return ConfirmationText(AlignedArmOf(record));
}
