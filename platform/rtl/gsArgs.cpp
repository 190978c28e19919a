#include "platform/rtl/gsArgs.h"

#include "platform/rtl/hex.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool Unwritable(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// The argument as a message shows it: control bytes as \xNN, at most 60 bytes.
std::string Shown(std::string_view arg) {
    std::string out;
    for (std::size_t i = 0; i < arg.size() && i < 60; ++i) {
        const unsigned char c = static_cast<unsigned char>(arg[i]);
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            AppendHexByte(out, c);
        } else {
            out += char(c);
        }
    }
    if (arg.size() > 60) out += "...";
    return out;
}

[[noreturn]] void Refuse(std::string_view arg, const char* why) {
    throw GsArgError("Ghostscript 参数" + std::string(why) + ": \"" + Shown(arg) + "\"");
}

void CheckBare(std::string_view sw) {
    for (char c : sw) {
        if (Unwritable(c)) Refuse(sw, "含有换行或空字符");
        if (IsSeparator(c) || c == '"') Refuse(sw, "的开关不能含有空白或引号");
    }
}

}  // namespace

std::vector<GsToken> GsTokenSpans(std::string_view line) {
    std::vector<GsToken> tokens;
    GsToken current;
    bool inToken = false;  // something (even an empty quoted stretch) has been seen
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                current.value += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current.value += c;
            }
            continue;
        }
        if (IsSeparator(c)) {
            if (inToken) {
                current.end = i;
                tokens.push_back(std::move(current));
                current = GsToken{};
                inToken = false;
            }
            continue;
        }
        if (!inToken) current.begin = i;
        inToken = true;
        if (c == '"')
            quoted = true;
        else
            current.value += c;
    }
    if (inToken) {
        current.end = line.size();
        tokens.push_back(std::move(current));
    }
    return tokens;
}

std::vector<std::string> GsTokenize(std::string_view line) {
    std::vector<std::string> values;
    for (GsToken& t : GsTokenSpans(line)) values.push_back(std::move(t.value));
    return values;
}

bool GsRepresentable(std::string_view arg) {
    for (char c : arg)
        if (Unwritable(c)) return false;
    return true;
}

bool GsBareWritable(std::string_view text) {
    for (char c : text)
        if (Unwritable(c) || IsSeparator(c) || c == '"') return false;
    return true;
}

std::string QuoteGsArg(std::string_view text) {
    if (!GsRepresentable(text)) Refuse(text, "含有换行或空字符");
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string GsQuoteLine(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += QuoteGsArg(a) + " ";
    return line;
}

GsArgs& GsArgs::operator+=(std::string_view switches) {
    std::size_t i = 0;
    while (i < switches.size()) {
        if (switches[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t end = switches.find(' ', i);
        if (end == std::string_view::npos) end = switches.size();
        const std::string_view sw = switches.substr(i, end - i);
        CheckBare(sw);
        args_.push_back({std::string(sw), {}, false});
        i = end;
    }
    return *this;
}

GsArgs& GsArgs::operator+=(const GsArgs& more) {
    args_.insert(args_.end(), more.args_.begin(), more.args_.end());
    return *this;
}

GsArgs& GsArgs::Quoted(std::string_view head, std::string_view value) {
    CheckBare(head);
    if (!GsRepresentable(value)) Refuse(value, "含有换行或空字符");
    args_.push_back({std::string(head), std::string(value), true});
    return *this;
}

std::vector<std::string> GsArgs::Vector() const {
    std::vector<std::string> out;
    out.reserve(args_.size());
    for (const Arg& a : args_) out.push_back(a.head + a.value);
    return out;
}

std::string GsArgs::Line() const {
    std::string line;
    for (const Arg& a : args_) {
        line += a.head;
        if (a.quoted) line += QuoteGsArg(a.value);
        line += ' ';
    }
    return line;
}

GsArgs GsPrefix() {
    GsArgs prefix;
    prefix += "-dNOPAUSE -dBATCH -dSAFER";
    return prefix;
}
