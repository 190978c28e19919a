// The main window's controls that the converters read and the function table names, by
// name and kind, in one place.
// The readers of gsOptions take a TOptionName, whose constructor runs at compile time: a
// name missing from this table, or asked for as another kind, does not build. The window
// checks at start-up that each of these exists with its kind (VerifyOptionControls), and the
// engine tests make their stand-in controls from the same table.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class TComponent;

enum class TOptionKind { RadioButton, CheckBox, Edit, ComboBox, GroupBox, UpDown, Form, Timer };

struct TOptionControlEntry {
    std::string_view name;
    TOptionKind kind;
};

inline constexpr TOptionControlEntry OptionControls[] = {
    {"CheckBox_encryption_allowsA", TOptionKind::CheckBox},
    {"CheckBox_encryption_allowsC", TOptionKind::CheckBox},
    {"CheckBox_encryption_allowsM", TOptionKind::CheckBox},
    {"CheckBox_encryption_allowsP", TOptionKind::CheckBox},
    {"CheckBox_html_border", TOptionKind::CheckBox},
    {"ComboBox_encryption_type", TOptionKind::ComboBox},
    {"ComboBox_papersize", TOptionKind::ComboBox},
    {"Edit_dataName", TOptionKind::Edit},
    {"Edit_encryption_password", TOptionKind::Edit},
    {"Edit_html_pagetext", TOptionKind::Edit},
    {"Edit_html_title", TOptionKind::Edit},
    {"Edit_optimized", TOptionKind::Edit},
    {"Edit_papersize_height", TOptionKind::Edit},
    {"Edit_papersize_width", TOptionKind::Edit},
    {"Edit_quality", TOptionKind::Edit},
    {"Edit_range", TOptionKind::Edit},
    {"Edit_resolution", TOptionKind::Edit},
    {"Edit_watermark_text", TOptionKind::Edit},
    {"GroupBox_colordepth", TOptionKind::GroupBox},
    {"GroupBox_data", TOptionKind::GroupBox},
    {"GroupBox_destination", TOptionKind::GroupBox},
    {"GroupBox_encryption", TOptionKind::GroupBox},
    {"GroupBox_html", TOptionKind::GroupBox},
    {"GroupBox_identification", TOptionKind::GroupBox},
    {"GroupBox_layer", TOptionKind::GroupBox},
    {"GroupBox_merge", TOptionKind::GroupBox},
    {"GroupBox_mergeAll", TOptionKind::GroupBox},
    {"GroupBox_optimized", TOptionKind::GroupBox},
    {"GroupBox_orientation", TOptionKind::GroupBox},
    {"GroupBox_pagesperside", TOptionKind::GroupBox},
    {"GroupBox_papersize", TOptionKind::GroupBox},
    {"GroupBox_quality", TOptionKind::GroupBox},
    {"GroupBox_range", TOptionKind::GroupBox},
    {"GroupBox_reduction", TOptionKind::GroupBox},
    {"GroupBox_resolution", TOptionKind::GroupBox},
    {"GroupBox_sheets", TOptionKind::GroupBox},
    {"GroupBox_watermark", TOptionKind::GroupBox},
    {"RadioButton_colordepth1", TOptionKind::RadioButton},
    {"RadioButton_colordepth24", TOptionKind::RadioButton},
    {"RadioButton_colordepth4", TOptionKind::RadioButton},
    {"RadioButton_colordepth8", TOptionKind::RadioButton},
    {"RadioButton_colordepth8g", TOptionKind::RadioButton},
    {"RadioButton_layerS", TOptionKind::RadioButton},
    {"RadioButton_optimizedD", TOptionKind::RadioButton},
    {"RadioButton_optimizedEdit", TOptionKind::RadioButton},
    {"RadioButton_optimizedP", TOptionKind::RadioButton},
    {"RadioButton_optimizedR", TOptionKind::RadioButton},
    {"RadioButton_optimizedS", TOptionKind::RadioButton},
    {"RadioButton_orientationD", TOptionKind::RadioButton},
    {"RadioButton_orientationL", TOptionKind::RadioButton},
    {"RadioButton_orientationP", TOptionKind::RadioButton},
    {"RadioButton_pagesperside_16", TOptionKind::RadioButton},
    {"RadioButton_pagesperside_2", TOptionKind::RadioButton},
    {"RadioButton_pagesperside_4", TOptionKind::RadioButton},
    {"RadioButton_pagesperside_6", TOptionKind::RadioButton},
    {"RadioButton_pagesperside_8", TOptionKind::RadioButton},
    {"RadioButton_qualityEdit", TOptionKind::RadioButton},
    {"RadioButton_qualityL", TOptionKind::RadioButton},
    {"RadioButton_qualityM", TOptionKind::RadioButton},
    {"RadioButton_qualityN", TOptionKind::RadioButton},
    {"RadioButton_qualityX", TOptionKind::RadioButton},
    {"RadioButton_rangeEdit", TOptionKind::RadioButton},
    {"RadioButton_resolution100", TOptionKind::RadioButton},
    {"RadioButton_resolution150", TOptionKind::RadioButton},
    {"RadioButton_resolution300", TOptionKind::RadioButton},
    {"RadioButton_resolution600", TOptionKind::RadioButton},
    {"RadioButton_resolution72", TOptionKind::RadioButton},
    {"RadioButton_resolutionEdit", TOptionKind::RadioButton},
    {"RadioButton_sheetsAll", TOptionKind::RadioButton},
    {"RadioButton_sheetsFirst", TOptionKind::RadioButton},
    {"RadioButton_sheetsLast", TOptionKind::RadioButton},
    {"RadioButton_typeQ", TOptionKind::RadioButton},
    {"RadioButton_typeR", TOptionKind::RadioButton},
    {"RadioButton_typeT", TOptionKind::RadioButton},
    {"XcUpDown_add_border", TOptionKind::UpDown},
    {"XcUpDown_html_columns", TOptionKind::UpDown},
    {"XcUpDown_ignore_noise", TOptionKind::UpDown},
    {"XcUpDown_reduction_quality", TOptionKind::UpDown},
    {"XcUpDown_skip_border", TOptionKind::UpDown},
    {"XcUpDown_watermark_fontsize", TOptionKind::UpDown},
    {"XcUpDown_watermark_opacity", TOptionKind::UpDown},
    {"Form_main", TOptionKind::Form},
    {"Timer_progress", TOptionKind::Timer},
};

consteval bool IsOptionControl(std::string_view name, TOptionKind kind) {
    for (const auto& e : OptionControls)
        if (e.name == name) return e.kind == kind;
    return false;
}

// A control name checked against the table while compiling.
template <TOptionKind Kind>
struct TOptionName {
    // Not explicit: call sites pass the literal, as in RadioChecked("RadioButton_qualityX").
    consteval TOptionName(const char* n) : name(n) {
        if (!IsOptionControl(name, Kind)) throw "not a control of the main window of this kind";
    }
    std::string Str() const { return std::string(name); }
    std::string_view name;
};

// True when the component is of the kind the table gives.
bool IsOfOptionKind(const TComponent* c, TOptionKind kind);

// Raises EComponentError naming the first control of the table that `find` does not give,
// or gives of another kind.
void VerifyOptionControls(const std::function<TComponent*(const std::string&)>& find);
