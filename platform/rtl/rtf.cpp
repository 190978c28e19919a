#include "platform/rtl/rtf.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/rtl/hex.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"

namespace {

// Parameters are read up to this; font sizes are kept to what a rich edit shows
// (1 to 1638 points).
constexpr long kParameterLimit = 2147483647L;
constexpr long kMinHalfPoints = 2, kMaxHalfPoints = 3276;

struct Style {
    bool bold = false, italic = false, underline = false;
    int halfPoints = 24;
    int color = 0;      // index into the colour table, 0 = automatic
    int align = 0;      // 0 left, 1 centre, 2 right
    bool skip = false;  // inside a destination that is not shown
    int ucSkip = 1;
};

std::string Escape(const std::string& s) {
    std::string r;
    for (char c : s) {
        switch (c) {
            case '<':
                r += "&lt;";
                break;
            case '>':
                r += "&gt;";
                break;
            case '&':
                r += "&amp;";
                break;
            default:
                r += c;
        }
    }
    return r;
}

class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    void run() {
        if (s_.compare(0, 5, "{\\rtf") != 0) throw EConvertError("Not rich text");
        stack_.push_back(Style());
        colors_.push_back("");
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == '{') {
                stack_.push_back(stack_.back());
                ++i_;
                continue;
            }
            if (c == '}') {
                flushRun();
                if (stack_.size() > 1) stack_.pop_back();
                ++i_;
                continue;
            }
            if (c == '\\') {
                control();
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++i_;
                continue;
            }
            text(std::string(1, c));
            ++i_;
        }
        flushRun();
        endParagraph(false);
    }

    std::string html() const { return "<html><body>" + html_ + "</body></html>"; }
    const std::string& plain() const { return plain_; }

