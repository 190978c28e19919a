// Published properties of the extended controls beyond those their own units register: the
// list box's colours, background and events, the combo box's pixel limit font, the browse
// dialog's root folder and events, the pickers' links, the up-down's and the bases' events,
// and the file search component with its parameters.
#include "controls/extended/xcPublished.h"

#include "controls/extended/xcBrowse.h"
#include "controls/extended/xcComboBox.h"
#include "controls/extended/xcFileCtrl.h"
#include "controls/extended/xcLed.h"
#include "controls/extended/xcListBox.h"
#include "controls/extended/xcSearchFiles.h"
#include "controls/extended/xcUpDown.h"
#include "platform/vcl/forms.h"

namespace {

template <class E>
E Enum(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vIdent) {
        const int n = v.AsInt();
        if (n < 0 || n >= int(names.size()))
            throw EReadError("Invalid property value: " + IntToStr(n));
        return E(n);
    }
    return IdentOf<E>(v, names);
}

template <class E>
TXcSet<E> SetOf(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vSet) throw EReadError("Invalid property value: a set expected");
    TXcSet<E> set;
    for (const std::string& member : v.set) {
        TDfmValue one;
        one.kind = TDfmValue::vIdent;
        one.s = member;
        set.Include(Enum<E>(one, names));
    }
    return set;
}

// The bases' OnParentColorChange, on each of the four.
template <class Core>
void ParentColorChange(const char* cls) {
    RegisterPublished(
        cls, "OnParentColorChange",
        [](TPersistent* c, const TDfmValue& v) {
            auto* core = dynamic_cast<Core*>(c);
            if (!core) throw EReadError("Invalid property value: " + v.s);
            core->OnParentColorChange = ResolveEvent<TNotifyEvent>(ReadingRoot(), v.AsString());
        },
        "", TPropKind::Event);
}

void RegisterBases() {
    ParentColorChange<TXcExHookCore<TGraphicControl>>("TXcExGraphicControl");
    ParentColorChange<TXcExHookCore<TCustomComboBox>>("TXcExCustomComboBox");
    ParentColorChange<TXcExHookCore<TCustomListBox>>("TXcExCustomListBox");
    ParentColorChange<TXcExHookCore<TCustomUpDown>>("TXcExCustomUpDown");
}

