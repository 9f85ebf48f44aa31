#pragma once

#include "windows/field_reader.h"

#include <map>
#include <string>

// Field texts and check states held in a table: what the Linux tool and the tests answer in place of a window.
// A control that is not in the table has an empty text and is unchecked.
class FieldTextTable : public FieldReader {
public:
    std::map<int, std::string> Texts;
    std::map<int, long long> Checks;

    std::string FieldText(int controlId) const override {
        const auto found = Texts.find(controlId);
        return found == Texts.end() ? std::string() : found->second;
    }
    long long CheckState(int controlId) const override {
        const auto found = Checks.find(controlId);
        return found == Checks.end() ? 0 : found->second;
    }
};
