#include "windows/record_adaptor.h"

#include "geometry/confirmation_text.h"
#include "print/arc_template.h"

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
