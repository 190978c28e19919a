// "PowerPoint.Application" on the office's presentation program. An opened presentation
// lives in the office; a new one (Presentations.Add) is kept here as slides of pictures
// and goes to the office when it is saved.
#include "platform/automation/psPrinter.h"
#include "platform/automation/servers.h"

namespace office {

namespace {

struct SlidePicture {
    std::string file;
    double left, top, width, height;
};

struct Pres {
    SessionPtr session;
    int id = 0;                        // 0: a new presentation kept here
    double width = 720, height = 540;  // a new presentation's slides (points)
    std::vector<std::vector<SlidePicture>> slides;
    bool landscapeSet = false;
    bool saved = true;
    std::string printer;
    bool background = true;
};
using PresPtr = std::shared_ptr<Pres>;

void slideSize(Pres& p, double& w, double& h) {
    if (p.id == 0) {
        w = p.width;
        h = p.height;
        return;
    }
    OleVariant r =
        p.session->Command("{\"op\":\"impress_size\",\"id\":" + Json((long long)p.id) + "}");
    w = r.AsArray().at(0).AsDouble();
    h = r.AsArray().at(1).AsDouble();
}

class PptPageSetup : public TServerObject {
public:
    explicit PptPageSetup(PresPtr p) : TServerObject("PageSetup"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        Pres& p = *p_;
        bool put = kind == TInvokeKind::PropertyPut;
        if (Is(m, "SlideOrientation")) {
            double w, h;
            if (!put) {
                slideSize(p, w, h);
                return OleVariant(w >= h ? 1 : 2);  // 1 horizontal, 2 vertical
            }
            long long o = PutValue(args).AsInt();
            if (o != 1 && o != 2) throw EOleError("值超出允许范围");
            p.landscapeSet = o == 1;
            p.saved = false;
            if (p.id == 0) {
                if ((p.width > p.height) != (o == 1)) std::swap(p.width, p.height);
            } else {
                p.session->Command("{\"op\":\"impress_orientation\",\"id\":" +
                                   Json((long long)p.id) + ",\"landscape\":" + Json(o == 1) + "}");
            }
            return OleVariant();
        }
        if (Is(m, "SlideWidth") || Is(m, "SlideHeight")) {
            bool isWidth = Is(m, "SlideWidth");
            if (put) {
                if (p.id != 0) throw EOleError("此演示文稿的幻灯片大小不能在这里更改");
                double v = PutValue(args).AsDouble();
                if (v < 72 || v > 4032) throw EOleError("值超出允许范围");
                (isWidth ? p.width : p.height) = v;
                return OleVariant();
            }
            double w, h;
            slideSize(p, w, h);
            return OleVariant(isWidth ? w : h);
        }
        UnknownMember(m);
    }
    PresPtr p_;
};

class PptShapes : public TServerObject {
public:
    PptShapes(PresPtr p, size_t slide) : TServerObject("Shapes"), p_(std::move(p)), slide_(slide) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override {
        auto& pics = p_->slides.at(slide_);
        if (Is(m, "Count")) return OleVariant(int(pics.size()));
        if (Is(m, "AddPicture")) {
            // FileName, LinkToFile, SaveWithDocument, Left, Top, Width, Height
            if (!Arg(args, 1).IsMissing() && Arg(args, 1).AsBool())
                throw EOleError("不支持链接的图片");
            SlidePicture sp;
            sp.file = Arg(args, 0).AsString();
            int w, h;
            double dx, dy;
            BitmapInfo(sp.file, w, h, dx, dy);
            sp.left = Arg(args, 3).AsDouble();
            sp.top = Arg(args, 4).AsDouble();
            sp.width = Arg(args, 5).IsMissing() ? w * 72.0 / dx : Arg(args, 5).AsDouble();
            sp.height = Arg(args, 6).IsMissing() ? h * 72.0 / dy : Arg(args, 6).AsDouble();
            pics.push_back(sp);
            p_->saved = false;
            return OleVariant();
        }
        UnknownMember(m);
    }
    PresPtr p_;
    size_t slide_;
};

class PptSlide : public TServerObject {
public:
    PptSlide(PresPtr p, size_t i) : TServerObject("Slide"), p_(std::move(p)), i_(i) {}
    OleVariant Invoke(const std::string& m, TInvokeKind, const std::vector<OleVariant>&) override {
        if (Is(m, "Shapes")) return Obj(std::make_shared<PptShapes>(p_, i_));
        if (Is(m, "SlideIndex")) return OleVariant(int(i_ + 1));
        UnknownMember(m);
    }
    PresPtr p_;
    size_t i_;
};

class PptSlides : public TServerObject {
public:
    explicit PptSlides(PresPtr p) : TServerObject("Slides"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override {
        Pres& p = *p_;
        if (p.id != 0) throw EOleError("此演示文稿的幻灯片不能在这里更改");
        if (Is(m, "Count")) return OleVariant(int(p.slides.size()));
        if (Is(m, "Add")) {
            // Index, Layout (12: blank)
            long long index = Arg(args, 0).AsInt();
            long long layout = Arg(args, 1).AsInt();
            if (index < 1 || index > (long long)p.slides.size() + 1)
                throw EOleError("索引超出范围");
            if (layout != 12) throw EOleError("不支持的幻灯片版式");
            p.slides.insert(p.slides.begin() + (index - 1), std::vector<SlidePicture>{});
            p.saved = false;
            return Obj(std::make_shared<PptSlide>(p_, size_t(index - 1)));
        }
        if (Is(m, "Item")) {
            long long index = Arg(args, 0).AsInt();
            if (index < 1 || index > (long long)p.slides.size()) throw EOleError("索引超出范围");
            return Obj(std::make_shared<PptSlide>(p_, size_t(index - 1)));
        }
        UnknownMember(m);
    }
    PresPtr p_;
};

class PptPrintOptions : public TServerObject {
public:
    explicit PptPrintOptions(PresPtr p) : TServerObject("PrintOptions"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        bool put = kind == TInvokeKind::PropertyPut;
        if (Is(m, "ActivePrinter")) {
            if (!put)
                return OleVariant(IsPostScriptPrinter(p_->printer) ? PrinterDisplayName()
                                                                   : p_->printer);
            std::string name = PutValue(args).AsString();
            if (!IsPostScriptPrinter(name)) throw EOleError("打印机 \"" + name + "\" 不存在");
            p_->printer = name;
            return OleVariant();
        }
        if (Is(m, "PrintInBackground")) {
            if (put) p_->background = PutValue(args).AsBool();
            return put ? OleVariant() : OleVariant(p_->background);
        }
        UnknownMember(m);
    }
    PresPtr p_;
};

class PptPresentation : public TServerObject {
public:
    explicit PptPresentation(PresPtr p) : TServerObject("Presentation"), p_(std::move(p)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        Pres& p = *p_;
        if (Is(m, "PageSetup")) return Obj(std::make_shared<PptPageSetup>(p_));
        if (Is(m, "Slides")) return Obj(std::make_shared<PptSlides>(p_));
        if (Is(m, "PrintOptions")) return Obj(std::make_shared<PptPrintOptions>(p_));
        if (Is(m, "Saved")) {
            if (kind == TInvokeKind::PropertyPut) p.saved = PutValue(args).AsBool();
            return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(p.saved);
        }
        if (Is(m, "PrintOut")) {
            // From, To, PrintToFile, Copies, Collate
            if (p.id == 0) throw EOleError("此演示文稿不能在这里打印");
            if (!IsPostScriptPrinter(p.printer))
                throw EOleError("打印机 \"" + p.printer + "\" 不能使用");
            std::string file = Arg(args, 2).IsMissing() ? "" : Arg(args, 2).AsString();
            if (file.empty()) throw EOleError("打印机的端口是文件: 请给出输出文件名");
            std::string pages;
            if (!Arg(args, 0).IsMissing() || !Arg(args, 1).IsMissing())
                pages = OfficePageRange((Arg(args, 0).IsMissing() ? "1" : Arg(args, 0).AsString()) +
                                        "-" +
                                        (Arg(args, 1).IsMissing() ? "" : Arg(args, 1).AsString()));
            PrintJob job;
            job.file = file;
            job.landscapeJob = p.landscapeSet;
            job.pdf = p.session->NewWorkFile(".pdf");
            std::string req = "{\"op\":\"export_pdf\",\"id\":" + Json((long long)p.id) +
                              ",\"path\":" + Json(job.pdf) + ",\"filter\":\"impress_pdf_Export\"";
            if (!pages.empty()) req += ",\"pages\":" + Json(pages);
            p.session->Command(req + "}");
            PrintToFile(job);
            p.session->PrintDone();
            return OleVariant();
        }
        if (Is(m, "SaveAs")) {
            // FileName, FileFormat, EmbedTrueTypeFonts
            if (p.id != 0) throw EOleError("此演示文稿不能在这里保存");
            if (!Arg(args, 1).IsMissing() && Arg(args, 1).AsInt() != 1 &&
                Arg(args, 1).AsInt() != 11)
                throw EOleError("不支持的文件格式");
            std::string slides;
            for (auto& s : p.slides) {
                std::string pics;
                for (auto& q : s)
                    pics += std::string(pics.empty() ? "" : ",") + "{\"file\":" + Json(q.file) +
                            ",\"left\":" + Json(q.left) + ",\"top\":" + Json(q.top) +
                            ",\"width\":" + Json(q.width) + ",\"height\":" + Json(q.height) + "}";
                slides += std::string(slides.empty() ? "" : ",") + "[" + pics + "]";
            }
            p.session->Command(
                "{\"op\":\"impress_build\",\"path\":" + Json(Arg(args, 0).AsString()) +
                ",\"slide\":{\"width\":" + Json(p.width) + ",\"height\":" + Json(p.height) +
                "},\"slides\":[" + slides + "]}");
            p.saved = true;
            return OleVariant();
        }
        if (Is(m, "Close")) {
            if (p.id != 0)
                p.session->Command("{\"op\":\"close\",\"id\":" + Json((long long)p.id) + "}");
            return OleVariant();
        }
        UnknownMember(m);
    }
    PresPtr p_;
};

class PptApp : public TServerObject {
public:
    PptApp() : TServerObject("PowerPoint.Application"), session_(NewSession()) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>&) override {
        if (Is(m, "Presentations")) {
            class Presentations : public TServerObject {
            public:
                explicit Presentations(SessionPtr s)
                    : TServerObject("Presentations"), s_(std::move(s)) {}
                OleVariant Invoke(const std::string& m, TInvokeKind,
                                  const std::vector<OleVariant>& args) override {
                    auto p = std::make_shared<Pres>();
                    p->session = s_;
                    p->printer = DefaultPrinterName();
                    if (Is(m, "Open")) {
                        // FileName, ReadOnly, Untitled, WithWindow
                        bool readOnly = !Arg(args, 1).IsMissing() && Arg(args, 1).AsBool();
                        p->id = int(s_->Command("{\"op\":\"load\",\"path\":" +
                                                Json(Arg(args, 0).AsString()) + ",\"readonly\":" +
                                                Json(readOnly) + ",\"kind\":\"presentation\"}")
                                        .AsInt());
                        return Obj(std::make_shared<PptPresentation>(p));
                    }
                    if (Is(m, "Add")) return Obj(std::make_shared<PptPresentation>(p));
                    UnknownMember(m);
                }
                SessionPtr s_;
            };
            return Obj(std::make_shared<Presentations>(session_));
        }
        if (Is(m, "Quit")) {
            session_->Quit();
            return OleVariant();
        }
        if (Is(m, "Visible"))
            return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(false);
        UnknownMember(m);
    }
    SessionPtr session_;
};

}  // namespace

std::shared_ptr<TAutoObject> CreatePowerPointServer() { return std::make_shared<PptApp>(); }

}  // namespace office
