#include "platform/rtl/noProgressLimit.h"

#include <cstdlib>
#include <string>

std::chrono::milliseconds NoProgressLimit() {
    static const std::chrono::milliseconds limit = [] {
        std::chrono::milliseconds value = std::chrono::minutes(5);
        if (const char* text = std::getenv("VEXOMAT_NO_PROGRESS_LIMIT_MS")) {
            char* end = nullptr;
            const long long ms = std::strtoll(text, &end, 10);
            if (end != text && *end == '\0' && ms > 0) value = std::chrono::milliseconds(ms);
        }
        return value;
    }();
    return limit;
}

long long NoProgressLimitSeconds() {
    const long long s = NoProgressLimit().count() / 1000;
    return s > 0 ? s : 1;
}
