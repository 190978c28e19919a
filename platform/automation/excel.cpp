// "Excel.Application" on the office's spreadsheet.
#include <algorithm>

#include "platform/automation/psPrinter.h"
#include "platform/automation/servers.h"

namespace office {

namespace {

struct Book {
    SessionPtr session;
    int id = 0;
    std::vector<std::string> names;
    std::vector<int> selected;  // 0-based
    int active = 0;
    bool landscapeSet = false;
    bool saved = true;
};
using BookPtr = std::shared_ptr<Book>;

class ExcelApp;

int sheetIndex(const Book& b, const OleVariant& v) {
    if (v.Type() == TVarType::String) {
        for (size_t i = 0; i < b.names.size(); ++i)
            if (SameText(b.names[i], v.AsString())) return int(i);
        throw EOleError("下标越界: " + v.AsString());
    }
    long long i = v.AsInt();
    if (i < 1 || i > (long long)b.names.size()) throw EOleError("下标越界");
    return int(i - 1);
}

class ExcelPageSetup : public TServerObject {
public:
    ExcelPageSetup(BookPtr b, int i) : TServerObject("PageSetup"), b_(std::move(b)), i_(i) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        if (Is(m, "Orientation")) {
            if (kind != TInvokeKind::PropertyPut) return OleVariant(orientation_);
            long long o = PutValue(args).AsInt();  // 1 portrait, 2 landscape
            if (o != 1 && o != 2) throw EOleError("无法设置 PageSetup 类的 Orientation 属性");
            b_->session->Command("{\"op\":\"calc_orientation\",\"id\":" + Json((long long)b_->id) +
                                 ",\"index\":" + Json((long long)i_) +
                                 ",\"landscape\":" + Json(o == 2) + "}");
            b_->landscapeSet = o == 2;
            orientation_ = int(o);
            return OleVariant();
        }
        UnknownMember(m);
    }
    BookPtr b_;
    int i_;
    int orientation_ = 1;
};

// One sheet, or several together (Sheets(array), SelectedSheets).
class ExcelSheets : public TServerObject {
public:
    ExcelSheets(std::weak_ptr<ExcelApp> app, BookPtr b, std::vector<int> which, bool collection)
        : TServerObject(collection ? "Sheets" : "Worksheet"),
          app_(std::move(app)),
          b_(std::move(b)),
          which_(std::move(which)),
          collection_(collection) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override;
    std::weak_ptr<ExcelApp> app_;
    BookPtr b_;
    std::vector<int> which_;
    bool collection_;
};

class ExcelApp : public TServerObject {
public:
    ExcelApp() : TServerObject("Excel.Application"), session_(NewSession()) {
        printer_ = DefaultPrinterName();
    }
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override;
    BookPtr book() {
        if (books_.empty()) throw EOleError("没有打开的工作簿");
        return books_.back();
    }
    SessionPtr session_;
    std::vector<BookPtr> books_;
    std::string printer_;
};

class ExcelWorkbook : public TServerObject {
public:
    ExcelWorkbook(std::weak_ptr<ExcelApp> app, BookPtr b)
        : TServerObject("Workbook"), app_(std::move(app)), b_(std::move(b)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        if (Is(m, "Sheets") || Is(m, "Worksheets")) {
            std::vector<int> all;
            for (size_t i = 0; i < b_->names.size(); ++i) all.push_back(int(i));
            auto sheets = std::make_shared<ExcelSheets>(app_, b_, all, true);
            if (args.empty()) return Obj(sheets);
            return sheets->Invoke("Item", TInvokeKind::Method, args);
        }
        if (Is(m, "Saved")) {
            if (kind == TInvokeKind::PropertyPut) b_->saved = PutValue(args).AsBool();
            return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(b_->saved);
        }
        if (Is(m, "Close")) {
            b_->session->Command("{\"op\":\"close\",\"id\":" + Json((long long)b_->id) + "}");
            if (auto a = app_.lock()) std::erase(a->books_, b_);
            return OleVariant();
        }
        UnknownMember(m);
    }
    std::weak_ptr<ExcelApp> app_;
    BookPtr b_;
};

OleVariant ExcelSheets::Invoke(const std::string& m, TInvokeKind,
                               const std::vector<OleVariant>& args) {
    Book& b = *b_;
    if (Is(m, "Count")) return OleVariant(int(which_.size()));
    if (Is(m, "Item")) {
        const OleVariant& key = Arg(args, 0);
        if (key.Type() == TVarType::Array) {
            std::vector<int> group;
            for (auto& k : key.AsArray()) group.push_back(sheetIndex(b, k));
            return Obj(std::make_shared<ExcelSheets>(app_, b_, group, false));
        }
        return Obj(
            std::make_shared<ExcelSheets>(app_, b_, std::vector<int>{sheetIndex(b, key)}, false));
    }
    if (which_.empty()) throw EOleError("没有工作表");
    if (Is(m, "Name")) return OleVariant(b.names[size_t(which_[0])]);
    if (Is(m, "Index")) return OleVariant(which_[0] + 1);
    if (Is(m, "Activate")) {
        b.active = which_[0];
        if (std::find(b.selected.begin(), b.selected.end(), b.active) == b.selected.end())
            b.selected = {b.active};
        return OleVariant();
    }
    if (Is(m, "Select")) {
        bool replace = Arg(args, 0).IsMissing() || Arg(args, 0).AsBool();
        if (replace) b.selected.clear();
        for (int i : which_)
            if (std::find(b.selected.begin(), b.selected.end(), i) == b.selected.end())
                b.selected.push_back(i);
        std::sort(b.selected.begin(), b.selected.end());
        b.active = which_[0];
        return OleVariant();
    }
    if (Is(m, "PageSetup")) return Obj(std::make_shared<ExcelPageSetup>(b_, which_[0]));
    if (Is(m, "PrintOut")) {
        // From, To, Copies, Preview, ActivePrinter, PrintToFile, Collate, PrToFileName
        auto app = app_.lock();
        if (!app) throw EOleError("应用程序已经退出");
        std::string printer = Arg(args, 4).IsMissing() ? app->printer_ : Arg(args, 4).AsString();
        if (!IsPostScriptPrinter(printer)) throw EOleError("打印机 \"" + printer + "\" 不能使用");
        bool toFile = !Arg(args, 5).IsMissing() && Arg(args, 5).AsBool();
        if (!toFile) throw EOleError("打印机的端口是文件: 请打印到文件");
        // Without a file name the port asks for one; the helper program answers.
        std::string file =
            Arg(args, 7).IsMissing() ? AskPrintFileName("EXCEL.EXE") : Arg(args, 7).AsString();
        PrintJob job;
        job.file = file;
        job.landscapeJob = b.landscapeSet;
        job.pdf = b.session->NewWorkFile(".pdf");
        std::string list;
        for (int i : which_) list += std::string(list.empty() ? "" : ",") + std::to_string(i);
        b.session->Command("{\"op\":\"export_pdf\",\"id\":" + Json((long long)b.id) +
                           ",\"path\":" + Json(job.pdf) +
                           ",\"filter\":\"calc_pdf_Export\",\"sheets\":[" + list + "]}");
        // The office printed by leaving only these sheets in the book.
        std::vector<std::string> kept;
        for (int i : which_) kept.push_back(b.names[size_t(i)]);
        b.names = kept;
        b.selected.clear();
        for (size_t i = 0; i < kept.size(); ++i) b.selected.push_back(int(i));
        b.active = 0;
        PrintToFile(job);
        b.session->PrintDone();
        return OleVariant();
    }
    UnknownMember(m);
}

OleVariant ExcelApp::Invoke(const std::string& m, TInvokeKind kind,
                            const std::vector<OleVariant>& args) {
    auto self = std::static_pointer_cast<ExcelApp>(shared_from_this());
    if (Is(m, "Workbooks")) {
        class Workbooks : public TServerObject {
        public:
            explicit Workbooks(std::shared_ptr<ExcelApp> a)
                : TServerObject("Workbooks"), a_(std::move(a)) {}
            OleVariant Invoke(const std::string& m, TInvokeKind,
                              const std::vector<OleVariant>& args) override {
                if (Is(m, "Count")) return OleVariant(int(a_->books_.size()));
                if (Is(m, "Open")) {
                    // FileName, UpdateLinks, ReadOnly, ...
                    auto b = std::make_shared<Book>();
                    b->session = a_->session_;
                    bool readOnly = !Arg(args, 2).IsMissing() && Arg(args, 2).AsBool();
                    b->id = int(
                        a_->session_
                            ->Command("{\"op\":\"load\",\"path\":" + Json(Arg(args, 0).AsString()) +
                                      ",\"readonly\":" + Json(readOnly) + ",\"kind\":\"sheet\"}")
                            .AsInt());
                    OleVariant r = a_->session_->Command(
                        "{\"op\":\"calc_sheets\",\"id\":" + Json((long long)b->id) + "}");
                    for (auto& n : r.AsArray().at(0).AsArray()) b->names.push_back(n.AsString());
                    b->active = int(r.AsArray().at(1).AsInt());
                    b->selected = {b->active};
                    a_->books_.push_back(b);
                    return Obj(std::make_shared<ExcelWorkbook>(a_, b));
                }
                UnknownMember(m);
            }
            std::shared_ptr<ExcelApp> a_;
        };
        return Obj(std::make_shared<Workbooks>(self));
    }
    if (Is(m, "ActiveWorkbook")) return Obj(std::make_shared<ExcelWorkbook>(self, book()));
    if (Is(m, "ActiveSheet")) {
        BookPtr b = book();
        return Obj(std::make_shared<ExcelSheets>(self, b, std::vector<int>{b->active}, false));
    }
    if (Is(m, "ActiveWindow")) {
        class Window : public TServerObject {
        public:
            Window(std::shared_ptr<ExcelApp> a, BookPtr b)
                : TServerObject("Window"), a_(std::move(a)), b_(std::move(b)) {}
            OleVariant Invoke(const std::string& m, TInvokeKind,
                              const std::vector<OleVariant>&) override {
                if (Is(m, "SelectedSheets"))
                    return Obj(std::make_shared<ExcelSheets>(a_, b_, b_->selected, false));
                UnknownMember(m);
            }
            std::shared_ptr<ExcelApp> a_;
            BookPtr b_;
        };
        return Obj(std::make_shared<Window>(self, book()));
    }
    if (Is(m, "ActivePrinter")) {
        if (kind != TInvokeKind::PropertyPut)
            return OleVariant(IsPostScriptPrinter(printer_) ? PrinterDisplayName() : printer_);
        std::string name = PutValue(args).AsString();
        if (!IsPostScriptPrinter(name)) throw EOleError("打印机 \"" + name + "\" 不存在");
        printer_ = name;
        return OleVariant();
    }
    if (Is(m, "Quit")) {
        books_.clear();
        session_->Quit();
        return OleVariant();
    }
    if (Is(m, "Visible") || Is(m, "DisplayAlerts"))
        return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(false);
    UnknownMember(m);
}

}  // namespace

std::shared_ptr<TAutoObject> CreateExcelServer() { return std::make_shared<ExcelApp>(); }

}  // namespace office
