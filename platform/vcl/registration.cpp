// Published properties of the class library's classes, as text form files set them.
#include <map>
#include <utility>

#include "platform/rtl/resources.h"

#include "platform/vcl/comctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/richedit.h"
#include "platform/vcl/stdctrls.h"

namespace {

template <class E>
E Event(const TDfmValue& v) {
    return ResolveEvent<E>(ReadingRoot(), v.s);
}

int IdentValue(const TDfmValue& v, const std::map<std::string, int>& names) {
    if (v.kind != TDfmValue::vIdent) return v.AsInt();
    auto it = names.find(LowerCase(v.s));
    if (it == names.end()) throw EReadError("Invalid property value: " + v.s);
    return it->second;
}

TFontStyles FontStyles(const TDfmValue& v) {
    TFontStyles s;
    for (const auto& n : v.set) {
        if (SameText(n, "fsBold"))
            s.insert(fsBold);
        else if (SameText(n, "fsItalic"))
            s.insert(fsItalic);
        else if (SameText(n, "fsUnderline"))
            s.insert(fsUnderline);
        else if (SameText(n, "fsStrikeOut"))
            s.insert(fsStrikeOut);
        else
            throw EReadError("Invalid property value: " + n);
    }
    return s;
}

const std::map<std::string, int> kAlignment = {
    {"taleftjustify", taLeftJustify}, {"tarightjustify", taRightJustify}, {"tacenter", taCenter}};
const std::map<std::string, int> kCursors = {
    {"crdefault", crDefault},     {"crarrow", crArrow},   {"crhandpoint", crHandPoint},
    {"crhourglass", crHourGlass}, {"cribeam", crIBeam},   {"crcross", crCross},
    {"crdrag", crDrag},           {"crnodrop", crNoDrop}, {"crmultidrag", crMultiDrag}};
const std::map<std::string, int> kDragModes = {{"dmmanual", dmManual},
                                               {"dmautomatic", dmAutomatic}};
const std::map<std::string, int> kAlign = {{"alnone", alNone},     {"altop", alTop},
                                           {"albottom", alBottom}, {"alleft", alLeft},
                                           {"alright", alRight},   {"alclient", alClient}};
const std::map<std::string, int> kBevel = {{"bvnone", int(TBevelCut::bvNone)},
                                           {"bvlowered", int(TBevelCut::bvLowered)},
                                           {"bvraised", int(TBevelCut::bvRaised)},
                                           {"bvspace", int(TBevelCut::bvSpace)}};
const std::map<std::string, int> kCharset = {{"default_charset", DEFAULT_CHARSET},
                                             {"ansi_charset", ANSI_CHARSET},
                                             {"gb2312_charset", GB2312_CHARSET}};

void Ignore(TComponent*, const TDfmValue&) {}

// A set read as bits: each member's position among `names` (compared without case).
unsigned SetBits(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vSet) return unsigned(v.AsInt());
    unsigned bits = 0;
    for (const std::string& member : v.set) {
        unsigned i = 0;
        bool known = false;
        for (const char* n : names) {
            if (SameText(member, n)) {
                bits |= 1u << i;
                known = true;
            }
            ++i;
        }
        if (!known) throw EReadError("Invalid property value: " + member);
    }
    return bits;
}

