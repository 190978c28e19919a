// Every published property of the layer's streamable classes read from a small form, its
// sub-objects' properties included, and round trips of the sub-objects through a form.
#include <gtest/gtest.h>

#include "controls/styled/styButton.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styFormShape.h"
#include "controls/styled/styImageListItem.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styIniCtrl.h"
#include "controls/styled/styProgress.h"
#include "controls/styled/styPublished.h"
#include "controls/styled/styWndProc.h"
#include "platform/vcl/menus.h"
#include "tests/vcl/publishedRows.h"

namespace {

using published::BitmapData;
using published::Hex;
using published::Row;
using published::TRow;
using published::TRowsForm;

class TStyRowsForm : public TRowsForm {
public:
    explicit TStyRowsForm(TComponent* owner) : TRowsForm(owner) {
        BindMethod<TStyProgressColorEvent>("GetColor", this, &TStyRowsForm::GetColor);
        BindMethod<TStyProgressPaintEvent>("PaintBar", this, &TStyRowsForm::PaintBar);
        BindMethod<TMouseEvent>("MouseDown", this, &TStyRowsForm::MouseDown);
        BindMethod<TMouseMoveEvent>("MouseMove", this, &TStyRowsForm::MouseMove);
    }
    std::string ClassName() const override { return "TStyRowsForm"; }
    void GetColor(TObject*, uint8_t, TColor& c) {
        ++calls;
        c = clRed;
    }
    void PaintBar(TObject*, TCanvas*, const TRect&, const TRect&, const TRect&) { ++calls; }
    void MouseDown(TObject*, TMouseButton, TShiftState, int, int) { ++calls; }
    void MouseMove(TObject*, TShiftState, int, int) { ++calls; }
};

struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        RegisterStyledClasses();
        TClassReg<TRowsForm>("TRowsForm", "TForm", false);
        TClassReg<TStyRowsForm>("TStyRowsForm", "TForm", false);
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

const char* const kTargets =
    "  object ImageList1: TStyImageList\n  end\n  object PopupMenu1: TPopupMenu\n  end\n";

// An event line: the handler is bound and runs.
template <class C>
TRow EventRow(const std::string& cls, const std::string& name, std::function<void(C*)> fire) {
    return Row<C>(cls, {name + " = Clicked"}, [fire](C* c, TRowsForm* f) {
        fire(c);
        EXPECT_EQ(f->calls, 1);
    });
}

// The rows shared by every control: the class library's properties the layer publishes.
template <class C>
void AddControlRows(std::vector<TRow>& rows, const std::string& cls) {
    auto row = [&](std::vector<std::string> lines, std::function<void(C*, TRowsForm*)> check,
                   const std::string& after = "") {
        rows.push_back(Row<C>(cls, std::move(lines), std::move(check), after));
    };
    row({"Left = 7", "Top = 8", "Width = 90", "Height = 21"}, [](C* c, TRowsForm*) {
        EXPECT_EQ(c->Left(), 7);
        EXPECT_EQ(c->Top(), 8);
        EXPECT_EQ(c->Width(), 90);
        EXPECT_EQ(c->Height(), 21);
    });
    row({"Caption = 'Go'"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Caption(), "Go"); });
    row({"Color = clRed"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Color(), clRed); });
    row({"Enabled = False"}, [](C* c, TRowsForm*) { EXPECT_FALSE(c->Enabled()); });
    row({"Visible = False"}, [](C* c, TRowsForm*) { EXPECT_FALSE(c->Visible()); });
    row({"Hint = 'tip'"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Hint(), "tip"); });
    row({"ShowHint = True"}, [](C* c, TRowsForm*) { EXPECT_TRUE(c->ShowHint); });
    row({"ParentShowHint = False"}, [](C* c, TRowsForm*) { EXPECT_FALSE(c->ParentShowHint); });
    row({"ParentColor = True"}, [](C* c, TRowsForm*) { EXPECT_TRUE(c->ParentColor); });
    row({"ParentFont = False"}, [](C* c, TRowsForm*) { EXPECT_FALSE(c->ParentFont); });
    row({"Font.Charset = GB2312_CHARSET", "Font.Color = clBlue", "Font.Height = -15",
         "Font.Name = 'Arial'", "Font.Style = [fsBold]"},
        [](C* c, TRowsForm*) {
            EXPECT_EQ(c->Font()->Charset, GB2312_CHARSET);
            EXPECT_EQ(c->Font()->Color(), clBlue);
            EXPECT_EQ(c->Font()->Height(), -15);
            EXPECT_EQ(c->Font()->Name(), "Arial");
            EXPECT_EQ(c->Font()->Style(), TFontStyles{fsBold});
        });
    row({"Font.Size = 14"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Font()->Size(), 14); });
    row({"Cursor = crHandPoint"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Cursor, crHandPoint); });
    row({"Tag = 5"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Tag, 5); });
    row({"Align = alBottom"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->Align, alBottom); });
    row({"Anchors = [akLeft, akBottom]"},
        [](C* c, TRowsForm*) { EXPECT_EQ(c->Anchors, (1u << akLeft) | (1u << akBottom)); });
    row({"BiDiMode = bdRightToLeft"},
        [](C* c, TRowsForm*) { EXPECT_EQ(c->BiDiMode, bdRightToLeft); });
    row({"ParentBiDiMode = False"}, [](C* c, TRowsForm*) { EXPECT_FALSE(c->ParentBiDiMode); });
    row({"DragKind = dkDock"}, [](C* c, TRowsForm*) { EXPECT_EQ(c->DragKind, dkDock); });
    row({"Constraints.MinWidth = 10", "Constraints.MinHeight = 11", "Constraints.MaxWidth = 300",
         "Constraints.MaxHeight = 40"},
        [](C* c, TRowsForm*) {
            EXPECT_EQ(c->Constraints()->MinWidth, 10);
            EXPECT_EQ(c->Constraints()->MinHeight, 11);
            EXPECT_EQ(c->Constraints()->MaxWidth, 300);
            EXPECT_EQ(c->Constraints()->MaxHeight, 40);
        });
    row({"HelpType = htKeyword", "HelpKeyword = 'topic'", "HelpContext = 12"},
        [](C* c, TRowsForm*) {
            EXPECT_EQ(c->HelpType, htKeyword);
            EXPECT_EQ(c->HelpKeyword, "topic");
            EXPECT_EQ(c->HelpContext, 12);
        });
    row({"ImeName = 'pinyin'", "ImeMode = imChinese"}, [](C* c, TRowsForm*) {
        EXPECT_EQ(c->ImeName, "pinyin");
        EXPECT_EQ(c->ImeMode, imChinese);
    });
    row(
        {"PopupMenu = PopupMenu1"},
        [](C* c, TRowsForm* f) {
            EXPECT_EQ(c->PopupMenu(), f->FindComponent("PopupMenu1"));
            delete f->FindComponent("PopupMenu1");  // a freed menu is not kept
            EXPECT_EQ(c->PopupMenu(), nullptr);
        },
        kTargets);
    rows.push_back(EventRow<C>(cls, "OnClick", [](C* c) { c->OnClick(c); }));
    rows.push_back(EventRow<C>(cls, "OnDblClick", [](C* c) { c->OnDblClick(c); }));
    rows.push_back(EventRow<C>(cls, "OnMouseEnter", [](C* c) { c->OnMouseEnter(c); }));
    rows.push_back(EventRow<C>(cls, "OnMouseExit", [](C* c) { c->OnMouseExit(c); }));
    row({"OnMouseDown = MouseDown", "OnMouseUp = MouseDown", "OnMouseMove = MouseMove"},
        [](C* c, TRowsForm* f) {
            c->OnMouseDown(c, mbLeft, 0, 1, 2);
            c->OnMouseUp(c, mbLeft, 0, 1, 2);
            c->OnMouseMove(c, 0, 1, 2);
            EXPECT_EQ(f->calls, 3);
        });
    row({"OnEndDock = EndDock", "OnStartDock = StartDock"}, [](C* c, TRowsForm* f) {
        TDragDockObject* dock = nullptr;
        c->OnEndDock(c, nullptr, 1, 2);
        c->OnStartDock(c, dock);
        EXPECT_EQ(f->calls, 2);
    });
}

