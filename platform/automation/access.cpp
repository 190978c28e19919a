// "Access.Application" on mdbtools (reading the database) and the office's word processor
// (laying out what is printed). Tables and queries print as a datasheet: the object's
// name over a table of its rows. Reports cannot be laid out here: asking for one that the
// database holds is refused with a clear error.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/automation/psPrinter.h"
#include "platform/automation/servers.h"

namespace office {

namespace {

constexpr std::chrono::milliseconds kToolBound{std::chrono::minutes(2)};

std::string slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs an mdbtools program and returns its output; raises with its error text.
std::string mdb(const std::string& work, const std::vector<std::string>& args) {
    std::vector<std::string> argv{MdbTool(args[0])};
    argv.insert(argv.end(), args.begin() + 1, args.end());
    std::string out = work + "mdb-output.txt";
    ChildResult r = RunProgram(argv, kToolBound, out);
    std::string text = slurp(out);
    std::error_code ec;
    std::filesystem::remove(out, ec);
    if (r.exitCode != 0 || r.timedOut)
        throw EOleError("数据库无法读取 (" + args[0] + ")" +
                        (r.errorText.empty() ? "" : ": " + r.errorText));
    return text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty()) out.push_back(l);
    }
    return out;
}

// Comma-separated values with double quotes, "" inside quotes, line ends inside quotes.
std::vector<std::vector<std::string>> parseCsv(const std::string& s) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < s.size() && s[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            if (any || !field.empty()) {
                row.push_back(field);
                rows.push_back(row);
            }
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

std::string html(const std::string& s) {
    std::string r;
    for (char c : s) {
        switch (c) {
            case '&':
                r += "&amp;";
                break;
            case '<':
                r += "&lt;";
                break;
            case '>':
                r += "&gt;";
                break;
            case '"':
                r += "&quot;";
                break;
            default:
                r += c;
        }
    }
    return r;
}

struct Database {
    std::string file;
    std::string openKind;  // "table", "query" or empty
    std::string openName;
    std::vector<std::vector<std::string>> rows;  // what the open object shows, header first
};

class AccessApp;

class DoCmd : public TServerObject {
public:
    explicit DoCmd(std::shared_ptr<AccessApp> app) : TServerObject("DoCmd"), app_(std::move(app)) {}
    OleVariant Invoke(const std::string& m, TInvokeKind,
                      const std::vector<OleVariant>& args) override;
    std::shared_ptr<AccessApp> app_;
};

class AccessApp : public TServerObject {
public:
    AccessApp() : TServerObject("Access.Application"), session_(NewSession()) {}
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        if (Is(m, "OpenCurrentDatabase")) {
            // FilePath, Exclusive, bstrPassword
            if (db_) throw EOleError("已经打开了一个数据库");
            std::string file = Arg(args, 0).AsString();
            if (!std::filesystem::is_regular_file(file))
                throw EOleError("找不到数据库 '" + file + "'");
            mdb(session_->WorkFolder(), {"mdb-ver", file});
            db_ = std::make_shared<Database>();
            db_->file = file;
            return OleVariant();
        }
        if (Is(m, "CloseCurrentDatabase")) {
            db_.reset();
            return OleVariant();
        }
        if (Is(m, "DoCmd"))
            return Obj(
                std::make_shared<DoCmd>(std::static_pointer_cast<AccessApp>(shared_from_this())));
        if (Is(m, "Quit")) {
            db_.reset();
            session_->Quit();
            return OleVariant();
        }
        if (Is(m, "Visible"))
            return kind == TInvokeKind::PropertyPut ? OleVariant() : OleVariant(false);
        UnknownMember(m);
    }
    Database& db() {
        if (!db_) throw EOleError("没有打开的数据库");
        return *db_;
    }
    SessionPtr session_;
    std::shared_ptr<Database> db_;
};

[[noreturn]] void notFound(const std::string& name) {
    throw EOleError("Microsoft Access 找不到对象 '" + name + "'。");
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
    for (auto& n : names)
        if (SameText(n, name)) return true;
    return false;
}

