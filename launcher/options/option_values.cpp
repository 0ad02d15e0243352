// Implements the option values with digit-by-digit accumulation that stops
// before any overflow, so "4294967616" is too large rather than 320.
#include "options/option_values.h"

#include <cmath>
#include <cstdlib>

namespace {

// Reads digits from text[at] on while the value stays at or below max; the
// index after the last digit, or npos when there were none or it grew past max.
std::size_t readDigits(const std::string& text, std::size_t at, long max, long& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        const long digit = text[at] - '0';
        if (digit > max || value > (max - digit) / 10) return std::string::npos;
        value = value * 10 + digit;
        ++at;
    }
    return at == start ? std::string::npos : at;
}

}  // namespace

bool parseWholeNumber(const std::string& text, long min, long max, long& value) {
    long v = 0;
    if (readDigits(text, 0, max, v) != text.size() || v < min) return false;
    value = v;
    return true;
}

bool parseSignedNumber(const std::string& text, long min, long max, long& value) {
    const bool negative = !text.empty() && text[0] == '-';
    long magnitude = 0;
    const long limit = negative ? -min : max;
    if (limit < 0) return false;
    if (readDigits(text, negative ? 1 : 0, limit, magnitude) != text.size()) return false;
    const long v = negative ? -magnitude : magnitude;
    if (v < min || v > max) return false;
    value = v;
    return true;
}

bool parseSize(const std::string& text, int minWidth, int minHeight, int maxSide, int& width,
               int& height) {
    long w = 0;
    long h = 0;
    const std::size_t x = readDigits(text, 0, maxSide, w);
    if (x == std::string::npos || x >= text.size() || text[x] != 'x') return false;
    if (readDigits(text, x + 1, maxSide, h) != text.size()) return false;
    if (w < minWidth || h < minHeight) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool parseSongSeconds(const std::string& text, int& ms) {
    if (text.empty() || text.size() > 32) return false;
    for (char c : text) {
        if ((c < '0' || c > '9') && c != '.') return false;
    }
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(seconds)) return false;
    if (seconds < 0.0 || seconds > kMaxSongSeconds) return false;
    ms = static_cast<int>(std::llround(seconds * 1000.0));
    return true;
}
