// Every published property of the extended controls read from a small form: the list and
// combo boxes, the browse dialog, the file search component and its parameters, the
// pickers, the up-down and the LED.
#include <gtest/gtest.h>

#include "controls/extended/xcBrowse.h"
#include "controls/extended/xcComboBox.h"
#include "controls/extended/xcDataConsumerView.h"
#include "controls/extended/xcDataProvider.h"
#include "controls/extended/xcFileCtrl.h"
#include "controls/extended/xcLed.h"
#include "controls/extended/xcListBox.h"
#include "controls/extended/xcPublished.h"
#include "controls/extended/xcSearchFiles.h"
#include "controls/extended/xcUpDown.h"
#include "platform/vcl/imgList.h"
#include "platform/vcl/stdctrls.h"
#include "tests/vcl/publishedRows.h"

namespace {

using published::BitmapData;
using published::Hex;
using published::Row;
using published::TRow;
using published::TRowsForm;

// Handlers of every event type the extended controls publish; each counts its call.
class TXcRowsForm : public TRowsForm {
public:
    explicit TXcRowsForm(TComponent* owner) : TRowsForm(owner) {
        BindMethod<TXcListBoxDataEvent>("GetText", this, &TXcRowsForm::RowText);
        BindMethod<TXcListboxChange>("ItemChanged", this, &TXcRowsForm::Named);
        BindMethod<TXcScrollEvent>("Scrolled", this, &TXcRowsForm::Scrolled);
        BindMethod<TDrawItemEvent>("DrawItem", this, &TXcRowsForm::DrawItem);
        BindMethod<TMeasureItemEvent>("MeasureItem", this, &TXcRowsForm::MeasureItem);
        BindMethod<TXcBrowseAcceptChange>("Accept", this, &TXcRowsForm::NamedFlag);
        BindMethod<TXcDirChange>("DirChanged", this, &TXcRowsForm::Named);
        BindMethod<TXcGetEnumFlagsEvent>("EnumFlags", this, &TXcRowsForm::EnumFlags);
        BindMethod<TXcShouldShowEvent>("ShouldShow", this, &TXcRowsForm::NamedFlag);
        BindMethod<TXcValidateFailedEvent>("ValidateFailed", this, &TXcRowsForm::NamedFlag);
        BindMethod<TXcSearchFiles::TXcFileSearchEvent>("Found", this, &TXcRowsForm::Named);
        BindMethod<TXcSearchFiles::TXcSearchErrorEvent>("SearchError", this,
                                                        &TXcRowsForm::SearchError);
        BindMethod<TXcSearchFiles::TXcCheckEvent>("CheckEntry", this, &TXcRowsForm::CheckEntry);
        BindMethod<TUDChangingEvent>("Changing", this, &TXcRowsForm::Changing);
        BindMethod<TUDChangingEventEx>("ChangingEx", this, &TXcRowsForm::ChangingEx);
        BindMethod<TUDClickEvent>("ArrowClicked", this, &TXcRowsForm::ArrowClicked);
    }
    std::string ClassName() const override { return "TXcRowsForm"; }
    void RowText(TObject*, int, std::string& text) {
        ++calls;
        text = "got";
    }
    void Named(TObject*, const std::string&) { ++calls; }
    void NamedFlag(TObject*, const std::string&, bool&) { ++calls; }
    void Scrolled(TObject*, TMessage&, bool&) { ++calls; }
    void DrawItem(TWinControl*, int, const TRect&, TOwnerDrawState) { ++calls; }
    void MeasureItem(TWinControl*, int, int&) { ++calls; }
    void EnumFlags(TObject*, const std::string&, TXcEnumFlags&) { ++calls; }
    void SearchError(TObject*, TXcErrorResponse&) { ++calls; }
    void CheckEntry(TObject*, const TXcFoundEntry&, bool&) { ++calls; }
    void Changing(TObject*, bool&) { ++calls; }
    void ChangingEx(TObject*, bool&, int16_t, TUpDownDirection) { ++calls; }
    void ArrowClicked(TObject*, TUDBtnType) { ++calls; }
};

// A provider component as an application would write one: its items, image lists and
// contexts come from the form.
class TRowsProvider : public TComponent, public TXcDataProviderBase {
public:
    explicit TRowsProvider(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TRowsProvider"; }
};

void RegisterRowsProvider() {
    using P = TRowsProvider;
    TClassReg<P>("TRowsProvider", "TComponent")
        .stored("Items", [](P* p, const TDfmValue& v) { p->RootItems()->ReadItems(v); })
        .stored("Extensions", [](P* p, const TDfmValue& v) { p->RootItems()->ReadExtensions(v); })
        .prop("Contexts", [](P* p, const TDfmValue& v) {
            p->EnableContexts();
            for (const std::string& name : v.AsStrings()) p->Contexts()->Add(name);
        });
    TClassReg<TImageList>("TImageList", "TComponent");
}

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        RegisterExtendedClasses();
        TClassReg<TXcRowsForm>("TXcRowsForm", "TForm", false);
        RegisterRowsProvider();
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Lines naming handlers, then a check that fires each and counts the calls.
template <class C>
TRow Events(const std::string& cls, std::vector<std::string> lines, std::function<void(C*)> fire) {
    const int expected = int(lines.size());
    return Row<C>(cls, std::move(lines), [fire, expected](C* c, TRowsForm* f) {
        fire(c);
        EXPECT_EQ(f->calls, expected);
    });
}

// The bases' own: hint colour and the three events.
template <class C>
void AddBaseRows(std::vector<TRow>& rows, const std::string& cls) {
    rows.push_back(Row<C>(cls, {"HintColor = clYellow"},
                          [](C* c, TRowsForm*) { EXPECT_EQ(c->HintColor, clYellow); }));
    rows.push_back(Events<C>(
        cls, {"OnMouseEnter = Clicked", "OnMouseLeave = Clicked", "OnParentColorChange = Clicked"},
        [](C* c) {
            c->OnMouseEnter(c);
            c->OnMouseLeave(c);
            c->OnParentColorChange(c);
        }));
}

std::vector<TRow> ListAndComboRows() {
    std::vector<TRow> rows;
    using L = TXcListBox;
    AddBaseRows<L>(rows, "TXcListBox");
    rows.push_back(
        Row<L>("TXcListBox",
               {"Alignment = taCenter", "ScrollBars = ssVertical", "SelectedColor = clRed",
                "SelectedTextColor = clYellow", "DisabledTextColor = clSilver",
                "ShowFocusRect = False", "HotTrack = True", "Sorted = True"},
               [](L* l, TRowsForm*) {
                   EXPECT_EQ(l->Alignment(), taCenter);
                   EXPECT_EQ(l->ScrollBars(), ssVertical);
                   EXPECT_EQ(l->SelectedColor(), clRed);
                   EXPECT_EQ(l->SelectedTextColor(), clYellow);
                   EXPECT_EQ(l->DisabledTextColor(), clSilver);
                   EXPECT_FALSE(l->ShowFocusRect());
                   EXPECT_TRUE(l->HotTrack());
                   EXPECT_TRUE(l->Sorted());
               }));
    rows.push_back(Row<L>("TXcListBox", {"MultiLine = True"},
                          [](L* l, TRowsForm*) { EXPECT_TRUE(l->MultiLine()); }));
    rows.push_back(Row<L>("TXcListBox",
                          {"Background.Image.Data = " + Hex(BitmapData(6, 4, 0x808080)),
                           "Background.FillMode = bfmStretch", "Background.Visible = True"},
                          [](L* l, TRowsForm*) {
                              EXPECT_EQ(l->Background()->Image()->Width(), 6);
                              EXPECT_EQ(l->Background()->FillMode(), bfmStretch);
                              EXPECT_TRUE(l->Background()->DoDraw());
                          }));
    rows.push_back(Events<L>(
        "TXcListBox",
        {"OnGetText = GetText", "OnSelectCancel = Clicked", "OnDeleteString = ItemChanged",
         "OnAddString = ItemChanged", "OnChange = Clicked", "OnHorizontalScroll = Scrolled",
         "OnVerticalScroll = Scrolled", "OnDrawItem = DrawItem", "OnMeasureItem = MeasureItem"},
        [](L* l) {
            std::string text;
            l->OnGetText(l, 0, text);
            EXPECT_EQ(text, "got");
            l->OnSelectCancel(l);
            l->OnDeleteString(l, "a");
            l->OnAddString(l, "a");
            l->OnChange(l);
            TMessage m{};
            bool dont = false;
            l->OnHorizontalScroll(l, m, dont);
            l->OnVerticalScroll(l, m, dont);
            l->OnDrawItem(l, 0, TRect{}, TOwnerDrawState{});
            int h = 0;
            l->OnMeasureItem(l, 0, h);
        }));
    using C = TXcComboBox;
    AddBaseRows<C>(rows, "TXcComboBox");
    rows.push_back(Row<C>("TXcComboBox",
                          {"ReadOnly = True", "EmptyValue = 'none'", "EmptyFontColor = clRed",
                           "MeasureStyle = cmsBeforeDraw"},
                          [](C* c, TRowsForm*) {
                              EXPECT_TRUE(c->ReadOnly());
                              EXPECT_EQ(c->EmptyValue(), "none");
                              EXPECT_EQ(c->EmptyFontColor(), clRed);
                              EXPECT_EQ(c->MeasureStyle(), cmsBeforeDraw);
                          }));
    rows.push_back(
        Row<C>("TXcComboBox",
               {"AutoComplete = False", "AutoDropDown = True", "Sorted = True",
                "Items.Strings = ('b' 'a')"},
               [](C* c, TRowsForm*) {
                   EXPECT_FALSE(c->AutoComplete());
                   EXPECT_TRUE(c->AutoDropDown());
                   EXPECT_TRUE(c->Sorted());
                   EXPECT_EQ(c->Items()->ToVector(), (std::vector<std::string>{"a", "b"}));
               }));
    rows.push_back(Row<C>("TXcComboBox",
                          {"MaxPixel.Length = 30", "MaxPixel.UseControlFont = False",
                           "MaxPixel.Font.Name = 'Arial'", "MaxPixel.Font.Height = -20"},
                          [](C* c, TRowsForm*) {
                              EXPECT_EQ(c->MaxPixel()->Length(), 30);
                              EXPECT_FALSE(c->MaxPixel()->UseControlFont());
                              EXPECT_EQ(c->MaxPixel()->Font()->Name(), "Arial");
                              EXPECT_EQ(c->MaxPixel()->Font()->Height(), -20);
                          }));
    rows.push_back(Events<C>("TXcComboBox",
                             {"OnDrawItem = DrawItem", "OnMeasureItem = MeasureItem"}, [](C* c) {
                                 c->OnDrawItem(c, 0, TRect{}, TOwnerDrawState{});
                                 int h = 0;
                                 c->OnMeasureItem(c, 0, h);
                             }));
    return rows;
}

std::vector<TRow> DialogAndSearchRows() {
    std::vector<TRow> rows;
    using D = TXcBrowseForFolderDialog;
    rows.push_back(Row<D>("TXcBrowseForFolderDialog",
                          {"Directory = '/tmp/'", "DisplayName = 'tmp'", "HelpContext = 4",
                           "Options = [odOnlyDirectory, odStatusAvailable, odNewDialogStyle]",
                           "Position = fpTopLeft", "Title = 'Pick'", "StatusText = 'status'",
                           "RootDirectory = fdNoSpecialFolder", "RootDirectoryPath = '/tmp/'"},
                          [](D* d, TRowsForm*) {
                              EXPECT_EQ(d->Directory, "/tmp/");
                              EXPECT_EQ(d->DisplayName, "tmp");
                              EXPECT_EQ(d->HelpContext, 4);
                              EXPECT_EQ(d->Options(), Od(odOnlyDirectory) | Od(odStatusAvailable) |
                                                          Od(odNewDialogStyle));
                              EXPECT_EQ(d->Position, fpTopLeft);
                              EXPECT_EQ(d->Title, "Pick");
                              EXPECT_EQ(d->StatusText, "status");
                              EXPECT_EQ(d->RootDirectory(), fdNoSpecialFolder);
                              EXPECT_EQ(d->RootDirectoryPath(), "/tmp/");
                          }));
    rows.push_back(Row<D>("TXcBrowseForFolderDialog", {"RootDirectory = fdDesktop"},
                          [](D* d, TRowsForm*) { EXPECT_EQ(d->RootDirectory(), fdDesktop); }));
    rows.push_back(Events<D>("TXcBrowseForFolderDialog",
                             {"OnAcceptChange = Accept", "OnChange = DirChanged",
                              "OnGetEnumFlags = EnumFlags", "OnInitialized = Clicked",
                              "OnShouldShow = ShouldShow", "OnValidateFailed = ValidateFailed"},
                             [](D* d) {
                                 bool flag = true;
                                 TXcEnumFlags flags = 0;
                                 d->OnAcceptChange(d, "/", flag);
                                 d->OnChange(d, "/");
                                 d->OnGetEnumFlags(d, "/", flags);
                                 d->OnInitialized(d);
                                 d->OnShouldShow(d, "/", flag);
                                 d->OnValidateFailed(d, "x", flag);
                             }));
    using S = TXcSearchFiles;
    rows.push_back(
        Row<S>("TXcSearchFiles",
               {"RootDirectory = '/tmp/'", "DirOption = doExcludeSubDirs", "RecurseDepth = 2",
                "Options = [soSearchDirs, soSorted]", "ErrorResponse = erIgnore"},
               [](S* s, TRowsForm*) {
                   EXPECT_EQ(s->RootDirectory, "/tmp/");
                   EXPECT_EQ(s->DirOption, doExcludeSubDirs);
                   EXPECT_EQ(s->RecurseDepth, 2);
                   EXPECT_EQ(s->Options(), (TXcSearchOptions{soSearchDirs, soSorted}));
                   EXPECT_EQ(s->ErrorResponse, erIgnore);
               }));
    rows.push_back(Row<S>(
        "TXcSearchFiles",
        {"FileParams.SearchTypes = [stFileMask, stMinSize]", "FileParams.MinSize = 5000000000",
         "FileParams.MaxSize = 7", "FileParams.LastChangeAfter = 40000",
         "FileParams.LastChangeBefore = 45000.5", "FileParams.FileMasks.Strings = ('*.pdf' '*.ps')",
         "DirParams.Attributes.ReadOnly = tsMustBeSet",
         "DirParams.Attributes.Hidden = tsMustBeUnSet", "DirParams.Attributes.System = tsMustBeSet",
         "DirParams.Attributes.Archive = tsMustBeSet", "DirParams.Attributes.Normal = tsMustBeSet",
         "DirParams.Attributes.Temporary = tsMustBeSet",
         "DirParams.Attributes.SparseFile = tsMustBeSet",
         "DirParams.Attributes.ReparsePoint = tsMustBeSet",
         "DirParams.Attributes.Compressed = tsMustBeSet",
         "DirParams.Attributes.OffLine = tsMustBeSet",
         "DirParams.Attributes.NotContentIndexed = tsMustBeSet",
         "DirParams.Attributes.Encrypted = tsMustBeUnSet"},
        [](S* s, TRowsForm*) {
            const TXcSearchParams& p = s->FileParams;
            EXPECT_EQ(p.SearchTypes, (TXcSearchTypes{stFileMask, stMinSize}));
            EXPECT_EQ(p.MinSize, 5000000000LL);
            EXPECT_EQ(p.MaxSize, 7);
            EXPECT_NEAR(double(p.LastChangeAfter()), 40000.0, 1.0 / 86400 * 2);
            EXPECT_NEAR(double(p.LastChangeBefore()), 45000.5, 1.0 / 86400 * 2);
            EXPECT_EQ(p.FileMasks.Count(), 2);
            const TXcSearchAttributes& a = s->DirParams.Attributes;
            EXPECT_EQ(a.ReadOnly(), tsMustBeSet);
            EXPECT_EQ(a.Hidden(), tsMustBeUnSet);
            EXPECT_EQ(a.System(), tsMustBeSet);
            EXPECT_EQ(a.Archive(), tsMustBeSet);
            EXPECT_EQ(a.Normal(), tsMustBeSet);
            EXPECT_EQ(a.Temporary(), tsMustBeSet);
            EXPECT_EQ(a.SparseFile(), tsMustBeSet);
            EXPECT_EQ(a.ReparsePoint(), tsMustBeSet);
            EXPECT_EQ(a.Compressed(), tsMustBeSet);
            EXPECT_EQ(a.OffLine(), tsMustBeSet);
            EXPECT_EQ(a.NotContentIndexed(), tsMustBeSet);
            EXPECT_EQ(a.Encrypted(), tsMustBeUnSet);
        }));
    rows.push_back(
        Row<S>("TXcSearchFiles",
               {"FileParams.Attributes.IncludeAttr = 1", "FileParams.Attributes.ExcludeAttr = 2"},
               [](S* s, TRowsForm*) {
                   EXPECT_EQ(s->FileParams.Attributes.ReadOnly(), tsMustBeSet);
                   EXPECT_EQ(s->FileParams.Attributes.Hidden(), tsMustBeUnSet);
               }));
    rows.push_back(
        Events<S>("TXcSearchFiles",
                  {"OnBeginScanDir = Found", "OnFindFile = Found", "OnFindDirectory = Found",
                   "OnAbort = Clicked", "OnError = SearchError", "OnCheck = CheckEntry",
                   "OnProgress = Clicked"},
                  [](S* s) {
                      s->OnBeginScanDir(s, "a");
                      s->OnFindFile(s, "a");
                      s->OnFindDirectory(s, "a");
                      s->OnAbort(s);
                      TXcErrorResponse response = erAbort;
                      s->OnError(s, response);
                      bool accept = true;
                      const TSearchRec rec{};
                      s->OnCheck(s, TXcFoundEntry{rec, 0}, accept);
                      s->OnProgress(s);
                  }));
    return rows;
}

std::vector<TRow> PickerAndSmallRows() {
    std::vector<TRow> rows;
    using Dc = TXcDriveCombo;
    rows.push_back(Row<Dc>(
        "TXcDriveCombo",
        {"DriveTypes = [dtFixed, dtRemovable]", "Offset = 9", "ImageSize = isLarge", "Drive = '/'"},
        [](Dc* c, TRowsForm*) {
            EXPECT_EQ(c->DriveTypes(), (TXcDriveTypes{dtFixed, dtRemovable}));
            EXPECT_EQ(c->Offset(), 9);
            EXPECT_EQ(c->ImageSize(), isLarge);
            EXPECT_EQ(c->Drive(), "/");
        }));
    rows.push_back(
        Events<Dc>("TXcDriveCombo", {"OnChange = Clicked"}, [](Dc* c) { c->OnChange(c); }));
    using Dl = TXcDirectoryListBox;
    rows.push_back(Row<Dl>(
        "TXcDirectoryListBox",
        {"Directory = '/'", "AutoExpand = False", "ShowAllFolders = True", "ScrollBars = ssNone",
         "FileList = Files", "DriveCombo = Drives", "DirLabel = Shown"},
        [](Dl* l, TRowsForm* f) {
            EXPECT_EQ(l->Directory(), "/");
            EXPECT_FALSE(l->AutoExpand);
            EXPECT_TRUE(l->ShowAllFolders());
            EXPECT_EQ(l->ScrollBars(), ssNone);
            EXPECT_EQ(l->FileList(), f->FindComponent("Files"));
            EXPECT_EQ(l->DriveCombo(), f->FindComponent("Drives"));
            EXPECT_EQ(l->DirLabel(), f->FindComponent("Shown"));
        },
        "  object Files: TXcFileListBox\n  end\n  object Drives: TXcDriveCombo\n  end\n"
        "  object Shown: TLabel\n  end\n"));
    rows.push_back(
        Events<Dl>("TXcDirectoryListBox", {"OnChange = Clicked"}, [](Dl* l) { l->OnChange(l); }));
    using Fl = TXcFileListBox;
    rows.push_back(Row<Fl>(
        "TXcFileListBox",
        {"Mask = '*.pdf'", "FileType = [ftNormal, ftArchive]", "ForceFileExtensions = True"},
        [](Fl* l, TRowsForm*) {
            EXPECT_EQ(l->Mask(), "*.pdf");
            EXPECT_TRUE(l->ForceFileExtensions());
        }));
    using U = TXcUpDown;
    AddBaseRows<U>(rows, "TXcUpDown");
    rows.push_back(Row<U>(
        "TXcUpDown",
        {"Min = -5", "Max = 50", "Increment = 5", "Position = 10", "AlignButton = abLeft",
         "Format = ufHex", "HotTrack = True", "Orientation = udHorizontal", "ArrowKeys = False",
         "Thousands = False", "Wrap = True", "Associate = Buddy"},
        [](U* u, TRowsForm* f) {
            EXPECT_EQ(u->Min(), -5);
            EXPECT_EQ(u->Max(), 50);
            EXPECT_EQ(u->Increment(), 5);
            EXPECT_EQ(u->Position(), 10);
            EXPECT_EQ(u->AlignButton(), abLeft);
            EXPECT_EQ(u->Format(), ufHex);
            EXPECT_TRUE(u->HotTrack());
            EXPECT_EQ(u->Orientation, udHorizontal);
            EXPECT_FALSE(u->ArrowKeys);
            EXPECT_FALSE(u->Thousands);
            EXPECT_TRUE(u->Wrap);
            EXPECT_EQ(u->Associate(), f->FindComponent("Buddy"));
        },
        "  object Buddy: TEdit\n  end\n"));
    rows.push_back(Events<U>(
        "TXcUpDown",
        {"OnChanging = Changing", "OnChangingEx = ChangingEx", "OnClick = ArrowClicked"}, [](U* u) {
            bool allow = true;
            u->OnChanging(u, allow);
            u->OnChangingEx(u, allow, 3, updUp);
            u->OnClickButton(u, btNext);
        }));
    using Led = TXcLED;
    AddBaseRows<Led>(rows, "TXcLED");
    rows.push_back(Row<Led>("TXcLED",
                            {"ColorOn = clBlue", "ColorOff = clGray", "Interval = 250",
                             "Active = False", "Status = False"},
                            [](Led* l, TRowsForm*) {
                                EXPECT_EQ(l->ColorOn(), clBlue);
                                EXPECT_EQ(l->ColorOff(), clGray);
                                EXPECT_EQ(l->Interval(), 250u);
                                EXPECT_FALSE(l->Active());
                                EXPECT_FALSE(l->Status());
                            }));
    return rows;
}

// The provider named after the control, with two contexts and two items, "B" holding "C".
const char* const kProvider =
    "  object Prov: TRowsProvider\n"
    "    Contexts = ('First' 'Second')\n"
    "    Items = <item ClassName = 'TXcBaseDataItem' ID = 'A' Caption = 'a' end\n"
    "      item ClassName = 'TXcBaseDataItem' ID = 'B' Caption = 'b'\n"
    "        SubItems = <item ClassName = 'TXcBaseDataItem' ID = 'C' Caption = 'c' end> end>\n"
    "  end\n";

template <class C>
void CheckConsumer(C* c, const std::string& context, const std::string& item) {
    TXcDataConsumer* consumer = c->Provider();
    EXPECT_EQ(consumer->Provider(),
              dynamic_cast<IXcDataProvider*>(c->Owner()->FindComponent("Prov")));
    EXPECT_TRUE(c->ProviderSelected());
    EXPECT_EQ(consumer->Context(), context);
    EXPECT_EQ(consumer->template GetInterface<TXcDataConsumerItemSelect>()->Item(), item);
    // The control's view keeps its own indent.
    EXPECT_EQ(consumer->template GetInterface<TXcDataConsumerViewList>()->LevelIndent(), -1);
}

std::vector<TRow> DataProviderRows() {
    std::vector<TRow> rows;
    rows.push_back(Row<TXcListBox>(
        "TXcListBox",
        {"Provider.Provider = Prov", "Provider.Context = 'Second'",
         "Provider.Extensions = <item ClassName = 'TXcDataConsumerItemSelect' Item = 'C' end>"},
        [](TXcListBox* l, TRowsForm*) { CheckConsumer(l, "Second", "C"); }, kProvider));
    rows.push_back(Row<TXcComboBox>(
        "TXcComboBox",
        {"Provider.Provider = Prov",
         "Provider.Extensions = <item ClassName = 'TXcDataConsumerItemSelect' Item = 'a' end>"},
        [](TXcComboBox* c, TRowsForm*) { CheckConsumer(c, "First", "A"); }, kProvider));
    // The item lists' pictures are image lists declared further down the form.
    rows.push_back(Row<TRowsProvider>(
        "TRowsProvider",
        {"Items = <item ClassName = 'TXcBaseDataItem' ID = 'one' Caption = '\u4e00'\n"
         "  Alignment = taCenter ImageIndex = 3 SelectedIndex = 4 end\n"
         "  item ClassName = 'TXcBaseDataItem' Caption = 'two' end>",
         "Extensions = <item ClassName = 'TXcCustomDataItemsImages' Images = Pics\n"
         "  HotImages = Hot DisabledImages = Off end>"},
        [](TRowsProvider* p, TRowsForm* f) {
            TXcDataItemsList* items = p->RootItems();
            ASSERT_EQ(items->Count(), 2);
            TXcBaseDataItem* one = items->Item(0);
            EXPECT_EQ(one->ID(), "one");
            EXPECT_EQ(one->GetInterface<IXcDataItemText>()->Caption(), "\u4e00");
            auto* image = one->GetInterface<IXcDataItemImage>();
            EXPECT_EQ(image->Alignment(), taCenter);
            EXPECT_EQ(image->ImageIndex(), 3);
            EXPECT_EQ(image->SelectedIndex(), 4);
            // An item the form gives no ID keeps the one it was made with.
            EXPECT_EQ(items->Item(1)->ID().size(), 32u);
            auto* images = items->GetInterface<IXcDataItemsImages>();
            EXPECT_EQ(images->Images(), f->FindComponent("Pics"));
            EXPECT_EQ(images->HotImages(), f->FindComponent("Hot"));
            EXPECT_EQ(images->DisabledImages(), f->FindComponent("Off"));
        },
        "  object Pics: TImageList\n  end\n  object Hot: TImageList\n  end\n"
        "  object Off: TImageList\n  end\n"));
    return rows;
}

std::vector<TRow> AllRows() {
    std::vector<TRow> rows;
    for (auto part :
         {ListAndComboRows(), DialogAndSearchRows(), PickerAndSmallRows(), DataProviderRows()})
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

}  // namespace

TEST(XcPublished, EveryRowArrives) {
    for (const TRow& row : AllRows()) published::ReadRow<TXcRowsForm>(row);
}

TEST(XcPublished, EveryRegisteredPropertyHasARow) {
    const auto reached = published::Reached(AllRows());
    for (const char* cls : {"TXcExGraphicControl", "TXcExCustomComboBox",
                            "TXcExCustomListBox",  "TXcExCustomUpDown",
                            "TXcListBox",          "TXcListBoxBackground",
                            "TXcComboBox",         "TXcDataConsumer",
                            "TXcMaxPixel",         "TXcBrowseForFolderDialog",
                            "TXcSearchFiles",      "TXcSearchParams",
                            "TXcSearchAttributes", "TXcDriveCombo",
                            "TXcDirectoryListBox", "TXcFileListBox",
                            "TXcCustomUpDown",     "TXcUpDown",
                            "TXcCustomLED",        "TXcLED",
                            "TCustomUpDown"})
        for (const std::string& missing : published::Unread(cls, reached))
            ADD_FAILURE() << missing << " is read by no row";
}

TEST(XcPublished, EachPropertyIsRegisteredOnce) {
    EXPECT_EQ(published::RegisteredTwice(), std::vector<std::string>{});
}

// Values the reader cannot take fail with the reason instead of leaving a default behind.
TEST(XcPublished, ValuesOutsideTheirTypeFail) {
    struct Case {
        const char* cls;
        const char* line;
    } cases[] = {
        {"TXcListBox", "Alignment = taMiddle"},
        {"TXcComboBox", "MeasureStyle = cmsSometimes"},
        {"TXcSearchFiles", "Options = [soEverything]"},
        {"TXcSearchFiles", "DirOption = 9"},
        {"TXcSearchFiles", "FileParams.MinSize = 'big'"},
        {"TXcBrowseForFolderDialog", "RootDirectory = fdNowhere"},
        {"TXcSearchFiles", "DirParams.Attributes.ReadOnly = tsMaybe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TXcRowsForm form(nullptr);
        const std::string text = std::string("object F: TXcRowsForm\n  object S: ") + c.cls +
                                 "\n    " + c.line + "\n  end\nend\n";
        EXPECT_THROW(ReadForm(&form, text), EReadError);
    }
}

// A provider form that cannot be honoured fails with the reason instead of showing less.
TEST(XcPublished, ProviderFormsThatCannotBeHonouredFail) {
    struct Case {
        const char* cls;
        const char* line;
        const char* reason;  // part of the message
    } cases[] = {
        {"TXcListBox", "Provider.Provider = Other", "cannot be the Provider"},
        {"TXcListBox", "Provider.Provider = Nobody", "Nobody"},
        {"TXcListBox", "Provider.Provider = Prov\n    Provider.Context = 'Third'", "Third"},
        {"TXcComboBox",
         "Provider.Provider = Prov\n    Provider.Extensions = <item ClassName = "
         "'TXcDataConsumerItemSelect' Item = 'Z' end>",
         "找不到项目"},
        // The view belongs to the control: a stream cannot name it.
        {"TXcListBox",
         "Provider.Extensions = <item ClassName = 'TXcDataConsumerViewList' LevelIndent = 8 end>",
         "类的类型无效"},
        {"TRowsProvider", "Items = <item ClassName = 'TXcBaseDataItem' Colour = 1 end>", "Colour"},
        {"TRowsProvider", "Items = <item ClassName = 'TXcDataConsumer' end>", "类的类型无效"},
        {"TRowsProvider",
         "Extensions = <item ClassName = 'TXcCustomDataItemsImages' HotImages = Other end>",
         "Other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TXcRowsForm form(nullptr);
        const std::string text = std::string("object F: TXcRowsForm\n  object S: ") + c.cls +
                                 "\n    " + c.line + "\n  end\n" + kProvider +
                                 "  object Other: TXcListBox\n  end\nend\n";
        try {
            ReadForm(&form, text);
            ADD_FAILURE() << "read without complaint";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message.find(c.reason), std::string::npos) << e.Message;
        }
    }
}