void RegisterListBox() {
    using Bg = TXcListBoxBackground;
    TClassReg<Bg>("TXcListBoxBackground", "TPersistent", false)
        // The picture goes through the background's setter, which tells the list box.
        .stored("Image.Data",
                [](Bg* b, const TDfmValue& v) {
                    TBitmap image;
                    TPersistent* target = &image;
                    FindPropertyPath(target, "Data")->set(target, v);
                    b->SetImage(&image);
                })
        .prop(
            "FillMode",
            [](Bg* b, const TDfmValue& v) {
                b->SetFillMode(Enum<TXcListboxFillMode>(v, {"bfmTile", "bfmStretch"}));
            },
            "bfmTile")
        .prop(
            "Visible", [](Bg* b, const TDfmValue& v) { b->SetVisible(v.AsBool()); }, "False");
    using L = TXcListBox;
    TClassReg<L>("TXcListBox", "TXcExCustomListBox")
        .prop(
            "Alignment",
            [](L* l, const TDfmValue& v) {
                l->SetAlignment(
                    Enum<TAlignment>(v, {"taLeftJustify", "taRightJustify", "taCenter"}));
            },
            "taLeftJustify")
        .prop(
            "ScrollBars",
            [](L* l, const TDfmValue& v) {
                l->SetScrollBars(
                    Enum<TScrollStyle>(v, {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}));
            },
            "ssBoth")
        .prop(
            "SelectedColor", [](L* l, const TDfmValue& v) { l->SetSelectedColor(v.AsInt()); },
            "clHighlight")
        .prop(
            "SelectedTextColor",
            [](L* l, const TDfmValue& v) { l->SetSelectedTextColor(v.AsInt()); }, "clHighlightText")
        .prop(
            "DisabledTextColor",
            [](L* l, const TDfmValue& v) { l->SetDisabledTextColor(v.AsInt()); }, "clGrayText")
        .object<TXcListBoxBackground>("Background", &L::Background)
        .event<TXcListBoxDataEvent>(
            "OnGetText", [](L* l, TXcListBoxDataEvent e) { l->OnGetText = std::move(e); })
        .event<TNotifyEvent>("OnSelectCancel",
                             [](L* l, TNotifyEvent e) { l->OnSelectCancel = std::move(e); })
        .event<TXcListboxChange>("OnDeleteString",
                                 [](L* l, TXcListboxChange e) { l->OnDeleteString = std::move(e); })
        .event<TXcListboxChange>("OnAddString",
                                 [](L* l, TXcListboxChange e) { l->OnAddString = std::move(e); })
        .event<TNotifyEvent>("OnChange", [](L* l, TNotifyEvent e) { l->OnChange = std::move(e); })
        .event<TXcScrollEvent>("OnHorizontalScroll",
                               [](L* l, TXcScrollEvent e) { l->OnHorizontalScroll = std::move(e); })
        .event<TXcScrollEvent>("OnVerticalScroll",
                               [](L* l, TXcScrollEvent e) { l->OnVerticalScroll = std::move(e); });
    TClassReg<TListBox>("TListBox", "TWinControl")
        .prop(
            "Ctl3D", [](TListBox* l, const TDfmValue& v) { l->SetCtl3D(v.AsBool()); }, "True")
        .event<TDrawItemEvent>("OnDrawItem",
                               [](TListBox* l, TDrawItemEvent e) { l->OnDrawItem = std::move(e); })
        .event<TMeasureItemEvent>("OnMeasureItem", [](TListBox* l, TMeasureItemEvent e) {
            l->OnMeasureItem = std::move(e);
        });
}

void RegisterComboBox() {
    using M = TXcMaxPixel;
    TClassReg<M>("TXcMaxPixel", "TPersistent", false)
        .prop(
            "Length", [](M* m, const TDfmValue& v) { m->SetLength(v.AsInt()); }, "0")
        .prop(
            "UseControlFont", [](M* m, const TDfmValue& v) { m->SetUseControlFont(v.AsBool()); },
            "True")
        .object<TFont>("Font", &M::Font);
    using C = TXcComboBox;
    TClassReg<C>("TXcComboBox", "TXcExCustomComboBox")
        .object<TXcMaxPixel>("MaxPixel", &C::MaxPixel)
        .prop(
            "MeasureStyle",
            [](C* c, const TDfmValue& v) {
                c->SetMeasureStyle(Enum<TXcComboBoxMeasureStyle>(
                    v, {"cmsStandard", "cmsAfterCreate", "cmsBeforeDraw"}));
            },
            "cmsStandard");
    TClassReg<TComboBox>("TComboBox", "TWinControl")
        .event<TDrawItemEvent>("OnDrawItem",
                               [](TComboBox* c, TDrawItemEvent e) { c->OnDrawItem = std::move(e); })
        .event<TMeasureItemEvent>("OnMeasureItem", [](TComboBox* c, TMeasureItemEvent e) {
            c->OnMeasureItem = std::move(e);
        });
}

// The consumer the list and combo boxes embed: the provider is a component of the form that
// serves items, bound once every component exists (so the context and the selected item wait
// for it); its implementers (selection, view) come in "Extensions".
void RegisterDataConsumer() {
    using D = TXcDataConsumer;
    TClassReg<D>("TXcDataConsumer", "TPersistent", false)
        .reference<IXcDataProvider>("Provider", [](D* d, IXcDataProvider* p) { d->SetProvider(p); })
        .prop("Context", [](D* d, const TDfmValue& v) { d->SetContext(v.AsString()); })
        .stored("Extensions", [](D* d, const TDfmValue& v) { d->ReadExtensions(v); });
    TClassReg<TXcListBox>("TXcListBox", "TXcExCustomListBox")
        .object<TXcDataConsumer>("Provider", &TXcListBox::Provider);
    TClassReg<TXcComboBox>("TXcComboBox", "TXcExCustomComboBox")
        .object<TXcDataConsumer>("Provider", &TXcComboBox::Provider);
}