OleVariant DoCmd::Invoke(const std::string& m, TInvokeKind, const std::vector<OleVariant>& args) {
    const std::string work = app_->session_->WorkFolder();
    if (Is(m, "OpenTable") || Is(m, "OpenQuery") || Is(m, "OpenReport")) {
        // ObjectName, View (2: preview), ...
        Database& d = app_->db();
        std::string name = Arg(args, 0).AsString();
        if (Is(m, "OpenTable")) {
            if (!listed(lines(mdb(work, {"mdb-tables", "-1", d.file})), name)) notFound(name);
            d.rows = parseCsv(
                mdb(work, {"mdb-export", "-b", "strip", "-D", "%Y-%m-%d %H:%M:%S", d.file, name}));
            d.openKind = "table";
        } else if (Is(m, "OpenQuery")) {
            if (!listed(lines(mdb(work, {"mdb-queries", "-L", "-1", d.file})), name))
                notFound(name);
            std::string sql = Trim(mdb(work, {"mdb-queries", d.file, name}));
            std::string sqlFile = work + "query.sql";
            std::ofstream(sqlFile, std::ios::binary) << sql << "\n";
            std::string out;
            try {
                out = mdb(work, {"mdb-sql", "-P", "-F", "-d", "\t", "-i", sqlFile, d.file});
            } catch (const EOleError&) {
                out.clear();
            }
            auto rows = lines(out);
            if (rows.empty() || out.find("Error") != std::string::npos ||
                out.find("error") != std::string::npos)
                throw EOleError("查询 '" + name + "' 无法在此系统上执行: " + sql);
            d.rows.clear();
            for (auto& l : rows) {
                std::vector<std::string> cells;
                std::string cell;
                std::istringstream in(l);
                while (std::getline(in, cell, '\t')) cells.push_back(cell);
                d.rows.push_back(cells);
            }
            d.openKind = "query";
        } else {
            // Reports are objects of type -32764 in the system table.
            auto objects =
                parseCsv(mdb(work, {"mdb-export", "-b", "strip", d.file, "MSysObjects"}));
            size_t nameCol = 0, typeCol = 0;
            if (!objects.empty())
                for (size_t i = 0; i < objects[0].size(); ++i) {
                    if (objects[0][i] == "Name") nameCol = i;
                    if (objects[0][i] == "Type") typeCol = i;
                }
            bool found = false;
            for (size_t r = 1; r < objects.size(); ++r)
                if (objects[r].size() > std::max(nameCol, typeCol) &&
                    objects[r][typeCol] == "-32764" && SameText(objects[r][nameCol], name))
                    found = true;
            if (!found) notFound(name);
            throw EOleError("报表 '" + name +
                            "' 无法在此系统上显示: 数据库程序 (mdbtools) 不能排版报表");
        }
        d.openName = name;
        return OleVariant();
    }
    if (Is(m, "PrintOut")) {
        // PrintRange, PageFrom, PageTo, PrintQuality, Copies, CollateCopies: the open
        // object, on the default printer.
        Database& d = app_->db();
        if (d.openKind.empty()) throw EOleError("没有可打印的对象");
        std::string printer = DefaultPrinterName();
        if (!IsPostScriptPrinter(printer))
            throw EOleError("默认打印机 \"" + printer + "\" 不能使用");
        std::string file = AskPrintFileName("MSACCESS.EXE");
        std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                           html(d.openName) + "</title></head><body>\n<h3>" + html(d.openName) +
                           "</h3>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n";
        for (size_t r = 0; r < d.rows.size(); ++r) {
            page += "<tr>";
            for (auto& c : d.rows[r])
                page += (r == 0 ? "<th>" : "<td>") + html(c) + (r == 0 ? "</th>" : "</td>");
            page += "</tr>\n";
        }
        page += "</table>\n</body></html>\n";
        std::string htmlFile = app_->session_->NewWorkFile(".html");
        std::ofstream(htmlFile, std::ios::binary) << page;
        PrintJob job;
        job.file = file;
        job.pdf = app_->session_->NewWorkFile(".pdf");
        long long id = app_->session_
                           ->Command("{\"op\":\"load\",\"path\":" + Json(htmlFile) +
                                     ",\"filter\":\"HTML (StarWriter)\"}")
                           .AsInt();
        app_->session_->Command("{\"op\":\"export_pdf\",\"id\":" + Json(id) + ",\"path\":" +
                                Json(job.pdf) + ",\"filter\":\"writer_pdf_Export\"}");
        app_->session_->Command("{\"op\":\"close\",\"id\":" + Json(id) + "}");
        PrintToFile(job);
        app_->session_->PrintDone();
        return OleVariant();
    }
    if (Is(m, "Close")) {
        if (app_->db_) {
            app_->db_->openKind.clear();
            app_->db_->rows.clear();
        }
        return OleVariant();
    }
    UnknownMember(m);
}

}  // namespace

std::shared_ptr<TAutoObject> CreateAccessServer() { return std::make_shared<AccessApp>(); }

}  // namespace office