// The graphics objects that controls and look objects publish as sub-objects.
void RegisterGraphicsObjects() {
    TClassReg<TFont>("TFont", "TPersistent", false)
        .prop("Charset",
              [](TFont* f, const TDfmValue& v) {
                  f->Charset = TFontCharset(IdentValue(v, kCharset));
              })
        .prop("Color", [](TFont* f, const TDfmValue& v) { f->SetColor(v.AsInt()); })
        .prop("Height", [](TFont* f, const TDfmValue& v) { f->SetHeight(v.AsInt()); })
        .prop("Size", [](TFont* f, const TDfmValue& v) { f->SetSize(v.AsInt()); })
        .prop("Name", [](TFont* f, const TDfmValue& v) { f->SetName(v.AsString()); })
        .prop("Style", [](TFont* f, const TDfmValue& v) { f->SetStyle(FontStyles(v)); });
    TClassReg<TBrush>("TBrush", "TPersistent", false)
        .prop(
            "Color", [](TBrush* b, const TDfmValue& v) { b->Color = v.AsInt(); }, "clWhite")
        .prop(
            "Style",
            [](TBrush* b, const TDfmValue& v) {
                b->Style = IdentOf<TBrushStyle>(
                    v, {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                        "bsBDiagonal", "bsCross", "bsDiagCross"});
            },
            "bsSolid");
    // A bitmap kept in the form: the length of the file's bytes (4 bytes, least significant
    // first) and the bitmap file itself; the bare file is taken as well.
    TClassReg<TBitmap>("TBitmap", "TPersistent", false)
        .stored("Data", [](TBitmap* b, const TDfmValue& v) {
            if (v.kind != TDfmValue::vBinary) throw EReadError("Invalid property value for Data");
            std::string bytes = v.s;
            if (bytes.size() >= 4 && bytes.compare(0, 2, "BM") != 0) {
                const uint32_t n = uint32_t(uint8_t(bytes[0])) | uint32_t(uint8_t(bytes[1])) << 8 |
                                   uint32_t(uint8_t(bytes[2])) << 16 |
                                   uint32_t(uint8_t(bytes[3])) << 24;
                if (n != bytes.size() - 4) throw EReadError("Bitmap data has a wrong length");
                bytes.erase(0, 4);
            }
            if (bytes.empty()) {
                b->SetSize(0, 0);
                return;
            }
            b->LoadFromData(bytes);
        });
    TClassReg<TSizeConstraints>("TSizeConstraints", "TPersistent", false)
        .prop("MinWidth", [](TSizeConstraints* c, const TDfmValue& v) { c->MinWidth = v.AsInt(); })
        .prop("MinHeight",
              [](TSizeConstraints* c, const TDfmValue& v) { c->MinHeight = v.AsInt(); })
        .prop("MaxWidth", [](TSizeConstraints* c, const TDfmValue& v) { c->MaxWidth = v.AsInt(); })
        .prop("MaxHeight",
              [](TSizeConstraints* c, const TDfmValue& v) { c->MaxHeight = v.AsInt(); });
    TClassReg<TPopupMenu>("TPopupMenu", "TComponent")
        .event<TNotifyEvent>("OnPopup",
                             [](TPopupMenu* m, TNotifyEvent e) { m->OnPopup = std::move(e); });
}

