// Errors the program lets pass so that it can go on (a set-up done another way, a failing
// folder filter, an office session that would not quit) still leave their line: in the day
// log once the program has named its writer, on standard error before that.
#pragma once

#include <string>

// The writer of the day log's "ErrorMessage" lines (null: standard error).
void SetPassedErrorWriter(void (*write)(const std::string& text));
// Writes `where`, a colon and `what`.
void LogPassedError(const std::string& where, const std::string& what);
// Inside a catch block: LogPassedError with the exception being handled ("an unknown
// exception" for one that is no std::exception).
void LogPassedException(const std::string& where);
