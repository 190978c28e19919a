// "Word.Application" on the office's word processor. A document opened from a file lives
// in the office; a new document (Documents.Add) is kept here as pages of pictures, as the
// calls build it, and goes to the office when it is printed.
#include <algorithm>
#include <cmath>

#include "platform/automation/picturePdf.h"
#include "platform/automation/psPrinter.h"
#include "platform/automation/servers.h"
#include "platform/rtl/passedErrors.h"

namespace office {

namespace {

// Word's shape position that centres a shape.
constexpr double kShapeCenter = -999995;

struct Picture {
    std::string file;
    double width = 0, height = 0;  // points
    double left = 0, top = 0;
    int relH = 0, relV = 0;  // 0 margin, 1 page, ...
    bool allowOverlap = true;
    int wrapSide = 0, wrapType = 0;
};
using PicturePtr = std::shared_ptr<Picture>;

class WordApp;

class WordDocument : public TServerObject {
public:
    WordDocument(const std::shared_ptr<WordApp>& app, SessionPtr session, int officeId)
        : TServerObject("Document"), id_(officeId), app_(app), session_(std::move(session)) {
        if (id_ == 0) sections_.emplace_back();
    }
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override;

    bool built() const { return id_ == 0; }
    Session& session();
    // The built document's pages and the selection in it (a section index).
    std::vector<std::vector<PicturePtr>> sections_;
    size_t cursor_ = 0;
    // Page set-up of the built document (points), A4 with Word's margins.
    double width_ = 595.3, height_ = 841.9;
    double top_ = 72, bottom_ = 72, left_ = 90, right_ = 90;
    bool landscapeSet_ = false;
    bool saved_ = true;
    int id_;
    // The application keeps its documents; a document only looks back at it.
    std::weak_ptr<WordApp> app_;
    SessionPtr session_;
    std::shared_ptr<WordApp> app();

    void close();
    void pageSize(double& w, double& h);
    void setOrientation(int o);
    OleVariant printOut(const std::vector<OleVariant>& args);
};

class WordApp : public TServerObject {
public:
    WordApp() : TServerObject("Word.Application"), session_(NewSession()) {
        activePrinter_ = DefaultPrinterName();
    }
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override;

