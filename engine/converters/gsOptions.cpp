#include "engine/converters/gsOptions.h"

#include "engine/host.h"
#include "engine/pdfHelper.h"
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

bool BreaksSwitch(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == '"';
}

}  // namespace

bool RadioChecked(TOptionName<TOptionKind::RadioButton> name) { return Control<TRadioButton>(name.Str())->Checked(); }
bool CheckBoxChecked(TOptionName<TOptionKind::CheckBox> name) { return Control<TCheckBox>(name.Str())->Checked(); }
std::string EditText(TOptionName<TOptionKind::Edit> name) { return Control<TEdit>(name.Str())->Text(); }
int ComboIndex(TOptionName<TOptionKind::ComboBox> name) { return Control<TComboBox>(name.Str())->ItemIndex(); }
bool GroupVisible(TOptionName<TOptionKind::GroupBox> name) { return Control<TGroupBox>(name.Str())->Visible(); }

int UpDownPosition(TOptionName<TOptionKind::UpDown> name) {
    return int(Control<TControl>(name.Str())->Perform(UDM_GETPOS32, 0, 0));
}

long long EditNumber(TOptionName<TOptionKind::Edit> name) { return StrToInt(Trim(EditText(name))); }

std::string EditSwitchValue(TOptionName<TOptionKind::Edit> name) {
    std::string value = Trim(EditText(name));
    for (char c : value) {
        if (BreaksSwitch(c))
            throw EConvertError("'" + value + "' is not a valid value for " + name.Str());
    }
    return value;
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

const char* const GsPrefix = "-dNOPAUSE -dBATCH -dSAFER ";

std::string GsOut(const std::string& path) {
    return "-sOutputFile=" + QuoteGsArg(GsOutputName(GsFileName(path))) + " ";
}

std::string GsPaged(const std::string& dst) {
    return "-sOutputFile=" + QuoteGsArg(GsPagedOutputName(dst)) + " ";
}

std::string GsSource(const std::string& path) { return "-f " + QuoteGsArg(GsFileName(path)) + " "; }

std::string GsResolution() {
    std::string r;
    if (RadioChecked("RadioButton_resolutionEdit") && !EditText("Edit_resolution").empty())
        r += "-r" + EditSwitchValue("Edit_resolution") + " ";
    if (RadioChecked("RadioButton_resolution600")) r += "-r600 ";
    if (RadioChecked("RadioButton_resolution300")) r += "-r300 ";
    if (RadioChecked("RadioButton_resolution150")) r += "-r150 ";
    if (RadioChecked("RadioButton_resolution100")) r += "-r100 ";
    if (RadioChecked("RadioButton_resolution72")) r += "-r72 ";
    return r;
}

std::string GsDownsample(long long r) {
    return "-dDownsampleMonoImages=true "
           "-dMonoImageDownsampleThreshold=1.5 "
           "-dMonoImageDownsampleType=/Bicubic "
           "-dMonoImageResolution=" + IntToStr(4 * r) + " "
           "-dDownsampleGrayImages=true "
           "-dGrayImageDownsampleThreshold=1.5 "
           "-dGrayImageDownsampleType=/Bicubic "
           "-dGrayImageResolution=" + IntToStr(2 * r) + " "
           "-dDownsampleColorImages=true "
           "-dColorImageDownsampleThreshold=1.5 "
           "-dColorImageDownsampleType=/Bicubic "
           "-dColorImageResolution=" + IntToStr(r) + " ";
}