std::vector<TRow> ButtonRows() {
    using B = TStyButton;
    const std::string cls = "TStyButton";
    std::vector<TRow> rows;
    AddControlRows<B>(rows, cls);
    auto row = [&](std::vector<std::string> lines, std::function<void(B*, TRowsForm*)> check,
                   const std::string& after = "") {
        rows.push_back(Row<B>(cls, std::move(lines), std::move(check), after));
    };
    row({"About = 'x'"}, [](B* b, TRowsForm*) { EXPECT_EQ(b->About, "x"); });
    row({"ButtonLayout.AlignText2Glyph = taBottom", "ButtonLayout.OffsetX = 3",
         "ButtonLayout.OffsetY = -4", "ButtonLayout.Spacing = 5",
         "ButtonLayout.Alignment = agBottomRight", "ButtonLayout.Arrow = True",
         "ButtonLayout.ArrowColor = clRed", "ButtonLayout.ArrowIndent = 7",
         "ButtonLayout.ArrowPosition = apLeftGlyph", "ButtonLayout.ArrowSize = 9"},
        [](B* b, TRowsForm*) {
            const TStyButtonLayout* l = b->ButtonLayout();
            EXPECT_EQ(l->AlignText2Glyph(), taBottom);
            EXPECT_EQ(l->OffsetX(), 3);
            EXPECT_EQ(l->OffsetY(), -4);
            EXPECT_EQ(l->Spacing(), 5);
            EXPECT_EQ(l->Alignment(), agBottomRight);
            EXPECT_TRUE(l->Arrow());
            EXPECT_EQ(l->ArrowColor(), clRed);
            EXPECT_EQ(l->ArrowIndent(), 7);
            EXPECT_EQ(l->ArrowPosition(), apLeftGlyph);
            EXPECT_EQ(l->ArrowSize(), 9);
        });
    row({"FontFX.DisabledStyle = ds3d", "FontFX.LightDepth = 3", "FontFX.ShadowDepth = 4",
         "FontFX.LightColor = clRed", "FontFX.ShadowColor = clBlue", "FontFX.Style = tdRaised",
         "FontFX.Orientation = toBottomRight", "FontFX.Tracing = 2", "FontFX.Angle = 90",
         "FontFX.PosX = 5", "FontFX.PosY = -6"},
        [](B* b, TRowsForm*) {
            const TStyFxCaption* fx = b->FontFX();
            EXPECT_EQ(fx->DisabledStyle(), ds3d);
            EXPECT_EQ(fx->LightDepth(), 3);
            EXPECT_EQ(fx->ShadowDepth(), 4);
            EXPECT_EQ(fx->LightColor(), clRed);
            EXPECT_EQ(fx->ShadowColor(), clBlue);
            EXPECT_EQ(fx->Style(), tdRaised);
            EXPECT_EQ(fx->Orientation(), toBottomRight);
            EXPECT_EQ(fx->Tracing(), 2);
            EXPECT_EQ(fx->Angle(), 90);
            EXPECT_EQ(fx->PosX(), 5);
            EXPECT_EQ(fx->PosY(), -6);
        });
    row({"Glyph.Data = " + Hex(BitmapData(36, 18, 0x00FF00))}, [](B* b, TRowsForm*) {
        EXPECT_EQ(b->Glyph()->Width(), 36);
        EXPECT_EQ(b->NumGlyphs(), 2);  // two square cells
    });
    row({"Glyph.Resource = 'images/glyph_arrange.bmp'"},
        [](B* b, TRowsForm*) { EXPECT_FALSE(b->Glyph()->Empty()); });
    row({"NumGlyphs = 3"}, [](B* b, TRowsForm*) { EXPECT_EQ(b->NumGlyphs(), 3); });
    row({"Cancel = True", "Default = True", "ModalResult = 2"}, [](B* b, TRowsForm*) {
        EXPECT_TRUE(b->Cancel);
        EXPECT_TRUE(b->Default);
        EXPECT_EQ(b->ModalResult, 2);
    });
    row({"HideHint = False", "UseCaption = False", "MultiLine = True"}, [](B* b, TRowsForm*) {
        EXPECT_FALSE(b->HideHint);
        EXPECT_FALSE(b->UseCaption());
        EXPECT_TRUE(b->MultiLine());
    });
    row(
        {"ImageList = ImageList1", "ListIndex = 1", "ImageIndex = 2"},
        [](B* b, TRowsForm* f) {
            EXPECT_EQ(b->ImageList(), f->FindComponent("ImageList1"));
            EXPECT_EQ(b->ListIndex(), 1);
            EXPECT_EQ(b->ImageIndex(), 2);
        },
        kTargets);
    row({"Internal = 'STYBML30'"},
        [](B* b, TRowsForm*) { EXPECT_EQ(b->ImageList(), StyListFromReferenceName("STYBML30")); });
    row({"RepeatedClick = True", "RepeatingInterval = 50", "RepeatingDelay = 300"},
        [](B* b, TRowsForm*) {
            EXPECT_TRUE(b->RepeatedClick);
            EXPECT_EQ(b->RepeatingInterval, 50);
            EXPECT_EQ(b->RepeatingDelay, 300);
        });
    row({"ExtStyle = ubsFlat"}, [](B* b, TRowsForm*) { EXPECT_EQ(b->ExtStyle(), ubsFlat); });
    row({"Style = nbsWin31"}, [](B* b, TRowsForm*) { EXPECT_EQ(b->ExtStyle(), ubsWin31); });
    row({"TabOrder = 3", "TabStop = False"}, [](B* b, TRowsForm*) {
        EXPECT_EQ(b->TabOrder, 3);
        EXPECT_FALSE(b->TabStop);
    });
    row(
        {"DropDownMenu = PopupMenu1", "DropDownIndent = 4", "DropDownRight = True"},
        [](B* b, TRowsForm* f) {
            EXPECT_EQ(b->DropDownMenu(), f->FindComponent("PopupMenu1"));
            EXPECT_EQ(b->DropDownIndent, 4);
            EXPECT_TRUE(b->DropDownRight);
        },
        kTargets);
    rows.push_back(EventRow<B>(cls, "OnDropDown", [](B* b) { b->OnDropDown(b); }));
    rows.push_back(EventRow<B>(cls, "OnEnter", [](B* b) { b->OnEnter(b); }));
    rows.push_back(EventRow<B>(cls, "OnExit", [](B* b) { b->OnExit(b); }));
    return rows;
}

