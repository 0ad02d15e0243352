// What the page's C++ side tells the page in words: the refusal of a shot
// past the show's end in talvenor's words, the script for the player bar,
// and the address read as the launcher's options, as JSON for the page's
// script. Plain code over the show host's texts, testable without a browser.
#pragma once

#include <cstdint>
#include <string>

#include "host/optional_exports.h"
#include "live/show_controls.h"
#include "options/page_address.h"

// "error: --shot 2000.000 s: " + shootFrame's PastTheEnd text, the time being
// that of the grid frame the shot went to, as talvenor --shot says it.
std::string shotPastTheEndText(std::int64_t frame, int framesPerSecond, const std::string& why);

// text as a JSON string, quotes included.
std::string jsonString(const std::string& text);

// {"endMs":E,"canSeek":true,"events":[{"startMs":S,"what":"burst"},...]}: the
// show's end and the script's events as --list names them.
std::string playerScriptJson(const ShowControls& controls, const OptionalExports& exports);

// The address read, with the show's end (endMs, -1 unknown) checked against
// a live start (startPastTheEndText): {"error":"...","shot":false,
// "startMs":...,...}; the live show's settings are its show request's.
std::string pageAddressJson(const PageAddress& address, int endMs);