void RegisterControl() {
    TClassReg<TControl>("TControl", "TComponent", false)
        .prop("Left", [](TControl* c, const TDfmValue& v) { c->SetLeft(v.AsInt()); })
        .prop("Top", [](TControl* c, const TDfmValue& v) { c->SetTop(v.AsInt()); })
        .prop("Width", [](TControl* c, const TDfmValue& v) { c->SetWidth(v.AsInt()); })
        .prop("Height", [](TControl* c, const TDfmValue& v) { c->SetHeight(v.AsInt()); })
        .prop("Caption", [](TControl* c, const TDfmValue& v) { c->SetText(v.AsString()); })
        .prop("Text", [](TControl* c, const TDfmValue& v) { c->SetText(v.AsString()); })
        .prop(
            "Visible", [](TControl* c, const TDfmValue& v) { c->SetVisible(v.AsBool()); }, "True")
        .prop(
            "Enabled", [](TControl* c, const TDfmValue& v) { c->SetEnabled(v.AsBool()); }, "True")
        .prop("Color", [](TControl* c, const TDfmValue& v) { c->SetColor(v.AsInt()); })
        .prop("ParentColor", [](TControl* c, const TDfmValue& v) { c->ParentColor = v.AsBool(); })
        .prop(
            "ParentFont", [](TControl* c, const TDfmValue& v) { c->ParentFont = v.AsBool(); },
            "True")
        .prop("Hint", [](TControl* c, const TDfmValue& v) { c->SetHint(v.AsString()); })
        .prop("ShowHint", [](TControl* c, const TDfmValue& v) { c->SetShowHint(v.AsBool()); })
        .prop("ParentShowHint",
              [](TControl* c, const TDfmValue& v) { c->ParentShowHint = v.AsBool(); })
        .prop("Cursor", [](TControl* c,
                           const TDfmValue& v) { c->SetCursor(TCursor(IdentValue(v, kCursors))); })
        .prop("Align",
              [](TControl* c, const TDfmValue& v) { c->Align = TAlign(IdentValue(v, kAlign)); })
        .prop("AutoSize", [](TControl* c, const TDfmValue& v) { c->AutoSize = v.AsBool(); })
        .prop("Tag", [](TControl* c, const TDfmValue& v) { c->Tag = v.AsInt(); })
        .prop("OnClick",
              [](TControl* c, const TDfmValue& v) { c->OnClick = Event<TNotifyEvent>(v); })
        .prop("OnDblClick",
              [](TControl* c, const TDfmValue& v) { c->OnDblClick = Event<TNotifyEvent>(v); })
        .prop("OnMouseDown",
              [](TControl* c, const TDfmValue& v) { c->OnMouseDown = Event<TMouseEvent>(v); })
        .prop("OnMouseUp",
              [](TControl* c, const TDfmValue& v) { c->OnMouseUp = Event<TMouseEvent>(v); })
        .prop("OnMouseMove",
              [](TControl* c, const TDfmValue& v) { c->OnMouseMove = Event<TMouseMoveEvent>(v); })
        .prop("OnMouseEnter",
              [](TControl* c, const TDfmValue& v) { c->OnMouseEnter = Event<TNotifyEvent>(v); })
        .prop("OnMouseLeave",
              [](TControl* c, const TDfmValue& v) { c->OnMouseLeave = Event<TNotifyEvent>(v); })
        .prop("DragMode",
              [](TControl* c, const TDfmValue& v) {
                  c->DragMode = TDragMode(IdentValue(v, kDragModes));
              })
        .prop("DragCursor",
              [](TControl* c, const TDfmValue& v) {
                  c->DragCursor = TCursor(IdentValue(v, kCursors));
              })
        .prop("OnStartDrag",
              [](TControl* c, const TDfmValue& v) { c->OnStartDrag = Event<TStartDragEvent>(v); })
        .prop("OnDragOver",
              [](TControl* c, const TDfmValue& v) { c->OnDragOver = Event<TDragOverEvent>(v); })
        .prop("OnDragDrop",
              [](TControl* c, const TDfmValue& v) { c->OnDragDrop = Event<TDragDropEvent>(v); })
        .prop("OnEndDrag",
              [](TControl* c, const TDfmValue& v) { c->OnEndDrag = Event<TEndDragEvent>(v); });
    TClassReg<TControl>("TControl", "TComponent", false)
        .object<TFont>("Font", &TControl::Font)
        .object<TSizeConstraints>("Constraints", &TControl::Constraints)
        .prop(
            "Anchors",
            [](TControl* c, const TDfmValue& v) {
                c->Anchors = SetBits(v, {"akLeft", "akTop", "akRight", "akBottom"});
            },
            "[akLeft, akTop]")
        .prop(
            "BiDiMode",
            [](TControl* c, const TDfmValue& v) {
                c->BiDiMode =
                    IdentOf<TBiDiMode>(v, {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                           "bdRightToLeftReadingOnly"});
            },
            "bdLeftToRight")
        .prop(
            "ParentBiDiMode",
            [](TControl* c, const TDfmValue& v) { c->ParentBiDiMode = v.AsBool(); }, "True")
        .prop(
            "DragKind",
            [](TControl* c, const TDfmValue& v) {
                c->DragKind = IdentOf<TDragKind>(v, {"dkDrag", "dkDock"});
            },
            "dkDrag")
        .prop("ImeName", [](TControl* c, const TDfmValue& v) { c->ImeName = v.AsString(); })
        .prop(
            "ImeMode",
            [](TControl* c, const TDfmValue& v) {
                c->ImeMode = IdentOf<TImeMode>(
                    v, {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha",
                        "imHira", "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"});
            },
            "imDontCare")
        .prop(
            "HelpType",
            [](TControl* c, const TDfmValue& v) {
                c->HelpType = IdentOf<THelpType>(v, {"htKeyword", "htContext"});
            },
            "htContext")
        .prop("HelpKeyword", [](TControl* c, const TDfmValue& v) { c->HelpKeyword = v.AsString(); })
        .prop(
            "HelpContext", [](TControl* c, const TDfmValue& v) { c->HelpContext = v.AsInt(); }, "0")
        .reference<TPopupMenu>("PopupMenu", [](TControl* c, TPopupMenu* m) { c->SetPopupMenu(m); })
        .event<TEndDockEvent>("OnEndDock",
                              [](TControl* c, TEndDockEvent e) { c->OnEndDock = std::move(e); })
        .event<TStartDockEvent>(
            "OnStartDock", [](TControl* c, TStartDockEvent e) { c->OnStartDock = std::move(e); });
    // The three-dimensional look is the hot-tracking list box's own setting.
    for (const char* p : {"Ctl3D", "ParentCtl3D"}) RegisterProperty("TControl", p, &Ignore);

    TClassReg<TWinControl>("TWinControl", "TControl", false)
        .prop("TabOrder", [](TWinControl* c, const TDfmValue& v) { c->TabOrder = v.AsInt(); })
        .prop("TabStop", [](TWinControl* c, const TDfmValue& v) { c->TabStop = v.AsBool(); })
        .prop("DoubleBuffered",
              [](TWinControl* c, const TDfmValue& v) { c->DoubleBuffered = v.AsBool(); })
        .prop("OnKeyDown",
              [](TWinControl* c, const TDfmValue& v) { c->OnKeyDown = Event<TKeyEvent>(v); })
        .prop("OnKeyUp",
              [](TWinControl* c, const TDfmValue& v) { c->OnKeyUp = Event<TKeyEvent>(v); })
        .prop("OnKeyPress",
              [](TWinControl* c, const TDfmValue& v) { c->OnKeyPress = Event<TKeyPressEvent>(v); })
        .prop("OnEnter",
              [](TWinControl* c, const TDfmValue& v) { c->OnEnter = Event<TNotifyEvent>(v); })
        .prop("OnExit",
              [](TWinControl* c, const TDfmValue& v) { c->OnExit = Event<TNotifyEvent>(v); });
    TClassReg<TGraphicControl>("TGraphicControl", "TControl", false);
    TClassReg<TCustomControl>("TCustomControl", "TWinControl", false);
}