std::vector<TRow> ProgressRows() {
    using P = TStyProgress;
    const std::string cls = "TStyProgress";
    std::vector<TRow> rows;
    AddControlRows<P>(rows, cls);
    auto row = [&](std::vector<std::string> lines, std::function<void(P*, TRowsForm*)> check) {
        rows.push_back(Row<P>(cls, std::move(lines), std::move(check)));
    };
    row({"About = 'x'"}, [](P* p, TRowsForm*) { EXPECT_EQ(p->About, "x"); });
    row({"Alignment = taRightJustify"},
        [](P* p, TRowsForm*) { EXPECT_EQ(p->Alignment(), taRightJustify); });
    row({"BarColor = 153", "Bar3D = lsWindowBorder"}, [](P* p, TRowsForm*) {
        EXPECT_EQ(p->BarColor(), 153);
        EXPECT_EQ(p->Bar3D(), lsWindowBorder);
    });
    row({"Bevel.StyleInner = bvRaised", "Bevel.StyleOuter = bvLowered", "Bevel.WidthInner = 2",
         "Bevel.WidthOuter = 3", "Bevel.BorderColor = clRed", "Bevel.BorderSides = [fsLeft, fsTop]",
         "Bevel.BorderWidth = 4", "Bevel.BorderInnerWidth = 5", "Bevel.EdgeStyle = etBump",
         "Bevel.LightColor = clWhite", "Bevel.Mode = bmEdge", "Bevel.ShadowColor = clGray",
         "Bevel.StandardStyle = lsRaised"},
        [](P* p, TRowsForm*) {
            const TStyBevel* b = p->Bevel();
            EXPECT_EQ(b->StyleInner(), bvRaised);
            EXPECT_EQ(b->StyleOuter(), bvLowered);
            EXPECT_EQ(b->WidthInner(), 2);
            EXPECT_EQ(b->WidthOuter(), 3);
            EXPECT_EQ(b->BorderColor(), clRed);
            EXPECT_EQ(b->BorderSides(), (1 << fsLeft) | (1 << fsTop));
            EXPECT_EQ(b->BorderWidth(), 4);
            EXPECT_EQ(b->BorderInnerWidth(), 5);
            EXPECT_EQ(b->EdgeStyle(), etBump);
            EXPECT_EQ(b->LightColor(), clWhite);
            EXPECT_EQ(b->Mode(), bmEdge);
            EXPECT_EQ(b->ShadowColor(), clGray);
            EXPECT_EQ(b->StandardStyle(), lsRaised);
        });
    row({"CtlXP = True", "Delta = 3", "Direction = mdVerticalReverse"}, [](P* p, TRowsForm*) {
        EXPECT_TRUE(p->CtlXP());
        EXPECT_EQ(p->Delta(), 3);
        EXPECT_EQ(p->Direction(), mdVerticalReverse);
    });
    row({"Font3D.DisabledStyle = dsNone", "Font3D.LightDepth = 2", "Font3D.ShadowDepth = 3",
         "Font3D.LightColor = clYellow", "Font3D.ShadowColor = clNavy",
         "Font3D.Style = tdSunkenShadow", "Font3D.Orientation = toBottomLeft",
         "Font3D.Tracing = 1"},
        [](P* p, TRowsForm*) {
            const TSty3DCaption* f = p->Font3D();
            EXPECT_EQ(f->DisabledStyle(), dsNone);
            EXPECT_EQ(f->LightDepth(), 2);
            EXPECT_EQ(f->ShadowDepth(), 3);
            EXPECT_EQ(f->LightColor(), clYellow);
            EXPECT_EQ(f->ShadowColor(), clNavy);
            EXPECT_EQ(f->Style(), tdSunkenShadow);
            EXPECT_EQ(f->Orientation(), toBottomLeft);
            EXPECT_EQ(f->Tracing(), 1);
        });
    row({"MaxValue = 50", "MinValue = -50"}, [](P* p, TRowsForm*) {
        EXPECT_EQ(p->MaxValue(), 50);
        EXPECT_EQ(p->MinValue(), -50);
    });
    row({"OptionsText = toPercent", "UseFontColor = True", "Style = pgBar"}, [](P* p, TRowsForm*) {
        EXPECT_EQ(p->OptionsText(), toPercent);
        EXPECT_TRUE(p->UseFontColor());
        EXPECT_EQ(p->Style(), pgBar);
    });
    row({"SmallBar.AutoSize = False", "SmallBar.BarColor = 153", "SmallBar.BarCount = 157",
         "SmallBar.HSpace = 1", "SmallBar.VSpace = 2"},
        [](P* p, TRowsForm*) {
            const TStySmallBar* s = p->SmallBar();
            EXPECT_FALSE(s->AutoSize());
            EXPECT_EQ(s->BarColor(), 153);
            EXPECT_EQ(s->BarCount(), 157);
            EXPECT_EQ(s->HSpace(), 1);
            EXPECT_EQ(s->VSpace(), 2);
        });
    row({"Step = 5", "Position = 30"}, [](P* p, TRowsForm*) {
        EXPECT_EQ(p->Step, 5);
        EXPECT_EQ(p->Position(), 30);
    });
    row({"UserValue = 40"}, [](P* p, TRowsForm*) { EXPECT_EQ(p->UserValue(), 40); });
    row({"Internal = 'STYIML30'"},
        [](P* p, TRowsForm*) { EXPECT_EQ(p->ImageList(), StyListFromReferenceName("STYIML30")); });
    row({"OnGetColor = GetColor", "OnPaint = PaintBar"}, [](P* p, TRowsForm* f) {
        TColor c = clBlack;
        p->OnGetColor(p, 0, c);
        EXPECT_EQ(c, clRed);
        p->OnPaint(p, nullptr, TRect{}, TRect{}, TRect{});
        EXPECT_EQ(f->calls, 2);
    });
    return rows;
}

