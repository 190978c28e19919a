// The kernel's scaling helper: a * b / c computed in 64 bits and rounded half away from
// zero; -1 when c is 0 or the result does not fit in 32 bits.
#pragma once

int MulDiv(int a, int b, int c);
