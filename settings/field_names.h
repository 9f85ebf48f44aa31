#pragma once

// How each form names a field when it speaks of it: the Linux tool by its option, the page by the label the user
// sees beside the field. A notice is composed with the name of its form, so that it points at what the user can
// find on the screen in front of them.

#include <span>
#include <string>
#include <string_view>

enum class SettingsForm { Tool, Page };

struct FieldLabel {
    std::string_view Field;
    std::string_view Label;
};

// The page's fields by setting name, with their visible labels; the page's two null point fields are settings of
// their own here ("inner-null", "outer-null"), where the tool takes both in --nulls.
std::span<const FieldLabel> PageFieldLabels();

// "--margin" for the tool; "Printer margin" for the page. A setting the page has no field for is named by its option
// in both forms.
std::string FieldNameIn(SettingsForm form, std::string_view field);
