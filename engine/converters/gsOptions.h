// What the Ghostscript converters share: reading the option controls of the main window
// at the moment of a call, and the pieces their parameter strings are built from. Every
// switch ends with one blank; file names stand in double quotes.
#pragma once

#include <exception>
#include <string>

#include "engine/optionControls.h"
#include "engine/pdfHelper.h"
#include "engine/util.h"
#include "platform/rtl/gsArgs.h"

class TForm;
class TTimer;

// ---------------------------------------------------------------- option controls
// Each raises EComponentError when the main window has no control of that name and kind.

bool RadioChecked(TOptionName<TOptionKind::RadioButton> name);
bool CheckBoxChecked(TOptionName<TOptionKind::CheckBox> name);
std::string EditText(TOptionName<TOptionKind::Edit> name);
int ComboIndex(TOptionName<TOptionKind::ComboBox> name);
bool GroupVisible(TOptionName<TOptionKind::GroupBox> name);
// The position of an up-down counter, asked by the up-down message UDM_GETPOS32.
int UpDownPosition(TOptionName<TOptionKind::UpDown> name);

// A number typed into an edit, as Ghostscript reads it: raises EConvertError when the
// text (blanks around it aside) is not a whole number.
long long EditNumber(TOptionName<TOptionKind::Edit> name);

// A value typed into an edit that goes into a switch as typed (blanks around it aside).
// Raises EConvertError when it holds a blank or a quote, which would split the switch
// and hand the rest to Ghostscript as further switches or file names.
std::string EditSwitchValue(TOptionName<TOptionKind::Edit> name);

// The largest page side Ghostscript's PDF writer takes, in points (200 inches).
inline constexpr long long kLargestPagePoints = 14400;

// A paper edit's number of points for a switch; a value that is no page side (empty, not a
// whole number, 0, negative, too large) raises EConvertError naming the side, and in an
// unattended run the command-line switch that set it.
std::string PaperPoints(TOptionName<TOptionKind::Edit> name, const char* side,
                        const char* batchSwitch);

// The main window itself and its progress timer, as the converters that must reach them
// find them: null when the window has none of that name and kind.
TForm* MainForm(TOptionName<TOptionKind::Form> name);
TTimer* MainTimer(TOptionName<TOptionKind::Timer> name);

// ---------------------------------------------------------------- switch pieces

// The common switches come from GsPrefix (platform/rtl/gsArgs.h).

// -sOutputFile="path"
GsArgs GsOut(const std::string& path);
// One output file per page: the result path with "_p%04d" before its extension.
GsArgs GsPaged(const std::string& dst);
// -f "path"
GsArgs GsSource(const std::string& path);
// The resolution switch from the resolution radios and edit; empty for none.
GsArgs GsResolution();
// Image downsampling to r dpi for colour images, 2r for grey and 4r for monochrome.
GsArgs GsDownsample(long long r);

// The calling convention of the Ghostscript converters: builds the parameter string (the
// line of the job's arguments) and runs the job. A failure while building (a missing control, an
// edit that holds no number) is logged under "ErrorMessage", added to the error list and gives
// False without running Ghostscript; otherwise the runner's result.
template <class Build>
bool RunGsJob(const std::string& jobName, Build build) {
    bool result = false;
    try {
        const std::string params = build();
        result = TGhost().Run(jobName, params);
    } catch (const std::exception& e) {
        ReportError(e);
        result = false;
    }
    return result;
}