void RegisterBrowse() {
    using D = TXcBrowseForFolderDialog;
    TClassReg<D>("TXcBrowseForFolderDialog", "TXcCommonDialogF")
        .prop(
            "RootDirectory",
            [](D* d, const TDfmValue& v) {
                d->SetRootDirectory(Enum<TFromDirectory>(v, {"fdNoSpecialFolder",
                                                             "fdRootFolder",
                                                             "fdRecycleBin",
                                                             "fdControlPanel",
                                                             "fdDesktop",
                                                             "fdDesktopDirectory",
                                                             "fdMyComputer",
                                                             "fdFonts",
                                                             "fdNetHood",
                                                             "fdNetwork",
                                                             "fdPersonal",
                                                             "fdPrinters",
                                                             "fdPrograms",
                                                             "fdRecent",
                                                             "fdSendTo",
                                                             "fdStartMenu",
                                                             "fdStartup",
                                                             "fdTemplates",
                                                             "fdStartUpNonLocalized",
                                                             "fdCommonStartUpNonLocalized",
                                                             "fdCommonDocuments",
                                                             "fdCommonFavorites",
                                                             "fdCommonPrograms",
                                                             "fdCommonStartUp",
                                                             "fdCommonTemplates",
                                                             "fdCookies",
                                                             "fdFavorites",
                                                             "fdHistory",
                                                             "fdInternet",
                                                             "fdMyMusic",
                                                             "fdPrinthood",
                                                             "fdConnections",
                                                             "fdAppData",
                                                             "fdInternetCache",
                                                             "fdAdminTools",
                                                             "fdCommonAdminTools",
                                                             "fdCommonAppData",
                                                             "fdLocalAppData",
                                                             "fdMyPictures",
                                                             "fdProfile",
                                                             "fdProgramFiles",
                                                             "fdProgramFilesCommon",
                                                             "fdSystem",
                                                             "fdWindows",
                                                             "fdCDBurnArea",
                                                             "fdCommonMusic",
                                                             "fdCommonPictures",
                                                             "fdCommonVideo",
                                                             "fdMyDocuments",
                                                             "fdMyVideo",
                                                             "fdProfiles",
                                                             "fdResources",
                                                             "fdResourcesLocalized",
                                                             "fdCommonOEMLinks",
                                                             "fdComputersNearMe"}));
            },
            "fdNoSpecialFolder")
        .event<TXcBrowseAcceptChange>(
            "OnAcceptChange",
            [](D* d, TXcBrowseAcceptChange e) { d->OnAcceptChange = std::move(e); })
        .event<TXcDirChange>("OnChange", [](D* d, TXcDirChange e) { d->OnChange = std::move(e); })
        .event<TXcGetEnumFlagsEvent>(
            "OnGetEnumFlags",
            [](D* d, TXcGetEnumFlagsEvent e) { d->OnGetEnumFlags = std::move(e); })
        .event<TNotifyEvent>("OnInitialized",
                             [](D* d, TNotifyEvent e) { d->OnInitialized = std::move(e); })
        .event<TXcShouldShowEvent>(
            "OnShouldShow", [](D* d, TXcShouldShowEvent e) { d->OnShouldShow = std::move(e); })
        .event<TXcValidateFailedEvent>("OnValidateFailed", [](D* d, TXcValidateFailedEvent e) {
            d->OnValidateFailed = std::move(e);
        });
}

