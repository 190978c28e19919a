#include "platform/win/cmdline.h"

#include <cctype>

#include "platform/rtl/sysutils.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

size_t skipBlanks(const std::string& s, size_t i) {
    while (i < s.size() && blank(s[i])) ++i;
    return i;
}

// The program-name token: no escapes, a quote runs to the next quote.
std::string programToken(const std::string& s, size_t& i) {
    std::string t;
    bool quoted = false;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && blank(c)) break;
        t += c;
        ++i;
    }
    return t;
}

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& s) {
    std::vector<std::string> out;
    size_t i = skipBlanks(s, 0);
    if (i >= s.size()) return out;
    out.push_back(programToken(s, i));
    for (;;) {
        i = skipBlanks(s, i);
        if (i >= s.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < s.size()) {
            char c = s[i];
            if (!quoted && blank(c)) break;
            if (c == '\\') {
                size_t k = 0;
                while (i + k < s.size() && s[i + k] == '\\') ++k;
                if (i + k < s.size() && s[i + k] == '"') {
                    arg.append(k / 2, '\\');
                    if (k % 2) {
                        arg += '"';
                        i += k + 1;
                    } else {
                        i += k;  // the quote is handled as a delimiter next
                    }
                } else {
                    arg.append(k, '\\');
                    i += k;
                }
            } else if (c == '"') {
                if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += c;
                ++i;
            }
        }
        out.push_back(arg);
    }
    return out;
}

namespace {

bool isInterpreter(const std::string& prog) {
    size_t slash = prog.find_last_of("/\\");
    std::string name = LowerCase(slash == std::string::npos ? prog : prog.substr(slash + 1));
    return name == "cmd" || name == "cmd.exe";
}

// Takes the redirections out of an interpreter command, leaving blanks in their place.
bool extractRedirections(const std::string& s, std::string& rest, std::vector<Redirection>& reds,
                         std::string* error) {
    rest.clear();
    bool quoted = false;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            quoted = !quoted;
            rest += c;
            ++i;
            continue;
        }
        if (quoted) {
            rest += c;
            ++i;
            continue;
        }
        bool tokenStart = i == 0 || blank(s[i - 1]);
        bool digitRedir = tokenStart && c >= '0' && c <= '2' && i + 1 < s.size() &&
                          (s[i + 1] == '>' || s[i + 1] == '<');
        if (c == '>' || c == '<' || digitRedir) {
            Redirection r;
            if (digitRedir) {
                r.fd = c - '0';
                ++i;
            } else {
                r.fd = s[i] == '<' ? 0 : 1;
            }
            if (s[i] == '<') {
                r.kind = Redirection::Read;
                ++i;
            } else {
                ++i;
                r.kind = Redirection::Write;
                if (i < s.size() && s[i] == '>') {
                    r.kind = Redirection::Append;
                    ++i;
                }
            }
            if (i + 1 < s.size() && s[i] == '&' && s[i + 1] >= '0' && s[i + 1] <= '2') {
                r.kind = Redirection::Duplicate;
                r.sourceFd = s[i + 1] - '0';
                i += 2;
            } else {
                i = skipBlanks(s, i);
                std::string file;
                if (i < s.size() && s[i] == '"') {
                    size_t q = s.find('"', i + 1);
                    if (q == std::string::npos)
                        return fail(error, "unterminated quote in redirection");
                    file = s.substr(i + 1, q - i - 1);
                    i = q + 1;
                } else {
                    while (i < s.size() && !blank(s[i]) && s[i] != '<' && s[i] != '>' &&
                           s[i] != '|' && s[i] != '&')
                        file += s[i++];
                }
                if (file.empty()) return fail(error, "redirection without a file name");
                r.file = file;
            }
            reds.push_back(r);
            rest += ' ';
            continue;
        }
        if (c == '|' || c == '&') return fail(error, "pipes and command chains are not supported");
        rest += c;
        ++i;
    }
    return true;
}

}  // namespace

bool ParseCommand(const std::string& line, ParsedCommand& out, std::string* error) {
    out = ParsedCommand{};
    size_t i = skipBlanks(line, 0);
    size_t progEnd = i;
    std::string prog = programToken(line, progEnd);
    if (prog.empty()) return fail(error, "empty command line");
    if (!isInterpreter(prog)) {
        out.argv = SplitCommandLine(line);
        return true;
    }
    // Interpreter switches up to /c; /s means the outer quotes go whatever they hold.
    i = progEnd;
    bool stripAlways = false;
    for (;;) {
        i = skipBlanks(line, i);
        if (i + 1 < line.size() && line[i] == '/') {
            char sw = char(std::tolower(static_cast<unsigned char>(line[i + 1])));
            i += 2;
            if (sw == 'c') break;
            if (sw == 's') {
                stripAlways = true;
                continue;
            }
            if (sw == 'q' || sw == 'd') continue;
            return fail(error, "unsupported interpreter switch");
        }
        return fail(error, "the interpreter is only run with /c");
    }
    std::string cmd = line.substr(skipBlanks(line, i));
    while (!cmd.empty() && blank(cmd.back())) cmd.pop_back();
    if (!cmd.empty() && cmd.front() == '"') {
        size_t quotes = 0;
        for (char c : cmd) quotes += c == '"';
        // Like the interpreter: the first and the last quote go, unless the line is just
        // one quoted program name.
        if (stripAlways || quotes != 2 || cmd.back() != '"') {
            size_t last = cmd.rfind('"');
            if (last > 0) cmd.erase(last, 1);
            cmd.erase(0, 1);
        }
    }
    std::string rest;
    if (!extractRedirections(cmd, rest, out.redirections, error)) return false;
    out.argv = SplitCommandLine(rest);
    out.viaInterpreter = true;
    if (out.argv.empty() || out.argv[0].empty()) return fail(error, "no command after /c");
    return true;
}
