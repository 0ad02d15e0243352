// The golden instants: chosen instants across the script, shot at 320 x 240,
// and a few of them at 1280 x 720 in both picture shapes. The golden-frame
// tests compare them with the references in tests/golden/; the ES3 tests
// compare the show on the GL subset with the desktop GL path there.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace capture_test {

struct Instant {
    const char* name;
    const char* seconds;
    const char* shows;
};

// clang-format off
constexpr Instant kInstants[] = {
    {"burst",            "0.5",   "the sprite burst after a colour clear"},
    {"credits_at_rest",  "14.25", "the eight names coming to rest"},
    {"title",            "16.5",  "the title word spreading towards the viewer"},
    {"trails",           "17.2",  "the burst drawn over earlier frames, no colour clear"},
    {"fade_add_down",    "21",    "figure A under a falling additive fade"},
    {"figure_a",         "30",    "figure A alone, sphere-mapped"},
    {"text_scene",       "60",    "both wave-text lines over figure A"},
    {"fade_to_black",    "120.5", "figure A darkening"},
    {"fade_from_black",  "125",   "figure C and a swarm coming out of black"},
    {"swarm",            "135",   "figure C, object-linear, with a swarm"},
    {"fade_add_up",      "232.5", "the burst under a rising additive fade"},
    {"circle_a",         "250",   "figure B with the first circle"},
    {"circle_b",         "370",   "figure C with the second circle"},
    {"triple_swarm",     "1370",  "figure C with three swarms"},
};
// clang-format on

// The 4:3 instants above at 320 x 240, and a few of them at the capture
// default of 1280 x 720: pillarboxed, and opened out with --widescreen.
struct GoldenCase {
    Instant instant;
    const char* size;
    bool widescreen;
};

inline std::string referenceName(const GoldenCase& c) {
    std::string name = c.instant.name;
    if (std::string(c.size) != "320x240") {
        name += std::string("_") + c.size + (c.widescreen ? "_widescreen" : "_pillarbox");
    }
    return name;
}

inline void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << referenceName(c);
}

inline std::vector<GoldenCase> goldenCases() {
    std::vector<GoldenCase> cases;
    for (const Instant& instant : kInstants) cases.push_back({instant, "320x240", false});
    for (const char* name : {"credits_at_rest", "swarm", "fade_to_black"}) {
        for (const Instant& instant : kInstants) {
            if (std::string(instant.name) != name) continue;
            cases.push_back({instant, "1280x720", false});
            cases.push_back({instant, "1280x720", true});
        }
    }
    return cases;
}

}  // namespace capture_test
