// Unattended runs: the command line selects the function, sources, destination and options.
#include <cctype>
#include <climits>

#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/constants.h"
#include "engine/definitions.h"
#include "engine/util.h"

namespace {

// A free value counts only with a leading "="; out receives what follows it.
bool FreeValue(const std::string& value, std::string& out) {
    if (value.empty() || value[0] != '=') return false;
    out = value.substr(1);
    return true;
}

// A number given on the command line after the switch sw; anything that is no 32-bit
// integer is an error that names the switch (the library's own words go to the day log).
int32_t Number(const std::string& text, const std::string& sw) {
    long long v = 0;
    if (TryStrToInt(text, v) && v >= INT32_MIN && v <= INT32_MAX) return int32_t(v);
    Log("ErrorLine", "'" + text + "' is not a valid integer value");
    throw EConvertError("参数 " + EscapeControls(sw) + " 的值 \"" + EscapeControls(text) +
                        "\" 不是有效的整数。");
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsOfficeFunction(const std::string& name) {
    // The command line is read before the main window builds the table.
    if (Functions.empty()) BuildFunctionTable();
    for (const TConverter& row : Functions)
        if (row.Name == name) return row.ThroughOffice;
    return false;
}

bool CommandLineRunsOfficeFunction() {
    return ParamCount() >= 2 && ParamStr(1).compare(0, 2, "-c") == 0 &&
           IsOfficeFunction(ParamStr(2));
}

void TForm_main::ParseCommandLine() {
    const int count = ParamCount();
    if (count < 5) throw Exception("在批模式中少许参数。");
    if (!StartsWith(ParamStr(1), "-c")) throw Exception("第一个参数不是 “转换功能” 参数。");
    if (!StartsWith(ParamStr(3), "-s")) throw Exception("第二个参数不是“源文件”参数。");

    for (int i = 1; i <= count; ++i) {
        const std::string sw = ParamStr(i);
        if (sw.size() < 2 || sw[0] != '-') continue;
        const char family = char(std::tolower(static_cast<unsigned char>(sw[1])));
        const std::string value = ParamStr(i + 1);  // empty after the last parameter
        const bool hasValue = i < count;            // the last switch matches no value test
        std::string free;

        if (family == 'c') {
            int row = -1;
            TStrings* items = ComboBoxEx_function->Items();
            for (int k = 0; k < items->Count() && row < 0 && hasValue; ++k)
                if (StartsWith((*items)[k], value)) row = k;
            if (row < 0) {
                Form_MsgDlg->ShowMsg("批模式: 转换功能 \n> " + value + " <\n不存在!", mkError,
                                     FState.FBatchMode);
                return;
            }
            ComboBoxEx_function->SetItemIndex(row);
            ComboBoxEx_functionChange(ComboBoxEx_function);
            continue;
        }
        if (family == 's') {
            if (sw.size() != 2) continue;
            CollectSourcesFromParam(value);
            if (FState.FSourceFiles->Count() == 1 && FileExists((*FState.FSourceFiles)[0]))
                SelectSource((*FState.FSourceFiles)[0]);
            continue;
        }
        if (family == 'd') {
            // An empty destination stays empty, so the run falls back to the source folder.
            FState.FDestDir = value;
            if (!FState.FDestDir.empty() && FState.FDestDir.back() != '/') FState.FDestDir += '/';
            continue;
        }
        if (family != 'o' || (sw.size() != 3 && sw.size() != 4)) continue;
        const std::string opt = LowerCase(sw.substr(2));

        auto counter = [&](TXcUpDown* upDown, TStaticText* text) {
            if (FreeValue(value, free)) SetCounter(upDown, text, Number(free, sw));
        };
        auto radios = [&](std::initializer_list<std::pair<const char*, TRadioButton*>> choices) {
            for (const auto& [v, radio] : choices)
                if (value == v) radio->SetChecked(true);
        };
        auto firstChar = [&](char c) { return !value.empty() && value[0] == c; };

        if (opt == "r") {
            radios({{"72", RadioButton_resolution72},
                    {"100", RadioButton_resolution100},
                    {"150", RadioButton_resolution150},
                    {"300", RadioButton_resolution300},
                    {"600", RadioButton_resolution600}});
            if (FreeValue(value, free)) {
                std::string n = IntToStr(Number(free, sw));
                RadioButton_resolutionEdit->SetChecked(true);
                Edit_resolution->SetText(n);
            }
        } else if (opt == "s") {
            radios({{"f", RadioButton_sheetsFirst},
                    {"l", RadioButton_sheetsLast},
                    {"a", RadioButton_sheetsAll}});
        } else if (opt == "o") {
            radios({{"d", RadioButton_orientationD},
                    {"p", RadioButton_orientationP},
                    {"l", RadioButton_orientationL}});
        } else if (opt == "q") {
            radios({{"n", RadioButton_qualityN},
                    {"m", RadioButton_qualityM},
                    {"l", RadioButton_qualityL},
                    {"x", RadioButton_qualityX}});
            if (FreeValue(value, free)) {
                std::string n = IntToStr(Number(free, sw));
                RadioButton_qualityEdit->SetChecked(true);
                Edit_quality->SetText(n);
            }
        } else if (opt == "d") {
            radios({{"24", RadioButton_colordepth24},
                    {"8", RadioButton_colordepth8},
                    {"4", RadioButton_colordepth4},
                    {"1", RadioButton_colordepth1},
                    {"8g", RadioButton_colordepth8g}});
        } else if (opt == "p") {
            int row = -1;
            if (value == "d") row = 0;
            for (int k = 0; k < PaperSizeCount && row < 0; ++k)
                if (PaperSizes[size_t(k)][0] == value) row = k + 2;
            if (row >= 0) {
                ComboBox_papersize->SetItemIndex(row);
                ComboBox_papersizeChange(ComboBox_papersize);
            }
        } else if (opt == "ph" || opt == "pw") {
            if (FreeValue(value, free)) {
                std::string n = IntToStr(Number(free, sw));
                ComboBox_papersize->SetItemIndex(1);
                ComboBox_papersizeChange(ComboBox_papersize);
                (opt == "ph" ? Edit_papersize_height : Edit_papersize_width)->SetText(n);
            }
        } else if (opt == "f") {
            radios({{"d", RadioButton_optimizedD},
                    {"s", RadioButton_optimizedS},
                    {"p", RadioButton_optimizedP},
                    {"r", RadioButton_optimizedR}});
            if (FreeValue(value, free)) {
                std::string n = IntToStr(Number(free, sw));
                RadioButton_optimizedEdit->SetChecked(true);
                Edit_optimized->SetText(n);
            }
        } else if (opt == "in") {
            counter(XcUpDown_ignore_noise, StaticText_ignore_noise);
        } else if (opt == "ib") {
            counter(XcUpDown_skip_border, StaticText_skip_border);
        } else if (opt == "nb") {
            counter(XcUpDown_add_border, StaticText_add_border);
        } else if (opt == "wt") {
            if (FreeValue(value, free)) Edit_watermark_text->SetText(free);
        } else if (opt == "wf") {
            counter(XcUpDown_watermark_fontsize, StaticText_watermark_fontsize);
        } else if (opt == "wo") {
            counter(XcUpDown_watermark_opacity, StaticText_watermark_opacity);
        } else if (opt == "ht") {
            if (FreeValue(value, free)) Edit_html_title->SetText(free);
        } else if (opt == "hx") {
            if (FreeValue(value, free)) Edit_html_pagetext->SetText(free);
        } else if (opt == "hb") {
            CheckBox_html_border->SetChecked(true);
        } else if (opt == "hc") {
            counter(XcUpDown_html_columns, StaticText_html_columns);
        } else if (opt == "yt") {
            int row = firstChar('s') ? 0 : firstChar('t') ? 1 : -1;
            if (row >= 0) {
                ComboBox_encryption_type->SetItemIndex(row);
                ComboBox_encryption_typeChange(ComboBox_encryption_type);
            }
        } else if (opt == "ya") {
            // Permissions whose letter is missing are taken away.
            const std::pair<char, TCheckBox*> allows[] = {{'p', CheckBox_encryption_allowsP},
                                                          {'m', CheckBox_encryption_allowsM},
                                                          {'c', CheckBox_encryption_allowsC},
                                                          {'a', CheckBox_encryption_allowsA}};
            for (const auto& [letter, box] : allows)
                if (hasValue && value.find(letter) == std::string::npos) box->SetChecked(false);
        } else if (opt == "yp") {
            if (FreeValue(value, free)) Edit_encryption_password->SetText(free);
        } else if (opt == "g") {
            counter(XcUpDown_reduction_quality, StaticText_reduction_quality);
        } else if (opt == "m") {
            radios({{"a", RadioButton_mergeAll_folder}, {"s", RadioButton_mergeAll_files}});
        } else if (opt == "v") {
            radios({{"d", RadioButton_rangeAll}});
            if (FreeValue(value, free)) {
                RadioButton_rangeEdit->SetChecked(true);
                Edit_range->SetText(free);
            }
        } else if (opt == "a") {
            radios({{"1", RadioButton_pagesperside_1},
                    {"2", RadioButton_pagesperside_2},
                    {"4", RadioButton_pagesperside_4},
                    {"6", RadioButton_pagesperside_6},
                    {"8", RadioButton_pagesperside_8},
                    {"16", RadioButton_pagesperside_16}});
        } else if (opt == "bt") {
            if (firstChar('r')) RadioButton_typeR->SetChecked(true);
            if (firstChar('q')) RadioButton_typeQ->SetChecked(true);
            if (firstChar('t')) RadioButton_typeT->SetChecked(true);
        } else if (opt == "bn") {
            if (FreeValue(value, free)) Edit_dataName->SetText(free);
        } else if (opt == "l") {
            radios({{"s", RadioButton_layerS}, {"m", RadioButton_layerM}});
        }
    }
}
