#include "windows/parameter_record.h"

#include <cstring>

void AssignArmId(ParameterRecord& record, std::string_view text) {
    const std::string fixed = FixedLengthText(text, ArmIdLength);
    std::memcpy(record.ArmId, fixed.data(), ArmIdLength);
}

std::string ArmIdText(const ParameterRecord& record) {
    return std::string(record.ArmId, ArmIdLength);
}