std::vector<TRow> FormShapeRows() {
    using S = TStyFormShape;
    const std::string cls = "TStyFormShape";
    std::vector<TRow> rows;
    auto row = [&](std::vector<std::string> lines, std::function<void(S*, TRowsForm*)> check,
                   const std::string& after = "") {
        rows.push_back(Row<S>(cls, std::move(lines), std::move(check), after));
    };
    row({"About = 'x'", "Enabled = False"}, [](S* s, TRowsForm*) {
        EXPECT_EQ(s->About, "x");
        EXPECT_FALSE(s->Enabled());
    });
    row({"ShowFormCaption = False", "FormDragable = False", "UseRgnBitmap = False"},
        [](S* s, TRowsForm*) {
            EXPECT_FALSE(s->ShowFormCaption);
            EXPECT_FALSE(s->FormDragable);
            EXPECT_FALSE(s->UseRgnBitmap);
        });
    row(
        {"ImageList = ImageList1", "ListIndex = 1", "ImageIndex = 3"},
        [](S* s, TRowsForm* f) {
            EXPECT_EQ(s->ImageList(), f->FindComponent("ImageList1"));
            EXPECT_EQ(s->ListIndex(), 1);
            EXPECT_EQ(s->ImageIndex(), 3);
        },
        kTargets);
    row({"Internal = 'STYBML30'"},
        [](S* s, TRowsForm*) { EXPECT_EQ(s->ImageList(), StyListFromReferenceName("STYBML30")); });
    row({"Region.Shape = rsStar", "Region.RoundX = 7", "Region.RoundY = 9",
         "Region.ExtPos = epRightBottom"},
        [](S* s, TRowsForm*) {
            const TStyRegion* r = s->Region();
            EXPECT_EQ(r->Shape(), rsStar);
            EXPECT_EQ(r->RoundX(), 7);
            EXPECT_EQ(r->RoundY(), 9);
            EXPECT_EQ(r->ExtPos(), epRightBottom);
        });
    row({"Region.Border.Style = rbRaised", "Region.Border.LightColor = clWhite",
         "Region.Border.ShadowColor = clGray", "Region.Border.SingleColor = clRed"},
        [](S* s, TRowsForm*) {
            const TStyRegionBorder* b = s->Region()->Border();
            EXPECT_EQ(b->Style(), rbRaised);
            EXPECT_EQ(b->LightColor(), clWhite);
            EXPECT_EQ(b->ShadowColor(), clGray);
            EXPECT_EQ(b->SingleColor(), clRed);
        });
    row({"Region.Shadow.Style = hssTracing", "Region.Shadow.Color = clBlue",
         "Region.Shadow.Depth = 3"},
        [](S* s, TRowsForm*) {
            const TStyRgnShadow* sh = s->Region()->Shadow();
            EXPECT_EQ(sh->Style(), hssTracing);
            EXPECT_EQ(sh->Color(), clBlue);
            EXPECT_EQ(sh->Depth(), 3);
        });
    row({"Region.PointList = (1 2 30 -4)"}, [](S* s, TRowsForm*) {
        ASSERT_EQ(s->Region()->Points()->Count(), 2);
        EXPECT_EQ(s->Region()->Points()->Point(1).Y, -4);
    });
    row({"Region.Mask.RegionDataSize = 3", "Region.Mask.RegionData = {010203}",
         "Region.Mask.PixelFormat = spf4bit", "Region.Mask.Compressed = True"},
        [](S* s, TRowsForm*) {
            const TStyRegionMask* m = s->Region()->Mask();
            EXPECT_EQ(m->RegionDataSize(), 3);
            EXPECT_EQ(m->RegionData(), (std::vector<uint8_t>{1, 2, 3}));
            EXPECT_EQ(m->PixelFormat, spf4bit);
            EXPECT_TRUE(m->Compressed);
        });
    // The border bitmaps as the mask itself stores them.
    TStyRegionMask source;
    source.BorderBmp()->SetSize(5, 4);
    source.BorderUpBmp()->SetSize(6, 4);
    source.BorderDnBmp()->SetSize(7, 4);
    TStyPropertyWriter stored;
    source.DefineProperties(stored);
    row({"Region.Mask.BorderBmp = " + Hex(stored.Find("BorderBmp")->s),
         "Region.Mask.BorderUpBmp = " + Hex(stored.Find("BorderUpBmp")->s),
         "Region.Mask.BorderDnBmp = " + Hex(stored.Find("BorderDnBmp")->s)},
        [](S* s, TRowsForm*) {
            const TStyRegionMask* m = s->Region()->Mask();
            EXPECT_EQ(m->BorderBmp()->Width(), 5);
            EXPECT_EQ(m->BorderUpBmp()->Width(), 6);
            EXPECT_EQ(m->BorderDnBmp()->Width(), 7);
        });
    row({"FillObject.Style = sfBitmap", "FillObject.TileMode = tmNone",
         "FillObject.Alignment = agCenter", "FillObject.OffsetX = 3", "FillObject.OffsetY = -2",
         "FillObject.Options = [foQuickDraw]"},
        [](S* s, TRowsForm*) {
            const TStyFillObject* f = s->FillObject();
            EXPECT_EQ(f->Style(), sfBitmap);
            EXPECT_EQ(f->TileMode(), tmNone);
            EXPECT_EQ(f->Alignment(), agCenter);
            EXPECT_EQ(f->OffsetX(), 3);
            EXPECT_EQ(f->OffsetY(), -2);
            EXPECT_EQ(f->Options(), foQuickDraw);
        });
    row({"FillObject.Brush.Color = clRed", "FillObject.Brush.Style = bsClear"},
        [](S* s, TRowsForm*) {
            EXPECT_EQ(TColor(s->FillObject()->Brush()->Color), clRed);
            EXPECT_EQ(TBrushStyle(s->FillObject()->Brush()->Style), bsClear);
        });
    row({"FillObject.Brush.Style = bsDiagCross"}, [](S* s, TRowsForm*) {
        EXPECT_EQ(TBrushStyle(s->FillObject()->Brush()->Style), bsDiagCross);
    });
    row({"FillObject.Bitmap.Data = " + Hex(BitmapData(3, 2, 0x0000FF))}, [](S* s, TRowsForm*) {
        EXPECT_EQ(s->FillObject()->Bitmap()->Width(), 3);
        EXPECT_EQ(s->FillObject()->Bitmap()->Height(), 2);
    });
    row({"FillObject.Gradient.Color = clRed", "FillObject.Gradient.ColorCount = 8",
         "FillObject.Gradient.Style = gstElliptic", "FillObject.Gradient.EndColor = clBlue",
         "FillObject.Gradient.PaletteRealize = True", "FillObject.Gradient.TwoColors = False",
         "FillObject.Gradient.ColorList = (255 65280 16711680)"},
        [](S* s, TRowsForm*) {
            const TStyGradient* g = s->FillObject()->Gradient();
            EXPECT_EQ(g->Color(), clRed);
            EXPECT_EQ(g->ColorCount(), 8);
            EXPECT_EQ(g->Style(), gstElliptic);
            EXPECT_EQ(g->EndColor(), clBlue);
            EXPECT_TRUE(g->PaletteRealize());
            EXPECT_FALSE(g->TwoColors());
            EXPECT_EQ(g->Colors().size(), 3u);
        });
    return rows;
}

