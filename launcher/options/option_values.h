// The values the launcher's options take, read from their text with their
// ranges checked: every number on the command line goes through here once.
// Nothing wraps or is clamped: text outside the range is refused.
#pragma once

#include <string>

// A decimal whole number from min to max, digits only (no sign, no spaces).
bool parseWholeNumber(const std::string& text, long min, long max, long& value);

// A whole number that may start with '-' (an offset), from min to max.
bool parseSignedNumber(const std::string& text, long min, long max, long& value);

// "WxH": two whole numbers joined by 'x', each side from minSide to maxSide
// (width) or minHeight to maxSide (height).
bool parseSize(const std::string& text, int minWidth, int minHeight, int maxSide, int& width,
               int& height);

// The longest song time an option takes, in seconds: keeps milliseconds in
// an int.
constexpr double kMaxSongSeconds = 2000000.0;

// Seconds as typed ("12", "14.3") to whole milliseconds, rounded to nearest.
// False for text that is not a plain finite number from 0 to kMaxSongSeconds.
bool parseSongSeconds(const std::string& text, int& ms);
