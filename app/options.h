// The option panel of the main window: the option controls of every function, which
// group boxes a function shows, and each function's saved options in config.ini.
#pragma once

#include <string>

#include "controls/extended/xcUpDown.h"
#include "controls/styled/styButton.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/stdctrls.h"

class TForm_main;

class TOptionPanel {
public:
    virtual ~TOptionPanel() = default;

    TPanel* Panel_options = nullptr;

    // Group boxes, in the order a change of function hides them.
    TGroupBox* GroupBox_resolution = nullptr;
    TGroupBox* GroupBox_sheets = nullptr;
    TGroupBox* GroupBox_orientation = nullptr;
    TGroupBox* GroupBox_data = nullptr;
    TGroupBox* GroupBox_optimized = nullptr;
    TGroupBox* GroupBox_quality = nullptr;
    TGroupBox* GroupBox_merge = nullptr;
    TGroupBox* GroupBox_colordepth = nullptr;
    TGroupBox* GroupBox_papersize = nullptr;
    TGroupBox* GroupBox_identification = nullptr;
    TGroupBox* GroupBox_destination = nullptr;
    TGroupBox* GroupBox_watermark = nullptr;
    TGroupBox* GroupBox_layer = nullptr;
    TGroupBox* GroupBox_encryption = nullptr;
    TGroupBox* GroupBox_html = nullptr;
    TGroupBox* GroupBox_reduction = nullptr;
    TGroupBox* GroupBox_mergeAll = nullptr;
    TGroupBox* GroupBox_range = nullptr;
    TGroupBox* GroupBox_pagesperside = nullptr;

    // Resolution of rendered pages.
    TRadioButton* RadioButton_resolution72 = nullptr;
    TRadioButton* RadioButton_resolution100 = nullptr;
    TRadioButton* RadioButton_resolution150 = nullptr;
    TRadioButton* RadioButton_resolution300 = nullptr;
    TRadioButton* RadioButton_resolution600 = nullptr;
    TRadioButton* RadioButton_resolutionEdit = nullptr;
    TEdit* Edit_resolution = nullptr;
    // Excel sheets.
    TRadioButton* RadioButton_sheetsFirst = nullptr;
    TRadioButton* RadioButton_sheetsLast = nullptr;
    TRadioButton* RadioButton_sheetsAll = nullptr;
    // Orientation.
    TRadioButton* RadioButton_orientationD = nullptr;
    TRadioButton* RadioButton_orientationP = nullptr;
    TRadioButton* RadioButton_orientationL = nullptr;
    // Access object.
    TRadioButton* RadioButton_typeR = nullptr;
    TRadioButton* RadioButton_typeQ = nullptr;
    TRadioButton* RadioButton_typeT = nullptr;
    TEdit* Edit_dataName = nullptr;
    // PDF settings.
    TRadioButton* RadioButton_optimizedD = nullptr;
    TRadioButton* RadioButton_optimizedR = nullptr;
    TRadioButton* RadioButton_optimizedS = nullptr;
    TRadioButton* RadioButton_optimizedP = nullptr;
    TRadioButton* RadioButton_optimizedEdit = nullptr;
    TEdit* Edit_optimized = nullptr;
    // JPEG quality.
    TRadioButton* RadioButton_qualityN = nullptr;
    TRadioButton* RadioButton_qualityM = nullptr;
    TRadioButton* RadioButton_qualityL = nullptr;
    TRadioButton* RadioButton_qualityX = nullptr;
    TRadioButton* RadioButton_qualityEdit = nullptr;
    TEdit* Edit_quality = nullptr;
    // Colour depth.
    TRadioButton* RadioButton_colordepth24 = nullptr;
    TRadioButton* RadioButton_colordepth8 = nullptr;
    TRadioButton* RadioButton_colordepth4 = nullptr;
    TRadioButton* RadioButton_colordepth1 = nullptr;
    TRadioButton* RadioButton_colordepth8g = nullptr;
    // Paper size.
    TComboBox* ComboBox_papersize = nullptr;
    TLabel* Label_papersize_width = nullptr;
    TLabel* Label_papersize_height = nullptr;
    TEdit* Edit_papersize_width = nullptr;
    TEdit* Edit_papersize_height = nullptr;
    TStaticText* StaticText_pagesize = nullptr;
    // Automatic cropping.
    TXcUpDown* XcUpDown_ignore_noise = nullptr;
    TStaticText* StaticText_ignore_noise = nullptr;
    TXcUpDown* XcUpDown_skip_border = nullptr;
    TStaticText* StaticText_skip_border = nullptr;
    TXcUpDown* XcUpDown_add_border = nullptr;
    TStaticText* StaticText_add_border = nullptr;
    // Watermark.
    TEdit* Edit_watermark_text = nullptr;
    TXcUpDown* XcUpDown_watermark_fontsize = nullptr;
    TStaticText* StaticText_watermark_fontsize = nullptr;
    TXcUpDown* XcUpDown_watermark_opacity = nullptr;
    TStaticText* StaticText_watermark_opacity = nullptr;
    // TIFF layers.
    TRadioButton* RadioButton_layerS = nullptr;
    TRadioButton* RadioButton_layerM = nullptr;
    // Encryption.
    TEdit* Edit_encryption_password = nullptr;
    TComboBox* ComboBox_encryption_type = nullptr;
    TStaticText* StaticText_encryption_type = nullptr;
    TCheckBox* CheckBox_encryption_allowsP = nullptr;
    TCheckBox* CheckBox_encryption_allowsM = nullptr;
    TCheckBox* CheckBox_encryption_allowsC = nullptr;
    TCheckBox* CheckBox_encryption_allowsA = nullptr;
    // HTML preview.
    TEdit* Edit_html_title = nullptr;
    TEdit* Edit_html_pagetext = nullptr;
    TXcUpDown* XcUpDown_html_columns = nullptr;
    TStaticText* StaticText_html_columns = nullptr;
    TCheckBox* CheckBox_html_border = nullptr;
    // Reduction.
    TXcUpDown* XcUpDown_reduction_quality = nullptr;
    TStaticText* StaticText_reduction_quality = nullptr;
    // Merging many files.
    TRadioButton* RadioButton_mergeAll_files = nullptr;
    TRadioButton* RadioButton_mergeAll_folder = nullptr;
    // Word page range.
    TRadioButton* RadioButton_rangeAll = nullptr;
    TRadioButton* RadioButton_rangeEdit = nullptr;
    TEdit* Edit_range = nullptr;
    // Word pages per sheet.
    TRadioButton* RadioButton_pagesperside_1 = nullptr;
    TRadioButton* RadioButton_pagesperside_2 = nullptr;
    TRadioButton* RadioButton_pagesperside_4 = nullptr;
    TRadioButton* RadioButton_pagesperside_6 = nullptr;
    TRadioButton* RadioButton_pagesperside_8 = nullptr;
    TRadioButton* RadioButton_pagesperside_16 = nullptr;
    // Merging two files.
    TEdit* Edit_2ndFile = nullptr;
    TStyButton* StyButton_2ndFile = nullptr;
    TStyButton* StyButton_arrange = nullptr;
    TOpenDialog* OpenDialog_2ndFile = nullptr;

