// The program's start, phase by phase, for the benchmark: with VEXOMAT_START_TRACE naming a
// file, each phase appends one line "<phase> <monotonic ns> <process CPU ns> <process id>" to
// it (the programs it starts trace into the same file). The monotonic clock is the one other
// processes read, so the benchmark can give each phase's time since it started the program.
// Without the variable a phase costs one test.
#pragma once

// `phase`: one word.
void StartTrace(const char* phase);
