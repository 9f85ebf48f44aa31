#include "print/custom_strobe_fields.h"

#include "geometry/control_ids.h"
#include "geometry/numeric_text.h"
#include "print/printouts.h"

std::int32_t CustomOuterBars = 0;
std::int32_t CustomInnerBars = 0;
std::string CustomCaption1;
std::string CustomCaption2;

std::string CentreCaption(std::string_view text) {
    if (text.size() >= CaptionLength) {
        return std::string(text.substr(0, CaptionLength));
    }
    const std::size_t before = (CaptionLength - text.size()) / 2;
    const std::size_t after = CaptionLength - text.size() - before;
    return std::string(before, ' ') + std::string(text) + std::string(after, ' ');
}

void ReadCustomStrobeFields(const FieldReader& dialog) {
    CustomOuterBars = RoundToInteger(TextToNumber(dialog.FieldText(ControlId::OuterBarsField)));
    CustomInnerBars = RoundToInteger(TextToNumber(dialog.FieldText(ControlId::InnerBarsField)));
    CustomCaption1 = CentreCaption(dialog.FieldText(ControlId::Caption1Field));
    CustomCaption2 = CentreCaption(dialog.FieldText(ControlId::Caption2Field));
}