std::vector<TRow> ComponentRows() {
    std::vector<TRow> rows;
    using I = TStyIniCtrl;
    rows.push_back(Row<I>("TStyIniCtrl",
                          {"About = 'x'", "Common = False", "NetUser = False", "IniFile = 'store'",
                           "User = 'me'", "IniPrefix = ppProgram", "RegRoot = rpLocalMachine",
                           "RegPath = 'Software\\Sty'", "AlphaCounter = True", "MaxEntries = 9",
                           "Target = itIniFile", "EncKey = 77", "Encoded = True"},
                          [](I* i, TRowsForm*) {
                              EXPECT_EQ(i->About, "x");
                              EXPECT_FALSE(i->Common);
                              EXPECT_FALSE(i->NetUser());
                              EXPECT_EQ(i->IniFile(), "store.INI");
                              EXPECT_EQ(i->User, "me");
                              EXPECT_EQ(i->IniPrefix, ppProgram);
                              EXPECT_EQ(i->RegRoot, rpLocalMachine);
                              EXPECT_EQ(i->RegPath, "Software\\Sty");
                              EXPECT_TRUE(i->AlphaCounter());
                              EXPECT_EQ(i->MaxEntries(), 9);
                              EXPECT_EQ(i->Target(), itIniFile);
                              EXPECT_EQ(i->EncKey, 77);
                              EXPECT_TRUE(i->Encoded);
                          }));
    rows.push_back(Row<TStyXPThemeManager>("TStyXPThemeManager", {"About = 'x'", "Enabled = False"},
                                           [](TStyXPThemeManager* m, TRowsForm*) {
                                               EXPECT_EQ(m->About, "x");
                                               EXPECT_FALSE(m->Enabled());
                                           }));
    for (const char* list : {"TStyBitmapList", "TStyImageList"})
        rows.push_back(Row<TStyCustomImageList>(
            list, {"DefaultCompressed = True", "DefaultPixelFormat = spf8bit"},
            [](TStyCustomImageList* l, TRowsForm*) {
                EXPECT_TRUE(l->DefaultCompressed);
                EXPECT_EQ(l->DefaultPixelFormat, spf8bit);
            }));
    for (const char* list : {"TStyStringList", "TStyWaveList"})
        rows.push_back(Row<TStyCustomContainer>(
            list, {"DefaultCompressed = True"},
            [](TStyCustomContainer* l, TRowsForm*) { EXPECT_TRUE(l->DefaultCompressed); }));
    using BI = TStyBitmapListItem;
    rows.push_back(
        Row<BI>("TStyBitmapListItem",
                {"Description = 'd'", "Ident = 7", "Compressed = True", "PixelFormat = spfMono",
                 "Bitmap.Data = " + Hex(BitmapData(4, 4, 0xFFFFFF))},
                [](BI* i, TRowsForm*) {
                    EXPECT_EQ(i->Description(), "d");
                    EXPECT_EQ(i->Ident(), 7);
                    EXPECT_TRUE(i->Compressed());
                    EXPECT_EQ(i->PixelFormat, spfMono);
                    EXPECT_EQ(i->Bitmap()->Width(), 4);
                }));
    using II = TStyImageListItem;
    rows.push_back(Row<II>(
        "TStyImageListItem",
        {"Width = 8", "Height = 6", "AllocBy = 2", "Masked = True", "PixelFormat = spf4bit"},
        [](II* i, TRowsForm*) {
            EXPECT_EQ(i->Width(), 8);
            EXPECT_EQ(i->Height(), 6);
            EXPECT_EQ(i->AllocBy, 2);
            EXPECT_TRUE(i->Masked());
            EXPECT_EQ(i->PixelFormat, spf4bit);
        }));
    // Items as their own stored record holds them.
    TStyBitmapListItem bitmapItem(nullptr);
    bitmapItem.Bitmap()->SetSize(3, 5);
    TStyPropertyWriter bitmapRecord;
    bitmapItem.DefineProperties(bitmapRecord);
    rows.push_back(Row<BI>("TStyBitmapListItem",
                           {"Internal = " + Hex(bitmapRecord.Find("Internal")->s)},
                           [](BI* i, TRowsForm*) { EXPECT_EQ(i->Bitmap()->Height(), 5); }));
    TStyImageListItem imageItem(nullptr, 4, 4);
    TBitmap strip;
    strip.SetSize(8, 4);
    imageItem.Add(&strip, nullptr);
    TStyPropertyWriter imageRecord;
    imageItem.DefineProperties(imageRecord);
    rows.push_back(Row<II>("TStyImageListItem",
                           {"Bitmap = " + Hex(imageRecord.Find("Internal")->s)},
                           [](II* i, TRowsForm*) { EXPECT_EQ(i->Count(), 2); }));
    using SI = TStyStringListItem;
    rows.push_back(Row<SI>("TStyStringListItem", {"Items.Strings = ('a' 'b')"},
                           [](SI* i, TRowsForm*) { EXPECT_EQ(i->Items()->Count(), 2); }));
    return rows;
}

