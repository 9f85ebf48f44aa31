#include "windows/window_alignment.h"

#include "windows/record_adaptor.h"

#include "geometry/numeric_text.h"
#include "windows/control_ids.h"
#include "windows/program_records.h"

void ReadAndComputeAlignment(const FieldReader& window) {
    ReadAndComputeAlignment(window, Parameters);
}

void ReadAndComputeAlignment(const FieldReader& window, ParameterRecord& record) {
    record.SpindleToPivot = TextToNumber(window.FieldText(ControlId::SpindleToPivotField));
    record.InnerGrooveRadius = TextToNumber(window.FieldText(ControlId::InnerGrooveField));
    record.OuterGrooveRadius = TextToNumber(window.FieldText(ControlId::OuterGrooveField));
    record.CorrectionFactorX = TextToNumber(window.FieldText(ControlId::CorrectionXField));
    record.CorrectionFactorY = TextToNumber(window.FieldText(ControlId::CorrectionYField));
    AssignArmId(record, window.FieldText(ControlId::ArmIdField));
    constexpr int Buttons[] = {ControlId::LofgrenAButton, ControlId::LofgrenBButton, ControlId::StevensonAButton};
    for (int choice = 1; choice <= 3; ++choice) {
        if (window.CheckState(Buttons[choice - 1]) == 1) {
            record.GeometryChoice = static_cast<std::int16_t>(choice);
        }
    }
    ComputeAlignment(record);
}
