#include "windows/custom_strobe_fields.h"

#include "windows/control_ids.h"
#include "geometry/numeric_text.h"
#include "print/printouts.h"

std::int32_t CustomOuterBars = 0;
std::int32_t CustomInnerBars = 0;
std::string CustomCaption1;
std::string CustomCaption2;

void ReadCustomStrobeFields(const FieldReader& dialog) {
    CustomOuterBars = RoundToInteger(TextToNumber(dialog.FieldText(ControlId::OuterBarsField)));
    CustomInnerBars = RoundToInteger(TextToNumber(dialog.FieldText(ControlId::InnerBarsField)));
    CustomCaption1 = CentreCaption(dialog.FieldText(ControlId::Caption1Field));
    CustomCaption2 = CentreCaption(dialog.FieldText(ControlId::Caption2Field));
}
