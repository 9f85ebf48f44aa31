#include "geometry/confirmation_text.h"

#include "geometry/numeric_text.h"

std::string ConfirmationText(const AlignedArm& arm) {
    const auto length = [](double value) { return FormatNumber(value, LengthMask); };
    std::string text = "ID = " + arm.Inputs.Id;
    text += "\nInner groove radius = " + length(arm.Inputs.InnerGrooveRadius);
    text += "\nOuter groove radius = " + length(arm.Inputs.OuterGrooveRadius);
    text += "\nPivot to spindle distance = " + length(arm.Inputs.SpindleToPivot);
    text += "\nInner null radius = " + length(arm.Values.InnerNullRadius);
    text += "\nOuter null radius = " + length(arm.Values.OuterNullRadius);
    text += "\nEffective length = " + length(arm.Values.EffectiveLength);
    text += "\nOverhang = " + length(arm.Values.Overhang);
    text += "\nOffset angle = " + FormatNumber(arm.Values.OffsetAngle, AngleMask);
    text += "\nLinear offset = " + length(arm.Values.LinearOffset);
    return text;
}