    std::shared_ptr<WordApp> self() {
        return std::static_pointer_cast<WordApp>(shared_from_this());
    }
    std::shared_ptr<WordDocument> active() {
        if (docs_.empty()) throw EOleError("此命令无效，因为没有打开的文档");
        return docs_.back();
    }
    SessionPtr session_;
    std::vector<std::shared_ptr<WordDocument>> docs_;
    std::string activePrinter_;
};

Session& WordDocument::session() { return *session_; }

std::shared_ptr<WordApp> WordDocument::app() {
    auto a = app_.lock();
    if (!a) throw EOleError("应用程序已经退出");
    return a;
}

class WordDocuments : public TServerObject {
public:
    explicit WordDocuments(std::shared_ptr<WordApp> app)
        : TServerObject("Documents"), app_(std::move(app)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override {
        if (Is(m, "Count")) return OleVariant(int(app_->docs_.size()));
        if (Is(m, "Open")) {
            // FileName, ConfirmConversions, ReadOnly, AddToRecentFiles, PasswordDocument,
            // PasswordTemplate, Revert, WritePasswordDocument, WritePasswordTemplate, Format
            std::string file = Arg(args, 0).AsString();
            bool readOnly = Arg(args, 2).IsMissing() ? false : Arg(args, 2).AsBool();
            long long id = app_->session_
                               ->Command("{\"op\":\"load\",\"path\":" + Json(file) +
                                         ",\"readonly\":" + Json(readOnly) + ",\"kind\":\"text\"}")
                               .AsInt();
            auto doc = std::make_shared<WordDocument>(app_, app_->session_, int(id));
            app_->docs_.push_back(doc);
            return Obj(doc);
        }
        if (Is(m, "Add")) {
            // Template, NewTemplate, DocumentType (0 a blank document), Visible
            if (!Arg(args, 2).IsMissing() && Arg(args, 2).AsInt() != 0)
                throw EOleError("不支持的文档类型");
            auto doc = std::make_shared<WordDocument>(app_, app_->session_, 0);
            app_->docs_.push_back(doc);
            return Obj(doc);
        }
        UnknownMember(m);
    }
    std::shared_ptr<WordApp> app_;
};

class WordPageSetup : public TServerObject {
public:
    explicit WordPageSetup(std::shared_ptr<WordDocument> doc)
        : TServerObject("PageSetup"), doc_(std::move(doc)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        WordDocument& d = *doc_;
        bool put = kind == TInvokeKind::PropertyPut;
        if (Is(m, "Orientation")) {
            if (put) {
                d.setOrientation(int(PutValue(args).AsInt()));
                return OleVariant();
            }
            double w, h;
            d.pageSize(w, h);
            return OleVariant(w > h ? 1 : 0);
        }
        if (Is(m, "PageWidth") || Is(m, "PageHeight")) {
            bool isWidth = Is(m, "PageWidth");
            if (put) {
                if (!d.built()) throw EOleError("此文档的页面大小不能在这里更改");
                double v = PutValue(args).AsDouble();
                if (v < 8 || v > 1584) throw EOleError("值超出允许范围");
                (isWidth ? d.width_ : d.height_) = v;
                return OleVariant();
            }
            double w, h;
            d.pageSize(w, h);
            return OleVariant(isWidth ? w : h);
        }
        double* margin = Is(m, "TopMargin")      ? &d.top_
                         : Is(m, "BottomMargin") ? &d.bottom_
                         : Is(m, "LeftMargin")   ? &d.left_
                         : Is(m, "RightMargin")  ? &d.right_
                                                 : nullptr;
        if (margin) {
            if (!put) return OleVariant(*margin);
            if (!d.built()) throw EOleError("此文档的页边距不能在这里更改");
            double v = PutValue(args).AsDouble();
            if (v < 0) throw EOleError("值超出允许范围");
            *margin = v;
            return OleVariant();
        }
        UnknownMember(m);
    }
    std::shared_ptr<WordDocument> doc_;
};

class WordWrapFormat : public TServerObject {
public:
    explicit WordWrapFormat(PicturePtr p) : TServerObject("WrapFormat"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        bool put = kind == TInvokeKind::PropertyPut;
        if (Is(m, "AllowOverlap")) {
            if (put) p_->allowOverlap = PutValue(args).AsBool();
            return put ? OleVariant() : OleVariant(p_->allowOverlap);
        }
        if (Is(m, "Side")) {
            if (put) p_->wrapSide = int(PutValue(args).AsInt());
            return put ? OleVariant() : OleVariant(p_->wrapSide);
        }
        if (Is(m, "Type")) {
            if (put) p_->wrapType = int(PutValue(args).AsInt());
            return put ? OleVariant() : OleVariant(p_->wrapType);
        }
        UnknownMember(m);
    }
    PicturePtr p_;
};

class WordShape : public TServerObject {
public:
    explicit WordShape(PicturePtr p) : TServerObject("Shape"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        bool put = kind == TInvokeKind::PropertyPut;
        if (Is(m, "WrapFormat")) return Obj(std::make_shared<WordWrapFormat>(p_));
        struct {
            const char* name;
            double* d;
            int* i;
        } props[] = {{"Left", &p_->left, nullptr},
                     {"Top", &p_->top, nullptr},
                     {"Width", &p_->width, nullptr},
                     {"Height", &p_->height, nullptr},
                     {"RelativeHorizontalPosition", nullptr, &p_->relH},
                     {"RelativeVerticalPosition", nullptr, &p_->relV}};
        for (auto& p : props) {
            if (!Is(m, p.name)) continue;
            if (!put) return p.d ? OleVariant(*p.d) : OleVariant(*p.i);
            if (p.d)
                *p.d = PutValue(args).AsDouble();
            else
                *p.i = int(PutValue(args).AsInt());
            return OleVariant();
        }
        UnknownMember(m);
    }
    PicturePtr p_;
};

class WordShapes : public TServerObject {
public:
    explicit WordShapes(std::shared_ptr<WordDocument> doc)
        : TServerObject("Shapes"), doc_(std::move(doc)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override {
        WordDocument& d = *doc_;
        if (Is(m, "Count")) {
            int n = 0;
            for (auto& s : d.sections_) n += int(s.size());
            return OleVariant(n);
        }
        if (Is(m, "AddPicture")) {
            // FileName, LinkToFile, SaveWithDocument, Left, Top, Width, Height, Anchor
            if (!d.built()) throw EOleError("此文档不能在这里插入图片");
            auto p = std::make_shared<Picture>();
            p->file = Arg(args, 0).AsString();
            int w, h;
            double dx, dy;
            BitmapInfo(p->file, w, h, dx, dy);
            p->width = Arg(args, 5).IsMissing() ? w * 72.0 / dx : Arg(args, 5).AsDouble();
            p->height = Arg(args, 6).IsMissing() ? h * 72.0 / dy : Arg(args, 6).AsDouble();
            p->left = Arg(args, 3).IsMissing() ? 0 : Arg(args, 3).AsDouble();
            p->top = Arg(args, 4).IsMissing() ? 0 : Arg(args, 4).AsDouble();
            d.sections_[d.cursor_].push_back(p);
            d.saved_ = false;
            return Obj(std::make_shared<WordShape>(p));
        }
        UnknownMember(m);
    }
    std::shared_ptr<WordDocument> doc_;
};

class WordSelection : public TServerObject {
public:
    explicit WordSelection(std::shared_ptr<WordApp> app)
        : TServerObject("Selection"), app_(std::move(app)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override {
        auto doc = app_->active();
        if (!doc->built()) throw EOleError("此文档的选定内容不能在这里更改");
        if (Is(m, "HomeKey")) {
            // Unit 6: the start of the document.
            long long unit = Arg(args, 0).IsMissing() ? 5 : Arg(args, 0).AsInt();
            if (unit != 6) throw EOleError("不支持的单位");
            doc->cursor_ = 0;
            return OleVariant(0);
        }
        if (Is(m, "InsertBreak")) {
            // Type 2 (section break, next page) or 7 (page break): the text from the
            // selection on begins a new page; the selection stays in front of it.
            long long type = Arg(args, 0).IsMissing() ? 7 : Arg(args, 0).AsInt();
            if (type != 2 && type != 7) throw EOleError("不支持的分隔符类型");
            auto& s = doc->sections_;
            s.insert(s.begin() + long(doc->cursor_), std::vector<PicturePtr>{});
            doc->cursor_ += 1;
            doc->saved_ = false;
            return OleVariant();
        }
        UnknownMember(m);
    }
    std::shared_ptr<WordApp> app_;
};

void WordDocument::pageSize(double& w, double& h) {
    if (built()) {
        w = width_;
        h = height_;
        return;
    }
    OleVariant r =
        session().Command("{\"op\":\"writer_pagesetup\",\"id\":" + Json((long long)id_) + "}");
    w = r.AsArray().at(0).AsDouble();
    h = r.AsArray().at(1).AsDouble();
}

void WordDocument::setOrientation(int o) {
    if (o != 0 && o != 1) throw EOleError("值超出允许范围");
    landscapeSet_ = o == 1;
    saved_ = false;
    if (built()) {
        if ((width_ > height_) != (o == 1)) std::swap(width_, height_);
        return;
    }
    session().Command("{\"op\":\"writer_orientation\",\"id\":" + Json((long long)id_) +
                      ",\"landscape\":" + Json(o == 1) + "}");
}

void WordDocument::close() {
    if (!built()) session().Command("{\"op\":\"close\",\"id\":" + Json((long long)id_) + "}");
    auto owner = app_.lock();
    if (!owner) return;
    auto& docs = owner->docs_;
    for (auto it = docs.begin(); it != docs.end(); ++it)
        if (it->get() == this) {
            docs.erase(it);
            break;
        }
}

OleVariant WordDocument::printOut(const std::vector<OleVariant>& a) {
    // Background, Append, Range, OutputFileName, From, To, Item, Copies, Pages, PageType,
    // PrintToFile, Collate, FileName, ActivePrinterMacGX, PrintZoomColumn, PrintZoomRow,
    // PrintZoomPaperWidth, PrintZoomPaperHeight (twips)
    const std::string printer = app()->activePrinter_;
    if (!IsPostScriptPrinter(printer)) throw EOleError("打印机 \"" + printer + "\" 不能使用");
    bool toFile = !Arg(a, 10).IsMissing() && Arg(a, 10).AsBool();
    std::string file = Arg(a, 3).IsMissing() ? "" : Arg(a, 3).AsString();
    if (!toFile || file.empty()) throw EOleError("打印机的端口是文件: 请给出输出文件名");
    if (!Arg(a, 6).IsMissing() && Arg(a, 6).AsInt() != 0) throw EOleError("只能打印文档内容");
    long long range = Arg(a, 2).IsMissing() ? 0 : Arg(a, 2).AsInt();
    std::string pages;
    if (range == 4) {
        pages = OfficePageRange(Arg(a, 8).AsString());
    } else if (range == 3) {
        long long from = Arg(a, 4).AsInt(), to = Arg(a, 5).AsInt();
        pages = OfficePageRange(std::to_string(from) + "-" + std::to_string(to));
    } else if (range != 0) {
        throw EOleError("不支持的打印范围");
    }
    PrintJob job;
    job.file = file;
    job.landscapeJob = landscapeSet_;
    job.columns = Arg(a, 14).IsMissing() ? 1 : int(Arg(a, 14).AsInt());
    job.rows = Arg(a, 15).IsMissing() ? 1 : int(Arg(a, 15).AsInt());
    if (job.columns < 1 || job.rows < 1 || job.columns > 8 || job.rows > 8)
        throw EOleError("每张纸的页数无效");
    if (!Arg(a, 16).IsMissing()) job.sheetWidth = Arg(a, 16).AsDouble() / 20.0;
    if (!Arg(a, 17).IsMissing()) job.sheetHeight = Arg(a, 17).AsDouble() / 20.0;
    job.pdf = session().NewWorkFile(".pdf");
    if (built()) {
        std::string list;
        // Where each picture lies on its page, for the office or for this process.
        std::vector<std::vector<PlacedPicture>> placed;
        bool own = true;
        for (auto& section : sections_) {
            std::string pics;
            placed.emplace_back();
            for (auto& p : section) {
                // The picture keeps its size unless it is larger than the page: then it
                // is made smaller to fit, keeping its proportions.
                double w = p->width, h = p->height;
                double scale = std::min({1.0, width_ / w, height_ / h});
                w *= scale;
                h *= scale;
                double left = p->left + (p->relH == 1 ? 0 : left_);
                double top = p->top + (p->relV == 1 ? 0 : top_);
                double hc = p->left == kShapeCenter, vc = p->top == kShapeCenter;
                if (hc && p->relH != 1) {  // centred between the margins
                    left = left_ + (width_ - left_ - right_ - w) / 2;
                    hc = false;
                }
                if (vc && p->relV != 1) {
                    top = top_ + (height_ - top_ - bottom_ - h) / 2;
                    vc = false;
                }
                pics += std::string(pics.empty() ? "" : ",") + "{\"file\":" + Json(p->file) +
                        ",\"left\":" + Json(left) + ",\"top\":" + Json(top) +
                        ",\"width\":" + Json(w) + ",\"height\":" + Json(h) +
                        ",\"hcenter\":" + Json(bool(hc)) + ",\"vcenter\":" + Json(bool(vc)) + "}";
                placed.back().push_back(
                    {p->file, hc ? (width_ - w) / 2 : left, vc ? (height_ - h) / 2 : top, w, h});
                own = own && PdfTakesPicture(p->file);
            }
            list += std::string(list.empty() ? "" : ",") + "[" + pics + "]";
        }
        // Bitmaps are laid out here, read row by row: the office holds each picture whole
        // and refuses large ones.
        if (own) {
            WritePicturePdf(job.pdf, width_, height_, placed);
            job.textless = true;
        } else {
            session().Command("{\"op\":\"writer_pictures\",\"path\":" + Json(job.pdf) +
                              ",\"page\":{\"width\":" + Json(width_) +
                              ",\"height\":" + Json(height_) + ",\"top\":" + Json(top_) +
                              ",\"bottom\":" + Json(bottom_) + ",\"left\":" + Json(left_) +
                              ",\"right\":" + Json(right_) + "},\"pages\":[" + list + "]}");
        }
    } else {
        std::string req = "{\"op\":\"export_pdf\",\"id\":" + Json((long long)id_) +
                          ",\"filter\":\"writer_pdf_Export\"";
        if (pages.empty()) {
            session().Command(req + ",\"path\":" + Json(job.pdf) + "}");
        } else {
            // A range beyond the document's pages makes the office fail without a word, or
            // write no page: the whole document says how many pages there are.
            try {
                session().Command(req + ",\"path\":" + Json(job.pdf) + ",\"pages\":" + Json(pages) +
                                  "}");
                if (!PdfPageSizes(job.pdf).empty()) pages.clear();
            } catch (const EOleError& e) {
                // A message of ours (a step cut, the office gone) is the reason itself.
                const std::string said = e.what();
                if (std::any_of(said.begin(), said.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
                    throw;
                LogPassedError("page range", said);
            }
            if (!pages.empty()) {
                const std::string whole = session().NewWorkFile(".pdf");
                session().Command(req + ",\"path\":" + Json(whole) + "}");
                throw EPageRangeBeyond(pages, whole);
            }
        }
    }
    PrintToFile(job);
    session().PrintDone();
    return OleVariant();
}

OleVariant WordDocument::Invoke(const std::string& m, TInvokeKind kind,
                                const std::vector<OleVariant>& args) {
    auto me = std::static_pointer_cast<WordDocument>(shared_from_this());
    if (Is(m, "PageSetup")) return Obj(std::make_shared<WordPageSetup>(me));
    if (Is(m, "Shapes")) return Obj(std::make_shared<WordShapes>(me));
    if (Is(m, "PrintOut")) return printOut(args);
    if (Is(m, "Saved")) {
        if (kind == TInvokeKind::PropertyPut) {
            saved_ = PutValue(args).AsBool();
            return OleVariant();
        }
        return OleVariant(saved_);
    }
    if (Is(m, "Close")) {
        // SaveChanges: 0 do not save; nothing is ever written back here.
        close();
        return OleVariant();
    }
    UnknownMember(m);
}

OleVariant WordApp::Invoke(const std::string& m, TInvokeKind kind,
                           const std::vector<OleVariant>& args) {
    if (Is(m, "Documents")) return Obj(std::make_shared<WordDocuments>(self()));
    if (Is(m, "ActiveDocument")) return Obj(active());
    if (Is(m, "Selection")) return Obj(std::make_shared<WordSelection>(self()));
    if (Is(m, "ActivePrinter")) {
        if (kind != TInvokeKind::PropertyPut)
            return OleVariant(IsPostScriptPrinter(activePrinter_) ? PrinterDisplayName()
                                                                  : activePrinter_);
        std::string name = PutValue(args).AsString();
        if (!IsPostScriptPrinter(name)) throw EOleError("打印机 \"" + name + "\" 不存在");
        activePrinter_ = name;
        return OleVariant();
    }
    if (Is(m, "Quit")) {
        docs_.clear();
        session_->Quit();
        return OleVariant();
    }
    if (Is(m, "Visible"))
        return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(false);
    UnknownMember(m);
}

}  // namespace

std::shared_ptr<TAutoObject> CreateWordServer() { return std::make_shared<WordApp>(); }

}  // namespace office
