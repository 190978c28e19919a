#include "app/options.h"

#include <climits>

#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/constants.h"
#include "engine/definitions.h"

namespace {

// The key of a control in its function's section: its name in upper case.
std::string Key(const TComponent* c) { return UpperCase(c->Name); }

void LoadCheck(TIniFile* ini, const std::string& section, TRadioButton* r, bool def) {
    r->SetChecked(ini->ReadBool(section, Key(r), def));
}
void LoadCheck(TIniFile* ini, const std::string& section, TCheckBox* c, bool def) {
    c->SetChecked(ini->ReadBool(section, Key(c), def));
}
void LoadText(TIniFile* ini, const std::string& section, TEdit* e, const std::string& def) {
    e->SetText(ini->ReadString(section, Key(e), def));
}
// An edit that belongs to a radio button: filled from the section when the radio is
// checked, else emptied.
void LoadEditOfRadio(TIniFile* ini, const std::string& section, TRadioButton* r, TEdit* e) {
    e->SetText(r->Checked() ? ini->ReadString(section, Key(e), "") : "");
}
int32_t ReadInt32(TIniFile* ini, const std::string& section, const std::string& key, int32_t def) {
    long long v = ini->ReadInteger(section, key, def);
    return v < INT32_MIN || v > INT32_MAX ? def : int32_t(v);
}
void LoadCounter(TIniFile* ini, const std::string& section, TXcUpDown* u, TStaticText* t,
                 int32_t def) {
    TOptionPanel::SetCounter(u, t, ReadInt32(ini, section, Key(u), def));
}

void Save(TIniFile* ini, const std::string& section, TRadioButton* r) {
    ini->WriteBool(section, Key(r), r->Checked());
}
void Save(TIniFile* ini, const std::string& section, TCheckBox* c) {
    ini->WriteBool(section, Key(c), c->Checked());
}
void Save(TIniFile* ini, const std::string& section, TEdit* e) {
    ini->WriteString(section, Key(e), e->Text());
}
void Save(TIniFile* ini, const std::string& section, TXcUpDown* u) {
    ini->WriteInteger(section, Key(u), u->Position());
}
void Save(TIniFile* ini, const std::string& section, TComboBox* c) {
    ini->WriteInteger(section, Key(c), c->ItemIndex());
}

// A control of the main window that the function table names (present by the start-up
// check of the option controls).
template <class T>
T* Named(const TForm_main* f, const std::string& name) {
    T* c = dynamic_cast<T*>(f->FindComponent(name));
    if (!c) throw EComponentError("Component '" + name + "' not found");
    return c;
}

// A whole number as a user types it: optional sign and decimal digits, blanks around it
// allowed; it must fit into 32 bits.
bool IsWholeNumber(const std::string& text, long long& value) {
    std::string s = Trim(text);
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (i >= s.size() || s.size() - i > 10) return false;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    value = std::stoll(s);
    return value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace

TForm_main* TOptionPanel::Main() { return static_cast<TForm_main*>(this); }

void TOptionPanel::SetCounter(TXcUpDown* upDown, TStaticText* text, int32_t value) {
    upDown->SetPosition(value);
    text->SetCaption(IntToStr(upDown->Position()));
}

void TOptionPanel::BindOptionPanel(TComponent* form) {
    form->BindField("Panel_options", Panel_options);
    form->BindField("GroupBox_resolution", GroupBox_resolution);
    form->BindField("GroupBox_sheets", GroupBox_sheets);
    form->BindField("GroupBox_orientation", GroupBox_orientation);
    form->BindField("GroupBox_data", GroupBox_data);
    form->BindField("GroupBox_optimized", GroupBox_optimized);
    form->BindField("GroupBox_quality", GroupBox_quality);
    form->BindField("GroupBox_merge", GroupBox_merge);
    form->BindField("GroupBox_colordepth", GroupBox_colordepth);
    form->BindField("GroupBox_papersize", GroupBox_papersize);
    form->BindField("GroupBox_identification", GroupBox_identification);
    form->BindField("GroupBox_destination", GroupBox_destination);
    form->BindField("GroupBox_watermark", GroupBox_watermark);
    form->BindField("GroupBox_layer", GroupBox_layer);
    form->BindField("GroupBox_encryption", GroupBox_encryption);
    form->BindField("GroupBox_html", GroupBox_html);
    form->BindField("GroupBox_reduction", GroupBox_reduction);
    form->BindField("GroupBox_mergeAll", GroupBox_mergeAll);
    form->BindField("GroupBox_range", GroupBox_range);
    form->BindField("GroupBox_pagesperside", GroupBox_pagesperside);

    form->BindField("RadioButton_resolution72", RadioButton_resolution72);
    form->BindField("RadioButton_resolution100", RadioButton_resolution100);
    form->BindField("RadioButton_resolution150", RadioButton_resolution150);
    form->BindField("RadioButton_resolution300", RadioButton_resolution300);
    form->BindField("RadioButton_resolution600", RadioButton_resolution600);
    form->BindField("RadioButton_resolutionEdit", RadioButton_resolutionEdit);
    form->BindField("Edit_resolution", Edit_resolution);
    form->BindField("RadioButton_sheetsFirst", RadioButton_sheetsFirst);
    form->BindField("RadioButton_sheetsLast", RadioButton_sheetsLast);
    form->BindField("RadioButton_sheetsAll", RadioButton_sheetsAll);
    form->BindField("RadioButton_orientationD", RadioButton_orientationD);
    form->BindField("RadioButton_orientationP", RadioButton_orientationP);
    form->BindField("RadioButton_orientationL", RadioButton_orientationL);
    form->BindField("RadioButton_typeR", RadioButton_typeR);
    form->BindField("RadioButton_typeQ", RadioButton_typeQ);
    form->BindField("RadioButton_typeT", RadioButton_typeT);
    form->BindField("Edit_dataName", Edit_dataName);
    form->BindField("RadioButton_optimizedD", RadioButton_optimizedD);
    form->BindField("RadioButton_optimizedR", RadioButton_optimizedR);
    form->BindField("RadioButton_optimizedS", RadioButton_optimizedS);
    form->BindField("RadioButton_optimizedP", RadioButton_optimizedP);
    form->BindField("RadioButton_optimizedEdit", RadioButton_optimizedEdit);
    form->BindField("Edit_optimized", Edit_optimized);
    form->BindField("RadioButton_qualityN", RadioButton_qualityN);
    form->BindField("RadioButton_qualityM", RadioButton_qualityM);
    form->BindField("RadioButton_qualityL", RadioButton_qualityL);
    form->BindField("RadioButton_qualityX", RadioButton_qualityX);
    form->BindField("RadioButton_qualityEdit", RadioButton_qualityEdit);
    form->BindField("Edit_quality", Edit_quality);
    form->BindField("RadioButton_colordepth24", RadioButton_colordepth24);
    form->BindField("RadioButton_colordepth8", RadioButton_colordepth8);
    form->BindField("RadioButton_colordepth4", RadioButton_colordepth4);
    form->BindField("RadioButton_colordepth1", RadioButton_colordepth1);
    form->BindField("RadioButton_colordepth8g", RadioButton_colordepth8g);
    form->BindField("ComboBox_papersize", ComboBox_papersize);
    form->BindField("Label_papersize_width", Label_papersize_width);
    form->BindField("Label_papersize_height", Label_papersize_height);
    form->BindField("Edit_papersize_width", Edit_papersize_width);
    form->BindField("Edit_papersize_height", Edit_papersize_height);
    form->BindField("StaticText_pagesize", StaticText_pagesize);
    form->BindField("XcUpDown_ignore_noise", XcUpDown_ignore_noise);
    form->BindField("StaticText_ignore_noise", StaticText_ignore_noise);
    form->BindField("XcUpDown_skip_border", XcUpDown_skip_border);
    form->BindField("StaticText_skip_border", StaticText_skip_border);
    form->BindField("XcUpDown_add_border", XcUpDown_add_border);
    form->BindField("StaticText_add_border", StaticText_add_border);
    form->BindField("Edit_watermark_text", Edit_watermark_text);
    form->BindField("XcUpDown_watermark_fontsize", XcUpDown_watermark_fontsize);
    form->BindField("StaticText_watermark_fontsize", StaticText_watermark_fontsize);
    form->BindField("XcUpDown_watermark_opacity", XcUpDown_watermark_opacity);
    form->BindField("StaticText_watermark_opacity", StaticText_watermark_opacity);
    form->BindField("RadioButton_layerS", RadioButton_layerS);
    form->BindField("RadioButton_layerM", RadioButton_layerM);
    form->BindField("Edit_encryption_password", Edit_encryption_password);
    form->BindField("ComboBox_encryption_type", ComboBox_encryption_type);
    form->BindField("StaticText_encryption_type", StaticText_encryption_type);
    form->BindField("CheckBox_encryption_allowsP", CheckBox_encryption_allowsP);
    form->BindField("CheckBox_encryption_allowsM", CheckBox_encryption_allowsM);
    form->BindField("CheckBox_encryption_allowsC", CheckBox_encryption_allowsC);
    form->BindField("CheckBox_encryption_allowsA", CheckBox_encryption_allowsA);
    form->BindField("Edit_html_title", Edit_html_title);
    form->BindField("Edit_html_pagetext", Edit_html_pagetext);
    form->BindField("XcUpDown_html_columns", XcUpDown_html_columns);
    form->BindField("StaticText_html_columns", StaticText_html_columns);
    form->BindField("CheckBox_html_border", CheckBox_html_border);
    form->BindField("XcUpDown_reduction_quality", XcUpDown_reduction_quality);
    form->BindField("StaticText_reduction_quality", StaticText_reduction_quality);
    form->BindField("RadioButton_mergeAll_files", RadioButton_mergeAll_files);
    form->BindField("RadioButton_mergeAll_folder", RadioButton_mergeAll_folder);
    form->BindField("RadioButton_rangeAll", RadioButton_rangeAll);
    form->BindField("RadioButton_rangeEdit", RadioButton_rangeEdit);
    form->BindField("Edit_range", Edit_range);
    form->BindField("RadioButton_pagesperside_1", RadioButton_pagesperside_1);
    form->BindField("RadioButton_pagesperside_2", RadioButton_pagesperside_2);
    form->BindField("RadioButton_pagesperside_4", RadioButton_pagesperside_4);
    form->BindField("RadioButton_pagesperside_6", RadioButton_pagesperside_6);
    form->BindField("RadioButton_pagesperside_8", RadioButton_pagesperside_8);
    form->BindField("RadioButton_pagesperside_16", RadioButton_pagesperside_16);
    form->BindField("Edit_2ndFile", Edit_2ndFile);
    form->BindField("StyButton_2ndFile", StyButton_2ndFile);
    form->BindField("StyButton_arrange", StyButton_arrange);
    form->BindField("OpenDialog_2ndFile", OpenDialog_2ndFile);

    form->BindMethod<TNotifyEvent>("ComboBoxEx_functionChange", this,
                                   &TOptionPanel::ComboBoxEx_functionChange);
    form->BindMethod<TNotifyEvent>("ComboBox_papersizeChange", this,
                                   &TOptionPanel::ComboBox_papersizeChange);
    form->BindMethod<TNotifyEvent>("ComboBox_encryption_typeChange", this,
                                   &TOptionPanel::ComboBox_encryption_typeChange);
    form->BindMethod<TNotifyEvent>("Edit_resolutionClick", this,
                                   &TOptionPanel::Edit_resolutionClick);
    form->BindMethod<TNotifyEvent>("Edit_qualityClick", this, &TOptionPanel::Edit_qualityClick);
    form->BindMethod<TNotifyEvent>("Edit_optimizedClick", this, &TOptionPanel::Edit_optimizedClick);
    form->BindMethod<TNotifyEvent>("Edit_rangeClick", this, &TOptionPanel::Edit_rangeClick);
    form->BindMethod<TNotifyEvent>("RadioButton_resolution72Click", this,
                                   &TOptionPanel::RadioButton_resolution72Click);
    form->BindMethod<TNotifyEvent>("RadioButton_qualityNClick", this,
                                   &TOptionPanel::RadioButton_qualityNClick);
    form->BindMethod<TNotifyEvent>("RadioButton_optimizedDClick", this,
                                   &TOptionPanel::RadioButton_optimizedDClick);
    form->BindMethod<TNotifyEvent>("RadioButton_rangeAllClick", this,
                                   &TOptionPanel::RadioButton_rangeAllClick);
    form->BindMethod<TNotifyEvent>("Edit_resolutionExit", this, &TOptionPanel::Edit_resolutionExit);
    form->BindMethod<TNotifyEvent>("Edit_qualityExit", this, &TOptionPanel::Edit_qualityExit);
    form->BindMethod<TNotifyEvent>("Edit_optimizedExit", this, &TOptionPanel::Edit_optimizedExit);
}

std::vector<TGroupBox*> TOptionPanel::Groups() const {
    return {GroupBox_resolution, GroupBox_sheets,         GroupBox_orientation, GroupBox_data,
            GroupBox_optimized,  GroupBox_quality,        GroupBox_merge,       GroupBox_colordepth,
            GroupBox_papersize,  GroupBox_identification, GroupBox_destination, GroupBox_watermark,
            GroupBox_layer,      GroupBox_encryption,     GroupBox_html,        GroupBox_reduction,
            GroupBox_mergeAll,   GroupBox_range,          GroupBox_pagesperside};
}

// ---------------------------------------------------------------- function change

void TOptionPanel::ComboBoxEx_functionChange(TObject*) {
    TForm_main* f = Main();
    TComboBoxEx* combo = f->ComboBoxEx_function;
    int index = combo->ItemIndex();
    if (index < 0 || combo->Items()->Count() == 0 || index >= int(Functions.size())) return;
    if (Functions[size_t(index)].Name == "Divider") {
        // A divider stands for the first function of its group.
        if (index + 1 >= int(Functions.size()) || index + 1 >= combo->Items()->Count()) return;
        combo->SetItemIndex(index + 1);
    }
    const TConverter& row = f->SelectedFunction();
    const std::string& name = row.Name;

    // The file the list shows as current before anything changes it.
    std::string current = f->XcFileListBox_source->FileName();

    f->StyButton_show->SetVisible(false);
    for (TGroupBox* g : Groups()) g->SetVisible(false);

    // Every function starts from one selected file in a visible list.
    if (f->XcFileListBox_source->MultiSelect())
        f->XcFileListBox_source->SetMultiSelectAndRefill(false);
    f->SetFileListMode(true);

    ComboBox_papersize->Items()->Clear();
    ComboBox_papersize->Items()->Add("- 默认 -");
    ComboBox_papersize->Items()->Add("- 用户定义 -");
    for (const auto& paper : PaperSizes) ComboBox_papersize->Items()->Add(paper[0]);
    ComboBox_papersize->SetItemIndex(-1);
    ComboBox_encryption_type->Items()->Clear();
    for (const auto& preset : EncryptionTypes) ComboBox_encryption_type->Items()->Add(preset[0]);
    ComboBox_encryption_type->SetItemIndex(-1);

    combo->SetHint(name + ": " + row.Description);

    for (const auto& group : row.Options) Named<TGroupBox>(f, group.Str())->SetVisible(true);
    for (const auto& radio : row.Fixed) Named<TRadioButton>(f, radio.Str())->SetChecked(true);

    struct Place {
        TXcUpDown* upDown;
        TGroupBox* group;
        int top;
    };
    for (const Place& p : {Place{XcUpDown_ignore_noise, GroupBox_identification, 23},
                           Place{XcUpDown_skip_border, GroupBox_identification, 43},
                           Place{XcUpDown_add_border, GroupBox_destination, 31},
                           Place{XcUpDown_watermark_fontsize, GroupBox_watermark, 43},
                           Place{XcUpDown_watermark_opacity, GroupBox_watermark, 43},
                           Place{XcUpDown_html_columns, GroupBox_html, 43},
                           Place{XcUpDown_reduction_quality, GroupBox_reduction, 31}}) {
        if (p.group->Visible()) p.upDown->SetBounds(p.upDown->Left(), p.top, 32, 15);
    }

    if (!f->FState.FBatchMode) LoadOptions();

    std::string remembered = f->XcFileListBox_source->FileName();
    if (remembered.empty()) remembered = current;
    if (f->CheckBox_rightFormat->Checked()) f->CheckBox_rightFormatClick(f);
    f->SelectSource(remembered);
    f->SetStatus(0);
}

// ---------------------------------------------------------------- saved options

void TOptionPanel::LoadOptions() {
    TForm_main* f = Main();
    TIniFile* ini = f->FIni.get();
    const TConverter& row = f->SelectedFunction();
    if (!ini || row.Name == "Divider") return;
    const std::string s = UpperCase(row.Name);

    if (GroupBox_resolution->Visible()) {
        bool ppt = row.Name == "pdf2ppt";
        LoadCheck(ini, s, RadioButton_resolution72, !ppt);
        LoadCheck(ini, s, RadioButton_resolution100, false);
        LoadCheck(ini, s, RadioButton_resolution150, ppt);
        LoadCheck(ini, s, RadioButton_resolution300, false);
        LoadCheck(ini, s, RadioButton_resolution600, false);
        LoadCheck(ini, s, RadioButton_resolutionEdit, false);
        LoadEditOfRadio(ini, s, RadioButton_resolutionEdit, Edit_resolution);
    }
    if (GroupBox_sheets->Visible()) {
        LoadCheck(ini, s, RadioButton_sheetsFirst, true);
        LoadCheck(ini, s, RadioButton_sheetsLast, false);
        LoadCheck(ini, s, RadioButton_sheetsAll, false);
    }
    if (GroupBox_orientation->Visible()) {
        LoadCheck(ini, s, RadioButton_orientationD, true);
        LoadCheck(ini, s, RadioButton_orientationP, false);
        LoadCheck(ini, s, RadioButton_orientationL, false);
    }
    if (GroupBox_data->Visible()) {
        LoadCheck(ini, s, RadioButton_typeR, true);
        LoadCheck(ini, s, RadioButton_typeQ, false);
        LoadCheck(ini, s, RadioButton_typeT, false);
        LoadText(ini, s, Edit_dataName, "");
    }
    if (GroupBox_optimized->Visible()) {
        LoadCheck(ini, s, RadioButton_optimizedD, true);
        LoadCheck(ini, s, RadioButton_optimizedS, false);
        LoadCheck(ini, s, RadioButton_optimizedP, false);
        LoadCheck(ini, s, RadioButton_optimizedR, false);
        LoadCheck(ini, s, RadioButton_optimizedEdit, false);
        LoadEditOfRadio(ini, s, RadioButton_optimizedEdit, Edit_optimized);
    }
    if (GroupBox_quality->Visible()) {
        LoadCheck(ini, s, RadioButton_qualityN, true);
        LoadCheck(ini, s, RadioButton_qualityL, false);
        LoadCheck(ini, s, RadioButton_qualityX, false);
        LoadCheck(ini, s, RadioButton_qualityM, false);
        LoadCheck(ini, s, RadioButton_qualityEdit, false);
        LoadEditOfRadio(ini, s, RadioButton_qualityEdit, Edit_quality);
    }
    // The two-file merge keeps nothing.
    if (GroupBox_colordepth->Visible()) {
        LoadCheck(ini, s, RadioButton_colordepth24, true);
        LoadCheck(ini, s, RadioButton_colordepth8, false);
        LoadCheck(ini, s, RadioButton_colordepth4, false);
        LoadCheck(ini, s, RadioButton_colordepth1, false);
        LoadCheck(ini, s, RadioButton_colordepth8g, false);
    }
    if (GroupBox_papersize->Visible()) {
        long long index = ini->ReadInteger(s, Key(ComboBox_papersize), 0);
        ComboBox_papersize->SetItemIndex(index < INT_MIN || index > INT_MAX ? -1 : int(index));
        ComboBox_papersizeChange(ComboBox_papersize);
        LoadText(ini, s, Edit_papersize_width, "");
        LoadText(ini, s, Edit_papersize_height, "");
    }
    if (GroupBox_identification->Visible()) {
        LoadCounter(ini, s, XcUpDown_ignore_noise, StaticText_ignore_noise, 4);
        LoadCounter(ini, s, XcUpDown_skip_border, StaticText_skip_border, 20);
    }
    if (GroupBox_destination->Visible())
        LoadCounter(ini, s, XcUpDown_add_border, StaticText_add_border, 5);
    if (GroupBox_watermark->Visible()) {
        LoadText(ini, s, Edit_watermark_text, "- STRICTLY CONFIDENTIAL -");
        LoadCounter(ini, s, XcUpDown_watermark_fontsize, StaticText_watermark_fontsize, 60);
        LoadCounter(ini, s, XcUpDown_watermark_opacity, StaticText_watermark_opacity, 30);
    }
    if (GroupBox_layer->Visible()) {
        LoadCheck(ini, s, RadioButton_layerS, true);
        LoadCheck(ini, s, RadioButton_layerM, false);
    }
    if (GroupBox_encryption->Visible()) {
        LoadCheck(ini, s, CheckBox_encryption_allowsP, true);
        LoadCheck(ini, s, CheckBox_encryption_allowsM, true);
        LoadCheck(ini, s, CheckBox_encryption_allowsC, true);
        LoadCheck(ini, s, CheckBox_encryption_allowsA, true);
        long long index = ini->ReadInteger(s, Key(ComboBox_encryption_type), 0);
        ComboBox_encryption_type->SetItemIndex(index < INT_MIN || index > INT_MAX ? -1
                                                                                  : int(index));
        ComboBox_encryption_typeChange(ComboBox_encryption_type);
    }
    if (GroupBox_html->Visible()) {
        LoadText(ini, s, Edit_html_title, "我的HTML标题");
        LoadText(ini, s, Edit_html_pagetext, "页 #");
        LoadCounter(ini, s, XcUpDown_html_columns, StaticText_html_columns, 4);
        LoadCheck(ini, s, CheckBox_html_border, true);
    }
    if (GroupBox_reduction->Visible())
        LoadCounter(ini, s, XcUpDown_reduction_quality, StaticText_reduction_quality, 50);
    if (GroupBox_mergeAll->Visible()) {
        LoadCheck(ini, s, RadioButton_mergeAll_files, true);
        f->RadioButton_mergeAll_filesClick(RadioButton_mergeAll_files);
        // A folder radio that was checked already runs no click when set again, yet the
        // list was just brought back: put the list into folder mode then as well.
        bool wasFolder = RadioButton_mergeAll_folder->Checked();
        LoadCheck(ini, s, RadioButton_mergeAll_folder, false);
        if (wasFolder && RadioButton_mergeAll_folder->Checked())
            f->RadioButton_mergeAll_folderClick(RadioButton_mergeAll_folder);
    }
    if (GroupBox_range->Visible()) {
        LoadCheck(ini, s, RadioButton_rangeAll, true);
        LoadCheck(ini, s, RadioButton_rangeEdit, false);
        LoadEditOfRadio(ini, s, RadioButton_rangeEdit, Edit_range);
    }
    if (GroupBox_pagesperside->Visible()) {
        LoadCheck(ini, s, RadioButton_pagesperside_1, true);
        LoadCheck(ini, s, RadioButton_pagesperside_2, false);
        LoadCheck(ini, s, RadioButton_pagesperside_4, false);
        LoadCheck(ini, s, RadioButton_pagesperside_6, false);
        LoadCheck(ini, s, RadioButton_pagesperside_8, false);
        LoadCheck(ini, s, RadioButton_pagesperside_16, false);
    }
}

void TOptionPanel::SaveOptions() {
    TForm_main* f = Main();
    TIniFile* ini = f->FIni.get();
    const TConverter& row = f->SelectedFunction();
    // Unattended runs leave config.ini as it is.
    if (!ini || f->FState.FBatchMode || row.Name == "Divider") return;
    const std::string s = UpperCase(row.Name);

    if (GroupBox_resolution->Visible()) {
        for (TRadioButton* r :
             {RadioButton_resolution72, RadioButton_resolution100, RadioButton_resolution150,
              RadioButton_resolution300, RadioButton_resolution600, RadioButton_resolutionEdit})
            Save(ini, s, r);
        Save(ini, s, Edit_resolution);
    }
    if (GroupBox_sheets->Visible())
        for (TRadioButton* r :
             {RadioButton_sheetsFirst, RadioButton_sheetsLast, RadioButton_sheetsAll})
            Save(ini, s, r);
    if (GroupBox_orientation->Visible())
        for (TRadioButton* r :
             {RadioButton_orientationD, RadioButton_orientationP, RadioButton_orientationL})
            Save(ini, s, r);
    if (GroupBox_data->Visible()) {
        for (TRadioButton* r : {RadioButton_typeR, RadioButton_typeQ, RadioButton_typeT})
            Save(ini, s, r);
        Save(ini, s, Edit_dataName);
    }
    if (GroupBox_optimized->Visible()) {
        for (TRadioButton* r :
             {RadioButton_optimizedD, RadioButton_optimizedS, RadioButton_optimizedP,
              RadioButton_optimizedR, RadioButton_optimizedEdit})
            Save(ini, s, r);
        Save(ini, s, Edit_optimized);
    }
    if (GroupBox_quality->Visible()) {
        for (TRadioButton* r : {RadioButton_qualityN, RadioButton_qualityL, RadioButton_qualityX,
                                RadioButton_qualityM, RadioButton_qualityEdit})
            Save(ini, s, r);
        Save(ini, s, Edit_quality);
    }
    if (GroupBox_colordepth->Visible())
        for (TRadioButton* r :
             {RadioButton_colordepth24, RadioButton_colordepth8, RadioButton_colordepth4,
              RadioButton_colordepth1, RadioButton_colordepth8g})
            Save(ini, s, r);
    if (GroupBox_papersize->Visible()) {
        Save(ini, s, ComboBox_papersize);
        Save(ini, s, Edit_papersize_width);
        Save(ini, s, Edit_papersize_height);
    }
    if (GroupBox_identification->Visible()) {
        Save(ini, s, XcUpDown_ignore_noise);
        Save(ini, s, XcUpDown_skip_border);
    }
    if (GroupBox_destination->Visible()) Save(ini, s, XcUpDown_add_border);
    if (GroupBox_watermark->Visible()) {
        Save(ini, s, Edit_watermark_text);
        Save(ini, s, XcUpDown_watermark_fontsize);
        Save(ini, s, XcUpDown_watermark_opacity);
    }
    if (GroupBox_layer->Visible()) {
        Save(ini, s, RadioButton_layerS);
        Save(ini, s, RadioButton_layerM);
    }
    if (GroupBox_encryption->Visible()) {
        for (TCheckBox* c : {CheckBox_encryption_allowsP, CheckBox_encryption_allowsM,
                             CheckBox_encryption_allowsC, CheckBox_encryption_allowsA})
            Save(ini, s, c);
        Save(ini, s, ComboBox_encryption_type);
    }
    if (GroupBox_html->Visible()) {
        Save(ini, s, Edit_html_title);
        Save(ini, s, Edit_html_pagetext);
        Save(ini, s, XcUpDown_html_columns);
        Save(ini, s, CheckBox_html_border);
    }
    if (GroupBox_reduction->Visible()) Save(ini, s, XcUpDown_reduction_quality);
    if (GroupBox_mergeAll->Visible()) {
        Save(ini, s, RadioButton_mergeAll_files);
        Save(ini, s, RadioButton_mergeAll_folder);
    }
    if (GroupBox_range->Visible()) {
        Save(ini, s, RadioButton_rangeAll);
        Save(ini, s, RadioButton_rangeEdit);
        Save(ini, s, Edit_range);
    }
    if (GroupBox_pagesperside->Visible())
        for (TRadioButton* r :
             {RadioButton_pagesperside_1, RadioButton_pagesperside_2, RadioButton_pagesperside_4,
              RadioButton_pagesperside_6, RadioButton_pagesperside_8, RadioButton_pagesperside_16})
            Save(ini, s, r);
}

// ---------------------------------------------------------------- paper and encryption

void TOptionPanel::ComboBox_papersizeChange(TObject*) {
    TForm_main* f = Main();
    for (TControl* c :
         std::initializer_list<TControl*>{Label_papersize_width, Label_papersize_height,
                                          Edit_papersize_width, Edit_papersize_height})
        c->SetVisible(false);
    int index = ComboBox_papersize->ItemIndex();
    if (index >= 2 && index - 2 < PaperSizeCount) {
        const auto& paper = PaperSizes[size_t(index - 2)];
        StaticText_pagesize->SetCaption("W/H: " + paper[2] + " inches = " + paper[3] +
                                        " mm = " + paper[4] + " points");
        StaticText_pagesize->SetVisible(true);
        return;
    }
    // The document's own size, a size of the user's, or no choice at all: no size line.
    StaticText_pagesize->SetCaption("");
    StaticText_pagesize->SetVisible(false);
    if (index != 1) return;
    for (TControl* c :
         std::initializer_list<TControl*>{Label_papersize_width, Label_papersize_height,
                                          Edit_papersize_width, Edit_papersize_height})
        c->SetVisible(true);
    if (!f->FState.FBatchMode) {
        Edit_papersize_width->SetText("");
        Edit_papersize_height->SetText("");
    }
}

void TOptionPanel::ComboBox_encryption_typeChange(TObject*) {
    int index = ComboBox_encryption_type->ItemIndex();
    if (index < 0 || index >= EncryptionTypeCount) {
        // No preset chosen: nothing to describe.
        StaticText_encryption_type->SetCaption("");
        return;
    }
    const auto& preset = EncryptionTypes[size_t(index)];
    StaticText_encryption_type->SetCaption("PDF: " + preset[1] + " / " + "密钥长度: " + preset[3] +
                                           " 位");
}

// ---------------------------------------------------------------- small handlers

void TOptionPanel::Edit_resolutionClick(TObject*) { RadioButton_resolutionEdit->SetChecked(true); }
void TOptionPanel::Edit_qualityClick(TObject*) { RadioButton_qualityEdit->SetChecked(true); }
void TOptionPanel::Edit_optimizedClick(TObject*) { RadioButton_optimizedEdit->SetChecked(true); }
void TOptionPanel::Edit_rangeClick(TObject*) { RadioButton_rangeEdit->SetChecked(true); }

void TOptionPanel::RadioButton_resolution72Click(TObject*) { Edit_resolution->SetText(""); }
void TOptionPanel::RadioButton_qualityNClick(TObject*) { Edit_quality->SetText(""); }
void TOptionPanel::RadioButton_optimizedDClick(TObject*) { Edit_optimized->SetText(""); }
void TOptionPanel::RadioButton_rangeAllClick(TObject*) { Edit_range->SetText(""); }

bool TOptionPanel::CheckEditValue(TEdit* edit, bool ranged, long long lo, long long hi) {
    std::string text = edit->Text();
    if (text.empty()) return true;
    long long value = 0;
    std::string message;
    if (!IsWholeNumber(text, value))
        message = "请只输入整数值!";
    else if (ranged && (value < lo || value > hi))
        message = "请只输入在 " + IntToStr(lo) + " 与 " + IntToStr(hi) + " 间的值!";
    if (message.empty()) return true;
    Form_MsgDlg->ShowMsg(message, mkInformation, Main()->FState.FBatchMode);
    if (edit->CanFocus()) edit->SetFocus();
    return false;
}

void TOptionPanel::Edit_resolutionExit(TObject*) { CheckEditValue(Edit_resolution, false, 0, 0); }
void TOptionPanel::Edit_qualityExit(TObject*) { CheckEditValue(Edit_quality, true, 1, 100); }
void TOptionPanel::Edit_optimizedExit(TObject*) { CheckEditValue(Edit_optimized, true, 5, 200); }

void RegisterOptionPanelClasses() { RegisterXcUpDown(); }