void RegisterPickers() {
    using Dc = TXcDriveCombo;
    TClassReg<Dc>("TXcDriveCombo", "TComboBox")
        .prop("Drive", [](Dc* c, const TDfmValue& v) { c->SetDrive(v.AsString()); })
        .event<TNotifyEvent>("OnChange", [](Dc* c, TNotifyEvent e) { c->OnChange = std::move(e); });
    using Dl = TXcDirectoryListBox;
    TClassReg<Dl>("TXcDirectoryListBox", "TListBox")
        .reference<TXcFileListBox>("FileList", [](Dl* l, TXcFileListBox* f) { l->SetFileList(f); })
        .reference<TXcDriveCombo>("DriveCombo",
                                  [](Dl* l, TXcDriveCombo* c) { l->SetDriveCombo(c); })
        .reference<TLabel>("DirLabel", [](Dl* l, TLabel* label) { l->SetDirLabel(label); })
        .event<TNotifyEvent>("OnChange", [](Dl* l, TNotifyEvent e) { l->OnChange = std::move(e); });
}

void RegisterUpDown() {
    using U = TCustomUpDown;
    TClassReg<U>("TCustomUpDown", "TWinControl", false)
        .event<TUDChangingEvent>("OnChanging",
                                 [](U* u, TUDChangingEvent e) { u->OnChanging = std::move(e); })
        .event<TUDChangingEventEx>(
            "OnChangingEx", [](U* u, TUDChangingEventEx e) { u->OnChangingEx = std::move(e); })
        // The up-down's click names the arrow.
        .event<TUDClickEvent>("OnClick",
                              [](U* u, TUDClickEvent e) { u->OnClickButton = std::move(e); });
}

}  // namespace