void RegisterForm() {
    const std::map<std::string, int> border = {
        {"bsnone", bsNone},     {"bssingle", bsSingle},         {"bssizeable", bsSizeable},
        {"bsdialog", bsDialog}, {"bstoolwindow", bsToolWindow}, {"bssizetoolwin", bsSizeToolWin}};
    const std::map<std::string, int> position = {{"podesigned", poDesigned},
                                                 {"podefault", poDefault},
                                                 {"poscreencenter", poScreenCenter},
                                                 {"podesktopcenter", poDesktopCenter},
                                                 {"pomainformcenter", poMainFormCenter},
                                                 {"poownerformcenter", poOwnerFormCenter},
                                                 {"podefaultposonly", poDefaultPosOnly}};
    TClassReg<TForm>("TForm", "TWinControl")
        .prop("BorderStyle",
              [border](TForm* f, const TDfmValue& v) {
                  f->SetBorderStyle(TFormBorderStyle(IdentValue(v, border)));
              })
        .prop("ClientWidth", [](TForm* f, const TDfmValue& v) { f->SetClientWidth(v.AsInt()); })
        .prop("ClientHeight", [](TForm* f, const TDfmValue& v) { f->SetClientHeight(v.AsInt()); })
        .prop("Position",
              [position](TForm* f, const TDfmValue& v) {
                  f->Position = TPosition(IdentValue(v, position));
              })
        .prop("FormStyle",
              [](TForm* f, const TDfmValue& v) {
                  f->FormStyle = SameText(v.s, "fsStayOnTop")  ? fsStayOnTop
                                 : SameText(v.s, "fsMDIForm")  ? fsMDIForm
                                 : SameText(v.s, "fsMDIChild") ? fsMDIChild
                                                               : fsNormal;
              })
        .prop("KeyPreview", [](TForm* f, const TDfmValue& v) { f->KeyPreview = v.AsBool(); })
        .prop("OnCreate",
              [](TForm* f, const TDfmValue& v) { f->OnCreate = Event<TNotifyEvent>(v); })
        .prop("OnShow", [](TForm* f, const TDfmValue& v) { f->OnShow = Event<TNotifyEvent>(v); })
        .prop("OnHide", [](TForm* f, const TDfmValue& v) { f->OnHide = Event<TNotifyEvent>(v); })
        .prop("OnDestroy",
              [](TForm* f, const TDfmValue& v) { f->OnDestroy = Event<TNotifyEvent>(v); })
        .prop("OnActivate",
              [](TForm* f, const TDfmValue& v) { f->OnActivate = Event<TNotifyEvent>(v); })
        .prop("OnClose", [](TForm* f, const TDfmValue& v) { f->OnClose = Event<TCloseEvent>(v); })
        .prop("OnCloseQuery",
              [](TForm* f, const TDfmValue& v) { f->OnCloseQuery = Event<TCloseQueryEvent>(v); });
    RegisterProperty("TForm", "BorderIcons", [](TComponent* c, const TDfmValue& v) {
        static const char* const names[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
        TBorderIcons icons = 0;
        for (const std::string& member : v.set)
            for (int i = 0; i < 4; ++i)
                if (SameText(member, names[i])) icons |= BorderIconBit(TBorderIcon(i));
        static_cast<TForm*>(c)->BorderIcons = icons;
    });
    for (const char* p :
         {"OldCreateOrder", "PixelsPerInch", "TextHeight", "Scaled", "WindowState", "Icon.Data"})
        RegisterProperty("TForm", p, &Ignore);
}

void RegisterStd() {
    TClassReg<TLabel>("TLabel", "TGraphicControl")
        .prop("Alignment",
              [](TLabel* c, const TDfmValue& v) {
                  c->Alignment = TAlignment(IdentValue(v, kAlignment));
              })
        .prop(
            "AutoSize", [](TLabel* c, const TDfmValue& v) { c->AutoSize = v.AsBool(); }, "True")
        .prop("WordWrap", [](TLabel* c, const TDfmValue& v) { c->WordWrap = v.AsBool(); })
        .prop("Transparent", [](TLabel* c, const TDfmValue& v) { c->Transparent = v.AsBool(); })
        .prop("ShowAccelChar", [](TLabel* c, const TDfmValue& v) { c->ShowAccelChar = v.AsBool(); })
        .prop("Layout", [](TLabel* c, const TDfmValue& v) {
            c->Layout = SameText(v.s, "tlCenter")   ? tlCenter
                        : SameText(v.s, "tlBottom") ? tlBottom
                                                    : tlTop;
        });
    TClassReg<TStaticText>("TStaticText", "TWinControl")
        .prop("Alignment",
              [](TStaticText* c, const TDfmValue& v) {
                  c->Alignment = TAlignment(IdentValue(v, kAlignment));
              })
        .prop(
            "AutoSize", [](TStaticText* c, const TDfmValue& v) { c->AutoSize = v.AsBool(); },
            "True")
        .prop("Transparent",
              [](TStaticText* c, const TDfmValue& v) { c->Transparent = v.AsBool(); })
        .prop("BorderStyle", [](TStaticText* c, const TDfmValue& v) {
            c->BorderStyle = SameText(v.s, "sbsSingle")   ? sbsSingle
                             : SameText(v.s, "sbsSunken") ? sbsSunken
                                                          : sbsNone;
        });
    TClassReg<TEdit>("TEdit", "TWinControl")
        .prop("ReadOnly", [](TEdit* c, const TDfmValue& v) { c->SetReadOnly(v.AsBool()); })
        .prop("MaxLength", [](TEdit* c, const TDfmValue& v) { c->SetMaxLength(v.AsInt()); })
        .prop("PasswordChar",
              [](TEdit* c, const TDfmValue& v) { c->SetPasswordChar(v.s.empty() ? 0 : v.s[0]); })
        .prop("OnChange",
              [](TEdit* c, const TDfmValue& v) { c->OnChange = Event<TNotifyEvent>(v); });
    RegisterProperty("TEdit", "BorderStyle", &Ignore);
    TClassReg<TCheckBox>("TCheckBox", "TWinControl")
        .prop("Checked", [](TCheckBox* c, const TDfmValue& v) { c->SetChecked(v.AsBool()); })
        .prop("State",
              [](TCheckBox* c, const TDfmValue& v) { c->SetChecked(SameText(v.s, "cbChecked")); })
        .prop("Alignment", [](TCheckBox* c, const TDfmValue& v) {
            c->Alignment = TAlignment(IdentValue(v, kAlignment));
        });
    TClassReg<TRadioButton>("TRadioButton", "TWinControl")
        .prop("Checked", [](TRadioButton* c, const TDfmValue& v) { c->SetChecked(v.AsBool()); });
    RegisterProperty("TRadioButton", "Alignment", &Ignore);
    TClassReg<TButton>("TButton", "TWinControl")
        .prop("ModalResult", [](TButton* c, const TDfmValue& v) { c->ModalResult = v.AsInt(); })
        .prop("Default", [](TButton* c, const TDfmValue& v) { c->Default = v.AsBool(); })
        .prop("Cancel", [](TButton* c, const TDfmValue& v) { c->Cancel = v.AsBool(); });
    TClassReg<TComboBox>("TComboBox", "TWinControl")
        .prop("Items.Strings",
              [](TComboBox* c, const TDfmValue& v) {
                  for (auto& s : v.AsStrings()) c->Items()->Add(s);
              })
        .prop("ItemIndex", [](TComboBox* c, const TDfmValue& v) { c->SetItemIndex(v.AsInt()); })
        .prop("DropDownCount",
              [](TComboBox* c, const TDfmValue& v) { c->SetDropDownCount(v.AsInt()); })
        .prop("Style",
              [](TComboBox* c, const TDfmValue& v) {
                  const TComboBoxStyle styles[] = {csDropDown, csSimple, csDropDownList,
                                                   csOwnerDrawFixed, csOwnerDrawVariable};
                  const char* names[] = {"csDropDown", "csSimple", "csDropDownList",
                                         "csOwnerDrawFixed", "csOwnerDrawVariable"};
                  for (int i = 0; i < 5; ++i)
                      if (SameText(v.s, names[i])) c->SetStyle(styles[i]);
              })
        .prop("ItemHeight", [](TComboBox* c, const TDfmValue& v) { c->SetItemHeight(v.AsInt()); })
        .prop("Sorted", [](TComboBox* c, const TDfmValue& v) { c->SetSorted(v.AsBool()); })
        .prop("AutoComplete",
              [](TComboBox* c, const TDfmValue& v) { c->SetAutoComplete(v.AsBool()); })
        .prop("AutoDropDown",
              [](TComboBox* c, const TDfmValue& v) { c->SetAutoDropDown(v.AsBool()); })
        .prop("OnChange",
              [](TComboBox* c, const TDfmValue& v) { c->OnChange = Event<TNotifyEvent>(v); })
        .prop("OnSelect",
              [](TComboBox* c, const TDfmValue& v) { c->OnSelect = Event<TNotifyEvent>(v); });
    TClassReg<TComboBoxEx>("TComboBoxEx", "TComboBox");
    RegisterProperty("TComboBoxEx", "ItemsEx", &Ignore);
    TClassReg<TListBox>("TListBox", "TWinControl")
        .prop("Items.Strings",
              [](TListBox* c, const TDfmValue& v) {
                  for (auto& s : v.AsStrings()) c->Items()->Add(s);
              })
        .prop("MultiSelect", [](TListBox* c, const TDfmValue& v) { c->SetMultiSelect(v.AsBool()); })
        .prop("ExtendedSelect",
              [](TListBox* c, const TDfmValue& v) { c->SetExtendedSelect(v.AsBool()); })
        .prop("Style",
              [](TListBox* c, const TDfmValue& v) {
                  const char* names[] = {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                                         "lbVirtual", "lbVirtualOwnerDraw"};
                  for (int i = 0; i < 5; ++i)
                      if (SameText(v.s, names[i])) c->SetStyle(TListBoxStyle(i));
              })
        .prop("ItemHeight", [](TListBox* c, const TDfmValue& v) { c->SetItemHeight(v.AsInt()); })
        .prop("BorderStyle", &Ignore);
    TClassReg<TGroupBox>("TGroupBox", "TCustomControl");
    TClassReg<TPanel>("TPanel", "TCustomControl")
        .prop(
            "BevelInner",
            [](TPanel* c, const TDfmValue& v) { c->BevelInner = TBevelCut(IdentValue(v, kBevel)); })
        .prop(
            "BevelOuter",
            [](TPanel* c, const TDfmValue& v) { c->BevelOuter = TBevelCut(IdentValue(v, kBevel)); })
        .prop("BevelWidth", [](TPanel* c, const TDfmValue& v) { c->BevelWidth = v.AsInt(); })
        .prop("Alignment",
              [](TPanel* c, const TDfmValue& v) {
                  c->Alignment = TAlignment(IdentValue(v, kAlignment));
              })
        .prop("ParentBackground",
              [](TPanel* c, const TDfmValue& v) { c->ParentBackground = v.AsBool(); })
        .prop("BorderStyle", &Ignore);
    TClassReg<TScrollBox>("TScrollBox", "TCustomControl")
        .prop("BorderStyle",
              [](TScrollBox* c, const TDfmValue& v) {
                  c->BorderStyle = SameText(v.s, "bsNone") ? bsNoBorder : bsSingleBorder;
              })
        .prop("HorzScrollBar.Visible",
              [](TScrollBox* c, const TDfmValue& v) { c->HorzScrollBarVisible = v.AsBool(); })
        .prop("VertScrollBar.Visible",
              [](TScrollBox* c, const TDfmValue& v) { c->VertScrollBarVisible = v.AsBool(); })
        .prop("BevelKind", &Ignore)
        .prop("BevelInner", &Ignore)
        .prop("BevelOuter", &Ignore);
    TClassReg<TImage>("TImage", "TGraphicControl")
        .prop("Stretch", [](TImage* c, const TDfmValue& v) { c->Stretch = v.AsBool(); })
        .prop("Center", [](TImage* c, const TDfmValue& v) { c->Center = v.AsBool(); })
        .prop("Transparent", [](TImage* c, const TDfmValue& v) { c->Transparent = v.AsBool(); })
        .prop("Proportional", [](TImage* c, const TDfmValue& v) { c->Proportional = v.AsBool(); })
        // Pictures are kept as files among the compiled resources and named here.
        .prop("Picture.Resource", [](TImage* c, const TDfmValue& v) {
            std::string ext = LowerCase(ExtractFileExt(v.s));
            c->Picture()->LoadFromData(ext.empty() ? "" : ext.substr(1), LoadResourceText(v.s));
        });
    TClassReg<TSpeedButton>("TSpeedButton", "TGraphicControl")
        .prop("Flat", [](TSpeedButton* c, const TDfmValue& v) { c->Flat = v.AsBool(); })
        .prop("Transparent",
              [](TSpeedButton* c, const TDfmValue& v) { c->Transparent = v.AsBool(); })
        .prop("Down", [](TSpeedButton* c, const TDfmValue& v) { c->Down = v.AsBool(); })
        .prop("GroupIndex", [](TSpeedButton* c, const TDfmValue& v) { c->GroupIndex = v.AsInt(); })
        .prop("Margin", [](TSpeedButton* c, const TDfmValue& v) { c->Margin = v.AsInt(); })
        .prop("Spacing", [](TSpeedButton* c, const TDfmValue& v) { c->Spacing = v.AsInt(); })
        .prop("NumGlyphs", [](TSpeedButton* c, const TDfmValue& v) { c->NumGlyphs = v.AsInt(); })
        .prop("Glyph.Resource", [](TSpeedButton* c, const TDfmValue& v) {
            c->Glyph()->LoadFromData(LoadResourceText(v.s));
        });
    TClassReg<TProgressBar>("TProgressBar", "TWinControl")
        .prop("Min", [](TProgressBar* c, const TDfmValue& v) { c->SetMin(v.AsInt()); })
        .prop("Max", [](TProgressBar* c, const TDfmValue& v) { c->SetMax(v.AsInt()); })
        .prop("Position", [](TProgressBar* c, const TDfmValue& v) { c->SetPosition(v.AsInt()); })
        .prop("Step", [](TProgressBar* c, const TDfmValue& v) { c->Step = v.AsInt(); });
    TClassReg<TTimer>("TTimer", "TComponent")
        .prop(
            "Enabled", [](TTimer* c, const TDfmValue& v) { c->SetEnabled(v.AsBool()); }, "True")
        .prop(
            "Interval", [](TTimer* c, const TDfmValue& v) { c->SetInterval(unsigned(v.AsInt())); },
            "1000")
        .prop("OnTimer",
              [](TTimer* c, const TDfmValue& v) { c->OnTimer = Event<TNotifyEvent>(v); });
    // Non-visual components keep their designer position in the form file.
    RegisterProperty("TComponent", "Left", &Ignore);
    RegisterProperty("TComponent", "Top", &Ignore);
}

}  // namespace

void RegisterStandardClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterComponentClass("TComponent", "", nullptr);
    RegisterComponentClass("TPersistent", "", nullptr);
    RegisterGraphicsObjects();
    RegisterControl();
    RegisterForm();
    RegisterStd();
    RegisterRichEdit();
    RegisterComCtrlClasses();
}
