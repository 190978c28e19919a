#include "platform/win/muldiv.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    int64_t q = std::llabs(p) / std::llabs(int64_t(c));
    if ((std::llabs(p) % std::llabs(int64_t(c))) * 2 >= std::llabs(int64_t(c))) ++q;
    if ((p < 0) != (c < 0)) q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}