void RegisterXcSearchFiles() {
    static bool done = false;
    if (done) return;
    done = true;
    using A = TXcSearchAttributes;
    auto flag = [](void (A::*set)(TXcAttrFlagKind)) {
        return [set](A* a, const TDfmValue& v) {
            (a->*set)(Enum<TXcAttrFlagKind>(v, {"tsMustBeSet", "tsDontCare", "tsMustBeUnSet"}));
        };
    };
    TClassReg<A>("TXcSearchAttributes", "TPersistent", false)
        .prop("ReadOnly", flag(&A::SetReadOnly), "tsDontCare")
        .prop("Hidden", flag(&A::SetHidden), "tsDontCare")
        .prop("System", flag(&A::SetSystem), "tsDontCare")
        .prop("Archive", flag(&A::SetArchive), "tsDontCare")
        .prop("Normal", flag(&A::SetNormal), "tsDontCare")
        .prop("Temporary", flag(&A::SetTemporary), "tsDontCare")
        .prop("SparseFile", flag(&A::SetSparseFile), "tsDontCare")
        .prop("ReparsePoint", flag(&A::SetReparsePoint), "tsDontCare")
        .prop("Compressed", flag(&A::SetCompressed), "tsDontCare")
        .prop("OffLine", flag(&A::SetOffLine), "tsDontCare")
        .prop("NotContentIndexed", flag(&A::SetNotContentIndexed), "tsDontCare")
        .prop("Encrypted", flag(&A::SetEncrypted), "tsDontCare")
        // The condensed masks the form stores for the twelve.
        .stored("IncludeAttr",
                [](A* a, const TDfmValue& v) { a->SetIncludeAttr(uint32_t(v.AsInt())); })
        .stored("ExcludeAttr",
                [](A* a, const TDfmValue& v) { a->SetExcludeAttr(uint32_t(v.AsInt())); });
    using P = TXcSearchParams;
    auto size = [](int64_t P::*field) {
        return [field](P* p, const TDfmValue& v) {
            if (v.kind != TDfmValue::vInt) throw EReadError("Invalid property value: a size");
            p->*field = v.i;
        };
    };
    TClassReg<P>("TXcSearchParams", "TPersistent", false)
        .object("Attributes", [](P* p) -> TPersistent* { return &p->Attributes; })
        .prop("SearchTypes",
              [](P* p, const TDfmValue& v) {
                  p->SearchTypes = SetOf<TXcSearchType>(
                      v, {"stAttribute", "stFileMask", "stFileMaskCaseSensitive",
                          "stLastChangeAfter", "stLastChangeBefore", "stMaxSize", "stMinSize"});
              })
        .prop("MinSize", size(&P::MinSize), "0")
        .prop("MaxSize", size(&P::MaxSize), "0")
        .prop("LastChangeAfter",
              [](P* p, const TDfmValue& v) { p->SetLastChangeAfter(TDateTime(v.AsFloat())); })
        .prop("LastChangeBefore",
              [](P* p, const TDfmValue& v) { p->SetLastChangeBefore(TDateTime(v.AsFloat())); })
        .prop("FileMasks.Strings", [](P* p, const TDfmValue& v) {
            p->FileMasks.Clear();
            for (const std::string& mask : v.AsStrings()) p->FileMasks.Add(mask);
        });
    using S = TXcSearchFiles;
    using FE = S::TXcFileSearchEvent;
    using NE = S::TXcNotifyEvent;
    TClassReg<S>("TXcSearchFiles", "TComponent")
        .prop("RootDirectory", [](S* s, const TDfmValue& v) { s->RootDirectory = v.AsString(); })
        .prop(
            "DirOption",
            [](S* s, const TDfmValue& v) {
                s->DirOption =
                    Enum<TXcDirOption>(v, {"doExcludeSubDirs", "doIncludeSubDirs",
                                           "doExcludeInvalidDirs", "doExcludeCompleteInvalidDirs"});
            },
            "doIncludeSubDirs")
        .prop(
            "RecurseDepth", [](S* s, const TDfmValue& v) { s->RecurseDepth = v.AsInt(); }, "0")
        .prop(
            "Options",
            [](S* s, const TDfmValue& v) {
                s->SetOptions(SetOf<TXcSearchOption>(
                    v, {"soAllowDuplicates", "soCheckRootDirValid", "soExcludeFilesInRootDir",
                        "soOwnerData", "soSearchDirs", "soSearchFiles", "soSorted", "soStripDirs",
                        "soIncludeSystemHiddenDirs", "soIncludeSystemHiddenFiles"}));
            },
            "[soSearchFiles]")
        .prop(
            "ErrorResponse",
            [](S* s, const TDfmValue& v) {
                s->ErrorResponse = Enum<TXcErrorResponse>(v, {"erAbort", "erIgnore", "erRaise"});
            },
            "erAbort")
        .object("DirParams", [](S* s) -> TPersistent* { return &s->DirParams; })
        .object("FileParams", [](S* s) -> TPersistent* { return &s->FileParams; })
        .event<FE>("OnBeginScanDir", [](S* s, FE e) { s->OnBeginScanDir = std::move(e); })
        .event<FE>("OnFindFile", [](S* s, FE e) { s->OnFindFile = std::move(e); })
        .event<FE>("OnFindDirectory", [](S* s, FE e) { s->OnFindDirectory = std::move(e); })
        .event<NE>("OnAbort", [](S* s, NE e) { s->OnAbort = std::move(e); })
        .event<NE>("OnProgress", [](S* s, NE e) { s->OnProgress = std::move(e); })
        .event<S::TXcSearchErrorEvent>(
            "OnError", [](S* s, S::TXcSearchErrorEvent e) { s->OnError = std::move(e); })
        .event<S::TXcCheckEvent>("OnCheck",
                                 [](S* s, S::TXcCheckEvent e) { s->OnCheck = std::move(e); });
}

void RegisterExtendedClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStandardClasses();
    RegisterXcFileControls();
    RegisterXcBrowseDialog();
    RegisterXcUpDown();
    RegisterXcLED();
    RegisterXcSearchFiles();
    RegisterBases();
    RegisterListBox();
    RegisterComboBox();
    RegisterDataConsumer();
    RegisterBrowse();
    RegisterPickers();
    RegisterUpDown();
}
