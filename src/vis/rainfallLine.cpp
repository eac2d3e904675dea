#include "rainfallLine.h"

#include <algorithm>

namespace {
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

int buildCharacters(char16_t* out, const uint8_t* bytes, int first, int last)
{
    int n = 0;
    for (int i = first; i <= last; ++i) {
        const uint8_t b = bytes[i];
        out[n++] = (b >= 32 && b <= 126) ? char16_t(b) : u'.';
    }
    return n;
}

// The strings are appended without separators. The count is only checked
// between strings, so one long string may carry the line past its width.
int buildStrings(char16_t* out, const uint8_t* bytes, int len, int first, int last, int minString)
{
    int n = 0;
    int pos = first;
    int count = 0;
    const int limit = last - first + 1;
    while (count <= limit && pos < len) {
        const int run = printableRunLength(bytes, len, pos, minString);
        if (run < 1) {
            ++pos;
            continue;
        }
        for (int k = 0; k < run; ++k) out[n++] = char16_t(bytes[pos + k]);
        count += run;
        pos += run;
    }
    return n;
}

int buildHex(char16_t* out, const uint8_t* bytes, int first, int last)
{
    int n = 0;
    for (int i = first; i <= last; ++i) {
        out[n++] = kHexDigits[bytes[i] >> 4];
        out[n++] = kHexDigits[bytes[i] & 15];
        out[n++] = u' ';
        out[n++] = u' ';
    }
    return n;
}

int buildDecimal(char16_t* out, const uint8_t* bytes, int first, int last)
{
    int n = 0;
    for (int i = first; i <= last; ++i) {
        const int v = bytes[i];
        if (v >= 100) out[n++] = char16_t(u'0' + v / 100);
        if (v >= 10) out[n++] = char16_t(u'0' + v / 10 % 10);
        out[n++] = char16_t(u'0' + v % 10);
        out[n++] = u' ';
    }
    return n;
}
}

int printableRunLength(const uint8_t* bytes, int len, int pos, int minLength)
{
    const int available = len - pos - 1;   // the last byte is left out
    if (minLength > available) return 0;
    int run = 0;
    while (run < available && bytes[pos + run] >= 32 && bytes[pos + run] < 126) ++run;
    return run >= minLength ? run : 0;
}

int buildRainLine(char16_t* out, const uint8_t* bytes, int len, const RainLineRules& rules)
{
    len = std::clamp(len, 0, kRainLineCapacity / 4);
    const int first = rules.stripEther ? 14 : 0;
    const int last = std::min(len - 1, first + rules.cells - 1);
    switch (rules.mode) {
    case RainMode::Hex: return buildHex(out, bytes, first, last);
    case RainMode::Decimal: return buildDecimal(out, bytes, first, last);
    case RainMode::Ascii: break;
    }
    return rules.stringsOnly ? buildStrings(out, bytes, len, first, last, rules.minString)
                             : buildCharacters(out, bytes, first, last);
}
