// Parsing of the composer's note, chord and melody notation, and chord
// voicing with smooth voice leading (least total movement between chords).
#include "harmony.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace {

int pitchClassOfLetter(char c) {
    switch (c) {
        case 'C':
            return 0;
        case 'D':
            return 2;
        case 'E':
            return 4;
        case 'F':
            return 5;
        case 'G':
            return 7;
        case 'A':
            return 9;
        case 'B':
            return 11;
        default:
            return -1;
    }
}

int mod12(int v) {
    return ((v % 12) + 12) % 12;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

}  // namespace

int parseNoteName(const std::string& text) {
    if (text.size() < 2) return -1;
    int pc = pitchClassOfLetter(text[0]);
    if (pc < 0) return -1;
    std::size_t i = 1;
    if (text[i] == '#') {
        ++pc;
        ++i;
    } else if (text[i] == 'b') {
        --pc;
        ++i;
    }
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '9') return -1;
    const int octave = text[i] - '0';
    return (octave + 1) * 12 + pc;
}

Chord Chord::transposed(int semitones) const {
    Chord c = *this;
    c.root = mod12(root + semitones);
    return c;
}

bool Chord::contains(int pitch) const {
    const int pc = mod12(pitch - root);
    return std::find(intervals.begin(), intervals.end(), pc) != intervals.end();
}

Chord parseChord(const std::string& symbol) {
    if (symbol.empty()) throw std::invalid_argument("empty chord");
    int root = pitchClassOfLetter(symbol[0]);
    if (root < 0) throw std::invalid_argument("bad chord root: " + symbol);
    std::size_t i = 1;
    if (i < symbol.size() && symbol[i] == '#') {
        ++root;
        ++i;
    } else if (i < symbol.size() && symbol[i] == 'b') {
        --root;
        ++i;
    }
    static const std::pair<const char*, std::vector<int>> kQualities[] = {
        {"", {0, 4, 7}},       {"m", {0, 3, 7}},       {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}}, {"7", {0, 4, 7, 10}},   {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},   {"add9", {0, 2, 4, 7}}, {"madd9", {0, 2, 3, 7}},
        {"dim", {0, 3, 6}},
    };
    const std::string suffix = symbol.substr(i);
    for (const auto& [name, intervals] : kQualities) {
        if (suffix == name) return Chord{mod12(root), intervals};
    }
    throw std::invalid_argument("bad chord quality: " + symbol);
}

Theme parseTheme(const std::string& name, const std::string& chords, const std::string& melody) {
    Theme theme;
    theme.name = name;
    for (const std::string& c : words(chords)) theme.chords.push_back(parseChord(c));
    for (const std::string& barText : split(melody, '|')) {
        MelodyBar bar;
        int rows = 0;
        for (const std::string& w : words(barText)) {
            const std::size_t colon = w.find(':');
            if (colon == std::string::npos) throw std::invalid_argument("bad note: " + w);
            const std::string pitchText = w.substr(0, colon);
            const int length = std::atoi(w.c_str() + colon + 1);
            const int pitch = pitchText == "r" ? -1 : parseNoteName(pitchText);
            if ((pitch < 0 && pitchText != "r") || length <= 0) {
                throw std::invalid_argument("bad note: " + w);
            }
            bar.push_back({pitch, length});
            rows += length;
        }
        if (rows != kRowsPerBar) {
            throw std::invalid_argument(name + ": a bar of " + std::to_string(rows) + " rows");
        }
        theme.bars.push_back(bar);
    }
    if (theme.bars.size() != theme.chords.size()) {
        throw std::invalid_argument(name + ": chords and bars differ in number");
    }
    return theme;
}

std::vector<int> voiceChord(const Chord& chord, const std::vector<int>& previous, int voices,
                            int low, int high) {
    // Candidates: every choice of `voices` ascending notes from the chord's
    // tones within the range, covering the root, third-ish and fifth first.
    std::vector<int> pool;
    for (int p = low; p <= high; ++p) {
        if (chord.contains(p)) pool.push_back(p);
    }
    std::vector<int> best;
    long bestCost = LONG_MAX;
    const int n = static_cast<int>(pool.size());
    std::vector<int> pick(voices);
    // Enumerate ascending combinations spanning at most an octave and a half.
    std::function<void(int, int)> choose = [&](int start, int depth) {
        if (depth == voices) {
            if (pick.back() - pick.front() > 19) return;
            // Prefer voicings that contain distinct pitch classes.
            std::vector<int> classes;
            for (int p : pick) classes.push_back(mod12(p));
            std::sort(classes.begin(), classes.end());
            const long distinct = std::unique(classes.begin(), classes.end()) - classes.begin();
            long cost = (voices - distinct) * 40;
            if (!chord.contains(pick.front()) || mod12(pick.front() - chord.root) != 0) cost += 1;
            if (previous.size() == static_cast<std::size_t>(voices)) {
                for (int v = 0; v < voices; ++v) cost += std::abs(pick[v] - previous[v]) * 4;
            } else {
                cost += pick.front() - low;
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = pick;
            }
            return;
        }
        for (int i = start; i < n; ++i) {
            pick[depth] = pool[i];
            choose(i + 1, depth + 1);
        }
    };
    choose(0, 0);
    return best;
}

int rootIn(const Chord& chord, int low) {
    return low + mod12(chord.root - low);
}
