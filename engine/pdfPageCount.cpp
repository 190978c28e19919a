// The page count of a PDF read from its text: the /Count of the page tree's root, found
// as the node the catalog's /Pages names or else as the last node of type /Pages without
// a parent. Names are matched whole (a name ends at a delimiter), only the keys of a
// dictionary's own level count (an inline font's /FirstChar is no /First, a nested /Type
// no type of the node), and stream data is stepped over. One pass over the text.
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pdfHelper.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsWhite(char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c) {
    switch (c) {
        case '(':
        case ')':
        case '<':
        case '>':
        case '[':
        case ']':
        case '{':
        case '}':
        case '/':
        case '%':
            return true;
        default:
            return false;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// What one dictionary says about the page tree.
struct TDictFacts {
    long long object = -1;  // the number of the object it is written in, when known
    bool pagesType = false;
    bool catalogType = false;
    bool parent = false;
    bool counted = false;
    std::string count;        // the token after /Count, as written
    long long pagesRef = -1;  // /Pages n g R of a catalog
};

class TPdfScanner {
public:
    explicit TPdfScanner(std::string_view text) : t_(text), n_(text.size()) {}

    void Scan() {
        long long ints[2] = {-1, -1};  // the last two integers, for "n g obj"
        long long object = -1;
        while (i_ < n_) {
            const char c = t_[i_];
            if (IsWhite(c)) {
                ++i_;
            } else if (c == '<' && Next() == '<') {
                TDictFacts facts = Dictionary();
                facts.object = object;
                if (facts.counted || facts.catalogType) dicts_.push_back(std::move(facts));
                ints[0] = ints[1] = -1;
            } else if (IsDelimiter(c)) {
                SkipValue();
                ints[0] = ints[1] = -1;
            } else {
                const std::string_view word = Token();
                if (!word.empty() && IsDigit(word[0]) && word.find('.') == std::string_view::npos) {
                    ints[0] = ints[1];
                    ints[1] = word.size() > 15 ? -1 : std::stoll(std::string(word));
                    continue;
                }
                if (word == "obj")
                    object = ints[0];
                else if (word == "endobj")
                    object = -1;
                else if (word == "stream")
                    SkipStreamData();
                ints[0] = ints[1] = -1;
            }
        }
    }

    int PageCount() const {
        long long root = -1;
        for (const TDictFacts& d : dicts_)
            if (d.catalogType && d.pagesRef >= 0) root = d.pagesRef;
        const TDictFacts* found = nullptr;
        if (root >= 0)
            for (const TDictFacts& d : dicts_)
                if (d.object == root && d.counted) found = &d;
        if (!found)
            for (const TDictFacts& d : dicts_)
                if (d.pagesType && !d.parent && d.counted) found = &d;
        if (!found) return -1;
        const std::string& count = found->count;
        const bool digits =
            !count.empty() && count.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || count.size() > 10 || StrToInt(count) > std::numeric_limits<int>::max())
            throw EConvertError("'" + count.substr(0, 40) + "' is not a valid integer value");
        return int(StrToInt(count));
    }

private:
    char Next() const { return i_ + 1 < n_ ? t_[i_ + 1] : '\0'; }

    // A regular token (a number or a keyword) from i_.
    std::string_view Token() {
        const size_t start = i_;
        while (i_ < n_ && !IsWhite(t_[i_]) && !IsDelimiter(t_[i_])) ++i_;
        if (i_ == start) ++i_;  // a lone byte that is neither: step over it
        return t_.substr(start, i_ - start);
    }

    // A name from the "/" at i_, without the slash.
    std::string_view Name() {
        const size_t start = ++i_;
        while (i_ < n_ && !IsWhite(t_[i_]) && !IsDelimiter(t_[i_])) ++i_;
        return t_.substr(start, i_ - start);
    }

    void SkipWhite() {
        while (i_ < n_) {
            if (IsWhite(t_[i_])) {
                ++i_;
            } else if (t_[i_] == '%') {
                while (i_ < n_ && t_[i_] != '\n' && t_[i_] != '\r') ++i_;
            } else {
                break;
            }
        }
    }

    void SkipString() {
        int depth = 0;
        for (; i_ < n_; ++i_) {
            const char c = t_[i_];
            if (c == '\\') {
                ++i_;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                ++i_;
                return;
            }
        }
    }

    void SkipStreamData() {
        static constexpr std::string_view kEnd = "endstream";
        const size_t end = t_.find(kEnd, i_);
        i_ = end == std::string_view::npos ? n_ : end + kEnd.size();
    }

    // One whole value from i_: a dictionary or array with all it holds, a string, a name
    // or a token. Nesting is counted, not recursed, so no depth of it can exhaust the stack.
    void SkipValue() {
        int depth = 0;
        do {
            SkipWhite();
            if (i_ >= n_) return;
            const char c = t_[i_];
            if ((c == '<' && Next() == '<') || (c == '>' && Next() == '>')) {
                depth += c == '<' ? 1 : -1;
                i_ += 2;
            } else if (c == '[' || c == '{') {
                ++depth;
                ++i_;
            } else if (c == ']' || c == '}') {
                --depth;
                ++i_;
            } else if (c == '(') {
                SkipString();
            } else if (c == '<') {
                while (i_ < n_ && t_[i_] != '>') ++i_;
                if (i_ < n_) ++i_;
            } else if (c == '/') {
                Name();
            } else if (c == ')' || c == '>') {
                ++i_;
            } else {
                Token();
            }
        } while (depth > 0);
    }

    // The dictionary whose "<<" is at i_: the keys of its own level.
    TDictFacts Dictionary() {
        TDictFacts f;
        i_ += 2;
        for (;;) {
            SkipWhite();
            if (i_ >= n_) return f;
            if (t_[i_] == '>' && Next() == '>') {
                i_ += 2;
                return f;
            }
            if (t_[i_] != '/') {
                SkipValue();  // a value whose key was handled, or a stray token
                continue;
            }
            const std::string_view key = Name();
            SkipWhite();
            if (key == "Type" && i_ < n_ && t_[i_] == '/') {
                const std::string_view type = Name();
                f.pagesType = type == "Pages";
                f.catalogType = type == "Catalog";
            } else if (key == "Parent") {
                f.parent = true;
            } else if (key == "Count") {
                f.counted = true;
                const size_t start = i_;
                if (i_ < n_ && !IsDelimiter(t_[i_])) {
                    f.count = std::string(Token());
                } else {
                    SkipValue();
                    f.count = std::string(t_.substr(start, std::min<size_t>(i_ - start, 40)));
                }
            } else if (key == "Pages" && i_ < n_ && IsDigit(t_[i_])) {
                const std::string_view number = Token();
                if (number.size() <= 15 &&
                    number.find_first_not_of("0123456789") == std::string_view::npos)
                    f.pagesRef = std::stoll(std::string(number));
            }
        }
    }

    std::string_view t_;
    size_t n_;
    size_t i_ = 0;
    std::vector<TDictFacts> dicts_;
};

}  // namespace

int TPdfChopToSingles::CountPagesInText(std::string_view text) {
    TPdfScanner scanner(text);
    scanner.Scan();
    return scanner.PageCount();
}