    // Binds the option controls' fields and handlers by name when the window is read.
    void BindOptionPanel(TComponent* form);
    // Shows the function's group boxes and lays them out; loads its options interactively.
    void ComboBoxEx_functionChange(TObject* Sender);
    void LoadOptions();
    void SaveOptions();

    void ComboBox_papersizeChange(TObject* Sender);
    void ComboBox_encryption_typeChange(TObject* Sender);
    // A click into an edit chooses the edit's radio button.
    void Edit_resolutionClick(TObject* Sender);
    void Edit_qualityClick(TObject* Sender);
    void Edit_optimizedClick(TObject* Sender);
    void Edit_rangeClick(TObject* Sender);
    // A fixed-value radio button empties the edit of its group.
    void RadioButton_resolution72Click(TObject* Sender);
    void RadioButton_qualityNClick(TObject* Sender);
    void RadioButton_optimizedDClick(TObject* Sender);
    void RadioButton_rangeAllClick(TObject* Sender);
    // Checks of the typed numbers when the focus leaves the edit.
    void Edit_resolutionExit(TObject* Sender);
    void Edit_qualityExit(TObject* Sender);
    void Edit_optimizedExit(TObject* Sender);

    // Sets an up-down's position (refused when outside its range) and shows the position
    // it then has in the static text beside it.
    static void SetCounter(TXcUpDown* upDown, TStaticText* text, int32_t value);

protected:
    TForm_main* Main();

private:
    // The 19 group boxes in the order they are hidden.
    std::vector<TGroupBox*> Groups() const;
    // Shows the message for a typed value that is no whole number or out of range, and
    // puts the focus back; true when the text passes.
    bool CheckEditValue(TEdit* edit, bool ranged, long long lo, long long hi);
};

void RegisterOptionPanelClasses();
