#include "geometry/confirmation_text.h"

#include "geometry/numeric_text.h"

std::string ConfirmationText(const ParameterRecord& record) {
    const auto length = [](double value) { return FormatNumber(value, LengthMask); };
    std::string text = "ID = " + ArmIdText(record);
    text += "\nInner groove radius = " + length(record.InnerGrooveRadius);
    text += "\nOuter groove radius = " + length(record.OuterGrooveRadius);
    text += "\nPivot to spindle distance = " + length(record.SpindleToPivot);
    text += "\nInner null radius = " + length(record.InnerNullRadius);
    text += "\nOuter null radius = " + length(record.OuterNullRadius);
    text += "\nEffective length = " + length(record.EffectiveLength);
    text += "\nOverhang = " + length(record.Overhang);
    text += "\nOffset angle = " + FormatNumber(record.OffsetAngle, AngleMask);
    text += "\nLinear offset = " + length(record.LinearOffset);
    return text;
}
