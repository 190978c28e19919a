#include "platform/rtl/passedErrors.h"

#include <atomic>
#include <cstdio>
#include <exception>

namespace {
std::atomic<void (*)(const std::string&)> g_writer{nullptr};
}  // namespace

void SetPassedErrorWriter(void (*write)(const std::string& text)) { g_writer = write; }

void LogPassedError(const std::string& where, const std::string& what) {
    const std::string line = where + ": " + what;
    if (auto* write = g_writer.load()) {
        write(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

void LogPassedException(const std::string& where) {
    std::string what = "an unknown exception";
    try {
        if (std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        // No std::exception: it has no text of its own, and the line says so.
    }
    LogPassedError(where, what);
}
