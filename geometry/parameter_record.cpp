#include "geometry/parameter_record.h"

#include <algorithm>
#include <cstring>

std::string FixedLengthText(std::string_view text, std::size_t length) {
    std::string fixed(text.substr(0, std::min(text.size(), length)));
    fixed.resize(length, ' ');
    return fixed;
}

void AssignArmId(ParameterRecord& record, std::string_view text) {
    const std::string fixed = FixedLengthText(text, ArmIdLength);
    std::memcpy(record.ArmId, fixed.data(), ArmIdLength);
}

std::string ArmIdText(const ParameterRecord& record) {
    return std::string(record.ArmId, ArmIdLength);
}