private:
    Style& cur() { return stack_.back(); }

    void text(const std::string& t) {
        if (cur().skip) return;
        if (runStyleValid_ && !same(runStyle_, cur())) flushRun();
        if (!runStyleValid_) {
            runStyle_ = cur();
            runStyleValid_ = true;
        }
        run_ += t;
        plain_ += t;
        paraAlign_ = cur().align;
    }

    static bool same(const Style& a, const Style& b) {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
               a.halfPoints == b.halfPoints && a.color == b.color;
    }

    void flushRun() {
        if (run_.empty()) {
            runStyleValid_ = false;
            return;
        }
        const Style& st = runStyle_;
        std::string open, close;
        std::string css = "font-size:" + IntToStr(st.halfPoints / 2) + "pt;";
        if (st.color > 0 && st.color < int(colors_.size()) && !colors_[size_t(st.color)].empty())
            css += "color:" + colors_[size_t(st.color)] + ";";
        open += "<span style=\"" + css + "\">";
        close = "</span>" + close;
        if (st.bold) {
            open += "<b>";
            close = "</b>" + close;
        }
        if (st.italic) {
            open += "<i>";
            close = "</i>" + close;
        }
        if (st.underline) {
            open += "<u>";
            close = "</u>" + close;
        }
        para_ += open + Escape(run_) + close;
        run_.clear();
        runStyleValid_ = false;
    }

    void endParagraph(bool always) {
        flushRun();
        if (para_.empty() && !always) return;
        static const char* const aligns[] = {"left", "center", "right"};
        html_ += std::string("<p align=\"") + aligns[paraAlign_] + "\">" +
                 (para_.empty() ? "&nbsp;" : para_) + "</p>\n";
        para_.clear();
        plain_ += "\n";
    }

    void control() {
        ++i_;  // backslash
        if (i_ >= s_.size()) return;
        char c = s_[i_];
        if (c == '\\' || c == '{' || c == '}') {
            text(std::string(1, c));
            ++i_;
            return;
        }
        if (c == '\'') {
            // Two hexadecimal digits; a broken escape is passed over with what it has.
            ++i_;
            unsigned v = 0;
            int digits = 0;
            for (;
                 digits < 2 && i_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[i_]));
                 ++digits, ++i_)
                v = v * 16 + unsigned(HexDigitValue(s_[i_]));
            if (digits == 2) {
                std::string t;
                Utf8Append(t, v);  // single bytes are read as Latin-1
                text(t);
            }
            return;
        }
        if (c == '*') {
            cur().skip = true;
            ++i_;
            return;
        }
        if (c == '~') {
            text("\xC2\xA0");
            ++i_;
            return;
        }
        if (c == '\r' || c == '\n') {
            endParagraph(true);
            ++i_;
            return;
        }
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++i_;
            return;
        }
        size_t b = i_;
        while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) ++i_;
        std::string word = s_.substr(b, i_ - b);
        long arg = 0;
        const bool hasArg = readNumber(arg);
        if (i_ < s_.size() && s_[i_] == ' ') ++i_;  // the delimiter belongs to the word
        apply(word, hasArg, arg);
    }

    // A control word's parameter: digits with an optional minus sign. A number beyond what
    // a parameter holds is taken at its limit; a minus sign without digits is no parameter
    // (it stays in the text).
    bool readNumber(long& value) {
        const bool negative = i_ + 1 < s_.size() && s_[i_] == '-' &&
                              std::isdigit(static_cast<unsigned char>(s_[i_ + 1]));
        if (!negative && (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))))
            return false;
        if (negative) ++i_;
        long v = 0;
        for (; i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])); ++i_)
            v = std::min(kParameterLimit, v * 10 + (s_[i_] - '0'));
        value = negative ? -v : v;
        return true;
    }

    void apply(const std::string& w, bool hasArg, long arg) {
        Style& st = cur();
        bool on = !hasArg || arg != 0;
        if (w == "fonttbl" || w == "stylesheet" || w == "info" || w == "pict" || w == "header" ||
            w == "footer")
            st.skip = true;
        else if (w == "colortbl") {
            st.skip = true;
            parseColors();
        } else if (w == "par")
            endParagraph(true);
        else if (w == "line") {
            if (st.skip) return;
            flushRun();
            para_ += "<br>";
            plain_ += "\n";
        } else if (w == "tab")
            text("\t");
        else if (w == "b")
            st.bold = on;
        else if (w == "i")
            st.italic = on;
        else if (w == "ul")
            st.underline = on;
        else if (w == "ulnone")
            st.underline = false;
        else if (w == "fs" && hasArg)
            st.halfPoints = int(std::clamp(arg, kMinHalfPoints, kMaxHalfPoints));
        else if (w == "cf" && hasArg)
            st.color = int(arg);
        else if (w == "qc")
            st.align = 1;
        else if (w == "qr")
            st.align = 2;
        else if (w == "ql" || w == "qj")
            st.align = 0;
        else if (w == "pard") {
            st.align = 0;
        } else if (w == "plain") {
            bool skip = st.skip;
            int uc = st.ucSkip;
            st = Style();
            st.skip = skip;
            st.ucSkip = uc;
        } else if (w == "uc" && hasArg)
            st.ucSkip = int(std::clamp(arg, 0L, 255L));
        else if (w == "u" && hasArg) {
            // A UTF-16 unit, written signed by most writers; anything else is no character.
            std::string t;
            const long unit = arg < 0 ? arg + 65536 : arg;
            Utf8Append(t, unit >= 0 && unit <= 0xFFFF ? char32_t(unit) : char32_t(0xFFFD));
            text(t);
            // Skip the stand-in characters that follow for readers without Unicode.
            for (int k = 0; k < st.ucSkip && i_ < s_.size(); ++k) {
                if (s_[i_] == '\\' && i_ + 1 < s_.size() && s_[i_ + 1] == '\'')
                    i_ += 4;
                else if (s_[i_] == '{' || s_[i_] == '}' || s_[i_] == '\\')
                    break;
                else
                    ++i_;
            }
        }
    }

    // "\red0\green0\blue255;" entries up to the end of the group.
    void parseColors() {
        int r = 0, g = 0, b = 0;
        bool any = false;
        while (i_ < s_.size() && s_[i_] != '}') {
            if (s_[i_] == ';') {
                if (any) {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", r, g, b);
                    colors_.push_back(buf);
                }
                r = g = b = 0;
                any = false;
                ++i_;
                continue;
            }
            if (s_[i_] == '\\') {
                size_t b0 = ++i_;
                while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) ++i_;
                std::string w = s_.substr(b0, i_ - b0);
                long number = 0;
                if (!readNumber(number)) number = 0;
                const int v = int(std::clamp(number, 0L, 255L));  // a colour part is a byte
                if (w == "red")
                    r = v, any = true;
                else if (w == "green")
                    g = v, any = true;
                else if (w == "blue")
                    b = v, any = true;
                if (i_ < s_.size() && s_[i_] == ' ') ++i_;
                continue;
            }
            ++i_;
        }
    }

    const std::string& s_;
    size_t i_ = 0;
    std::vector<Style> stack_;
    std::vector<std::string> colors_;
    Style runStyle_;
    bool runStyleValid_ = false;
    std::string run_, para_, html_, plain_;
    int paraAlign_ = 0;
};

}  // namespace

std::string RtfToHtml(const std::string& rtf) {
    Reader r(rtf);
    r.run();
    return r.html();
}

std::string RtfToText(const std::string& rtf) {
    Reader r(rtf);
    r.run();
    return r.plain();
}
