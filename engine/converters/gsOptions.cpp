#include "engine/converters/gsOptions.h"

#include "engine/host.h"
#include "engine/pdfHelper.h"
#include "engine/pdfSource.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

// The up-down message that answers the current position (the common controls' 32-bit form).
constexpr UINT UDM_GETPOS32 = 0x0400 + 114;

template <class T>
T* Control(const std::string& name) {
    TMainState* s = MainState();
    if (!s) throw Exception("The main window does not exist.");
    T* c = dynamic_cast<T*>(s->FindComponent(name));
    if (!c) throw EComponentError("Component '" + name + "' not found");
    return c;
}

}  // namespace

bool RadioChecked(TOptionName<TOptionKind::RadioButton> name) {
    return Control<TRadioButton>(name.Str())->Checked();
}
bool CheckBoxChecked(TOptionName<TOptionKind::CheckBox> name) {
    return Control<TCheckBox>(name.Str())->Checked();
}
std::string EditText(TOptionName<TOptionKind::Edit> name) {
    return Control<TEdit>(name.Str())->Text();
}
int ComboIndex(TOptionName<TOptionKind::ComboBox> name) {
    return Control<TComboBox>(name.Str())->ItemIndex();
}
bool GroupVisible(TOptionName<TOptionKind::GroupBox> name) {
    return Control<TGroupBox>(name.Str())->Visible();
}

int UpDownPosition(TOptionName<TOptionKind::UpDown> name) {
    return int(Control<TControl>(name.Str())->Perform(UDM_GETPOS32, 0, 0));
}

long long EditNumber(TOptionName<TOptionKind::Edit> name) { return StrToInt(Trim(EditText(name))); }

std::string EditSwitchValue(TOptionName<TOptionKind::Edit> name) {
    std::string value = Trim(EditText(name));
    if (!GsBareWritable(value))
        throw EConvertError("'" + value + "' is not a valid value for " + name.Str());
    return value;
}

std::string PaperPoints(TOptionName<TOptionKind::Edit> name, const char* side,
                        const char* batchSwitch) {
    std::string value = Trim(EditText(name));
    const bool digits = !value.empty() && value.size() <= 5 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    if (digits && StrToInt(value) >= 1 && StrToInt(value) <= kLargestPagePoints) return value;
    const TMainState* s = MainState();
    throw EConvertError("纸张的" + std::string(side) + " \"" + value + "\" 不能使用: 必须是 1 到 " +
                        IntToStr(kLargestPagePoints) + " 之间的点数" +
                        (s && s->FBatchMode ? std::string(" (参数 ") + batchSwitch + ")" : "") +
                        "。");
}

namespace {
TComponent* FindMain(const std::string& name, TOptionKind kind) {
    TMainState* s = MainState();
    TComponent* c = s ? s->FindComponent(name) : nullptr;
    return IsOfOptionKind(c, kind) ? c : nullptr;
}
}  // namespace

TForm* MainForm(TOptionName<TOptionKind::Form> name) {
    return static_cast<TForm*>(FindMain(name.Str(), TOptionKind::Form));
}
TTimer* MainTimer(TOptionName<TOptionKind::Timer> name) {
    return static_cast<TTimer*>(FindMain(name.Str(), TOptionKind::Timer));
}

GsArgs GsOut(const std::string& path) {
    return GsArgs().Quoted("-sOutputFile=", GsOutputName(GsFileName(path)));
}

GsArgs GsPaged(const std::string& dst) {
    return GsArgs().Quoted("-sOutputFile=", GsPagedOutputName(dst));
}

GsArgs GsSource(const std::string& path) {
    GsArgs source;
    source += "-f";
    return source.Quoted("", GsFileName(GhostscriptInput(path)));
}

GsArgs GsResolution() {
    GsArgs r;
    if (RadioChecked("RadioButton_resolutionEdit") && !EditText("Edit_resolution").empty())
        r += "-r" + EditSwitchValue("Edit_resolution");
    if (RadioChecked("RadioButton_resolution600")) r += "-r600";
    if (RadioChecked("RadioButton_resolution300")) r += "-r300";
    if (RadioChecked("RadioButton_resolution150")) r += "-r150";
    if (RadioChecked("RadioButton_resolution100")) r += "-r100";
    if (RadioChecked("RadioButton_resolution72")) r += "-r72";
    return r;
}

GsArgs GsDownsample(long long r) {
    GsArgs d;
    d += "-dDownsampleMonoImages=true -dMonoImageDownsampleThreshold=1.5 "
         "-dMonoImageDownsampleType=/Bicubic";
    d += "-dMonoImageResolution=" + IntToStr(4 * r);
    d += "-dDownsampleGrayImages=true -dGrayImageDownsampleThreshold=1.5 "
         "-dGrayImageDownsampleType=/Bicubic";
    d += "-dGrayImageResolution=" + IntToStr(2 * r);
    d += "-dDownsampleColorImages=true -dColorImageDownsampleThreshold=1.5 "
         "-dColorImageDownsampleType=/Bicubic";
    d += "-dColorImageResolution=" + IntToStr(r);
    return d;
}