std::vector<TRow> AllRows() {
    std::vector<TRow> rows;
    for (auto part : {ButtonRows(), ProgressRows(), FormShapeRows(), ComponentRows()})
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

}  // namespace

TEST(StyPublished, EveryRowArrives) {
    for (const TRow& row : AllRows()) published::ReadRow<TStyRowsForm>(row);
}

// A property registered for a streamable class (or one of its sub-objects) but read by no
// row would escape the rows above.
TEST(StyPublished, EveryRegisteredPropertyHasARow) {
    const auto reached = published::Reached(AllRows());
    for (const char* cls : {"TStyCustomButton",    "TStyButton",          "TStyCustomProgress",
                            "TStyProgress",        "TStyFormShape",       "TStyWndProcComponent",
                            "TStyCustomComponent", "TStyIniCtrl",         "TSty3DCaption",
                            "TStyFxCaption",       "TStyGlyphTextLayout", "TStyButtonLayout",
                            "TStyGradient",        "TStyShapeFill",       "TStyFillObject",
                            "TStyShadow",          "TStyRgnShadow",       "TStyRegionMask",
                            "TStyRegionBorder",    "TStyRegion",          "TStyBorderRegion",
                            "TStyBevel",           "TStySmallBar",        "TStyListItem",
                            "TStyBitmapListItem",  "TStyImageListItem",   "TStyStringListItem",
                            "TStyCustomImageList", "TSizeConstraints",    "TBrush"})
        for (const std::string& missing : published::Unread(cls, reached))
            ADD_FAILURE() << missing << " is read by no row";
}

