#include "ui/format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct Output {
    char* out;
    size_t size;
    size_t length = 0;
    bool full = false;

    void append(const char* bytes, size_t count) {
        if (full) return;
        if (length + count > size - 1) {
            full = true;
            count = size - 1 - length;
            // Back off to the start of a character: continuation bytes are 10xxxxxx.
            while (count > 0 && (bytes[count] & 0xC0) == 0x80) --count;
        }
        std::memcpy(out + length, bytes, count);
        length += count;
    }
};

}  // namespace

char* formatText(char* out, size_t size, const char* format,
                 std::initializer_list<FormatArg> args) {
    if (!out || size == 0) return out;
    Output o{out, size};
    const FormatArg* arg = args.begin();
    for (const char* c = format ? format : ""; *c && !o.full; ++c) {
        if (c[0] != '%') {
            size_t run = std::strcspn(c, "%");  // whole characters at once, so a cut can back off
            o.append(c, run);
            c += run - 1;
            continue;
        }
        char conversion = c[1];
        if (conversion == '%') {
            o.append("%", 1);
            ++c;
        } else if ((conversion == 's' || conversion == 'd' || conversion == 'i' ||
                    conversion == 'u') &&
                   arg != args.end()) {
            if (arg->isText) {
                o.append(arg->text, std::strlen(arg->text));
            } else {
                char number[16];
                int n = std::snprintf(number, sizeof number, "%d", arg->number);
                o.append(number, static_cast<size_t>(n));
            }
            ++arg;
            ++c;
        } else {
            o.append(c, 1);
        }
    }
    out[o.length] = '\0';
    return out;
}

const char* formatDuration(int32_t s) {
    static char buffer[32];
    int32_t days = s / 86400;
    int32_t hours = s / 3600 - 24 * days;
    int32_t minutes = s / 60 - 60 * (s / 3600);
    int32_t seconds = s % 60;
    if (days > 0)
        std::snprintf(buffer, sizeof buffer, "%d:%.2d:%.2d:%.2d", days, hours, minutes, seconds);
    else if (hours > 0)
        std::snprintf(buffer, sizeof buffer, "%d:%.2d:%.2d", hours, minutes, seconds);
    else if (minutes <= 0)
        std::snprintf(buffer, sizeof buffer, "%d", seconds);
    else
        std::snprintf(buffer, sizeof buffer, "%d:%.2d", minutes, seconds);
    return buffer;
}
