// Any texts in the custom strobe dialog: both captions are always exactly 36 bytes with the text centred in them,
// and the counts are the rounded readings of their fields.
#include "windows/control_ids.h"
#include "geometry/numeric_text.h"
#include "windows/custom_strobe_fields.h"
#include "print/printouts.h"

#include "windows/field_table.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

[[noreturn]] void Fail(const char* rule, const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "%s\ntext (%zu bytes): \"%s\"\ncaption (%zu bytes): \"%s\"\n", rule, text.size(),
                 text.substr(0, 200).c_str(), caption.size(), caption.c_str());
    std::abort();
}

void CheckCentred(const std::string& text, const std::string& caption) {
    if (caption.size() != CaptionLength) {
        Fail("a caption is not exactly 36 bytes", text, caption);
    }
    if (text.size() >= CaptionLength) {
        if (caption != text.substr(0, CaptionLength)) {
            Fail("a long caption is not its first 36 bytes", text, caption);
        }
        return;
    }
    const std::size_t before = (CaptionLength - text.size()) / 2;
    const std::size_t after = CaptionLength - text.size() - before;
    if (caption.substr(0, before) != std::string(before, ' ') || caption.substr(before, text.size()) != text ||
        caption.substr(before + text.size()) != std::string(after, ' ')) {
        Fail("a short caption is not centred with blanks", text, caption);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FieldTextTable dialog;
    for (const int control : {ControlId::OuterBarsField, ControlId::InnerBarsField, ControlId::Caption1Field}) {
        dialog.Texts[control] = input.ConsumeRandomLengthString(200);
    }
    dialog.Texts[ControlId::Caption2Field] = input.ConsumeRemainingBytesAsString();
    ReadCustomStrobeFields(dialog);
    CheckCentred(dialog.Texts[ControlId::Caption1Field], CustomCaption1);
    CheckCentred(dialog.Texts[ControlId::Caption2Field], CustomCaption2);
    if (CustomOuterBars != RoundToInteger(TextToNumber(dialog.Texts[ControlId::OuterBarsField])) ||
        CustomInnerBars != RoundToInteger(TextToNumber(dialog.Texts[ControlId::InnerBarsField]))) {
        Fail("a count is not the rounded reading of its field", dialog.Texts[ControlId::OuterBarsField], "");
    }
    return 0;
}