TEST(StyPublished, AnUnknownNameIsReportedAsBefore) {
    TStyRowsForm form(nullptr);
    for (const char* line : {"FillObject.Tilemode2 = tmNone", "Font3D.Nothing = 1",
                             "Region.Mask.Nothing = 1", "ImageList.Count = 1"}) {
        SCOPED_TRACE(line);
        const std::string text =
            std::string("object F: TStyRowsForm\n  object P: TStyFormShape\n    ") + line +
            "\n  end\nend\n";
        TStyRowsForm f(nullptr);
        try {
            ReadForm(&f, text);
            ADD_FAILURE() << "read";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message.find("does not exist"), std::string::npos) << e.Message;
        }
    }
}

TEST(StyPublished, AReferenceToAnUnknownOrWrongComponentFails) {
    for (const char* target : {"Missing", "PopupMenu1"}) {
        SCOPED_TRACE(target);
        TStyRowsForm f(nullptr);
        const std::string text = std::string(
                                     "object F: TStyRowsForm\n  object B: TStyButton\n"
                                     "    ImageList = ") +
                                 target + "\n  end\n" + kTargets + "end\n";
        EXPECT_THROW(ReadForm(&f, text), EReadError);
    }
}

// Sub-objects read from a form hold what a form set up in code holds; bitmaps stored by the
// region mask are written back as they were read.
TEST(StyPublished, SubObjectsRoundTrip) {
    TStyRowsForm form(nullptr);
    TStyRegionMask source;
    source.BorderUpBmp()->SetSize(9, 5);
    source.BorderDnBmp()->SetSize(3, 8);
    source.Compressed = true;
    TStyPropertyWriter stored;
    source.DefineProperties(stored);
    const std::string up = stored.Find("BorderUpBmp")->s, dn = stored.Find("BorderDnBmp")->s;
    ReadForm(&form,
             "object F: TStyRowsForm\n"
             "  object Shape: TStyFormShape\n"
             "    FillObject.Style = sfBrush\n"
             "    FillObject.Brush.Color = clLime\n"
             "    FillObject.Brush.Style = bsClear\n"
             "    FillObject.Gradient.EndColor = clRed\n"
             "    Region.Mask.BorderUpBmp = " +
                 Hex(up) + "\n    Region.Mask.BorderDnBmp = " + Hex(dn) +
                 "\n  end\n"
                 "  object Bar: TStyProgress\n"
                 "    Font3D.Style = tdOutline\n"
                 "    Font3D.LightColor = clAqua\n"
                 "  end\n"
                 "end\n");
    auto* shape = static_cast<TStyFormShape*>(form.FindComponent("Shape"));
    TStyFillObject expected;
    expected.SetStyle(sfBrush);
    expected.Brush()->Color = clLime;
    expected.Brush()->Style = bsClear;
    expected.Gradient()->SetEndColor(clRed);
    EXPECT_EQ(shape->FillObject()->GetDescription(), expected.GetDescription());
    EXPECT_EQ(TColor(shape->FillObject()->Brush()->Color), TColor(expected.Brush()->Color));
    EXPECT_EQ(shape->FillObject()->Gradient()->EndColor(), clRed);
    // Assigned on to another fill object, the values stay.
    TStyFillObject copy;
    copy.Assign(shape->FillObject());
    EXPECT_EQ(TColor(copy.Brush()->Color), clLime);
    EXPECT_EQ(TBrushStyle(copy.Brush()->Style), bsClear);

    TStyPropertyWriter back;
    shape->Region()->Mask()->DefineProperties(back);
    ASSERT_NE(back.Find("BorderUpBmp"), nullptr);
    EXPECT_EQ(back.Find("BorderUpBmp")->s, up);
    EXPECT_EQ(back.Find("BorderDnBmp")->s, dn);
    EXPECT_TRUE(shape->Region()->Mask()->Compressed);

    auto* bar = static_cast<TStyProgress*>(form.FindComponent("Bar"));
    TSty3DCaption font;
    font.SetStyle(tdOutline);
    font.SetLightColor(clAqua);
    EXPECT_EQ(bar->Font3D()->GetDescription(), font.GetDescription());
    EXPECT_EQ(bar->Font3D()->LightColor(), clAqua);
}
