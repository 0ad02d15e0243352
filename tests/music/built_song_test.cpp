// The song the build made, read back with libopenmpt: an Impulse Tracker
// module at tempo 150 and speed 6 that lasts the whole script, whose
// sections follow the show's own script table (quiet under the text scenes,
// drums under the scenes with meshes, something audible at every event
// boundary, the final chord at 1560 s), at sound levels that neither clip
// nor vanish.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "arranger.h"
#include "music_test_support.h"
#include "show/event_script.h"
#include "show/scene_flags.h"

namespace {

constexpr int kRowsPerSecond = 10;
constexpr std::uint32_t kMeshOverlays =
    OVERLAY_SWARM | OVERLAY_SWARM_TRIPLE | OVERLAY_CIRCLE_A | OVERLAY_CIRCLE_B;
constexpr std::uint32_t kTextLines = OVERLAY_TEXT_LINE_1 | OVERLAY_TEXT_LINE_2;

struct ModuleDeleter {
    void operator()(openmpt_module* m) const { openmpt_module_destroy(m); }
};
using Module = std::unique_ptr<openmpt_module, ModuleDeleter>;

Module loadSong() {
    const std::vector<std::uint8_t> bytes = readBytes(builtSongPath());
    return Module(openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr));
}

// Note-ons (1..120) of every row of the song in play order, per channel.
struct NoteTable {
    int channels = 0;
    std::vector<int> notes;  // rows x channels
    int rows() const { return channels ? static_cast<int>(notes.size()) / channels : 0; }
    bool noteOn(int row, int ch) const {
        const int v = notes[row * channels + ch];
        return v >= 1 && v <= 120;
    }
    int count(int from, int to, std::initializer_list<int> chs) const {
        int n = 0;
        for (int r = from; r < to; ++r) {
            for (int ch : chs) n += noteOn(r, ch) ? 1 : 0;
        }
        return n;
    }
};

NoteTable readNotes(openmpt_module* mod) {
    NoteTable t;
    t.channels = openmpt_module_get_num_channels(mod);
    for (int o = 0; o < openmpt_module_get_num_orders(mod); ++o) {
        const int p = openmpt_module_get_order_pattern(mod, o);
        for (int r = 0; r < openmpt_module_get_pattern_num_rows(mod, p); ++r) {
            for (int ch = 0; ch < t.channels; ++ch) {
                t.notes.push_back(openmpt_module_get_pattern_row_channel_command(
                    mod, p, r, ch, OPENMPT_MODULE_COMMAND_NOTE));
            }
        }
    }
    return t;
}

struct Event {
    int startRow;
    int endRow;
    const ScriptRow* row;
};

std::vector<Event> scriptEvents() {
    std::vector<Event> out;
    double start = 0.0;
    for (const ScriptRow& r : kShowScript) {
        out.push_back({static_cast<int>(std::lround(start * kRowsPerSecond)),
                       static_cast<int>(std::lround(r.end * kRowsPerSecond)), &r});
        start = r.end;
    }
    return out;
}

bool isText(const Event& e) {
    return (e.row->overlayFlags & kTextLines) == kTextLines;
}

// Scenes with swarms or circles, and the opening's first mesh figure.
bool isMesh(const Event& e) {
    if (e.row->overlayFlags & kMeshOverlays) return true;
    const bool figure = e.row->sceneFlags & (SCENE_MESH_A | SCENE_MESH_B | SCENE_MESH_C);
    return figure && (e.row->overlayFlags & ~OVERLAY_FADE_ADD_DOWN) == 0;
}

class BuiltSong : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        module_ = loadSong().release();
        ASSERT_NE(module_, nullptr);
        notes_ = new NoteTable(readNotes(module_));
    }
    static void TearDownTestSuite() {
        openmpt_module_destroy(module_);
        delete notes_;
    }
    static openmpt_module* module_;
    static NoteTable* notes_;
};

openmpt_module* BuiltSong::module_ = nullptr;
NoteTable* BuiltSong::notes_ = nullptr;

TEST_F(BuiltSong, IsAnImpulseTrackerModuleThatLastsTheWholeScript) {
    const char* type = openmpt_module_get_metadata(module_, "type");
    EXPECT_STREQ(type, "it");
    openmpt_free_string(type);
    const double seconds = openmpt_module_get_duration_seconds(module_);
    EXPECT_GE(seconds, 1561.0);
    EXPECT_LT(seconds, 1565.0);  // and loops soon after the show ends
    EXPECT_EQ(openmpt_module_get_current_tempo(module_), 150);
    EXPECT_EQ(openmpt_module_get_current_speed(module_), 6);
    EXPECT_EQ(notes_->channels, kChannelCount);
    EXPECT_EQ(notes_->rows(), static_cast<int>(std::lround(seconds * kRowsPerSecond)));
}

TEST_F(BuiltSong, EveryRowLastsATenthOfASecond) {
    for (int row : {143, 384, 7504, 9690, 15600}) {
        int order = 0, rest = row;
        while (rest >= openmpt_module_get_pattern_num_rows(
                           module_, openmpt_module_get_order_pattern(module_, order))) {
            rest -= openmpt_module_get_pattern_num_rows(
                module_, openmpt_module_get_order_pattern(module_, order));
            ++order;
        }
        EXPECT_NEAR(openmpt_module_set_position_order_row(module_, order, rest), row / 10.0, 1e-6);
    }
}

TEST_F(BuiltSong, TextScenesAreQuietAndMeshScenesHaveDrums) {
    int texts = 0, meshes = 0;
    for (const Event& e : scriptEvents()) {
        SCOPED_TRACE(testing::Message() << "event at " << e.startRow / 10.0 << " s");
        if (isText(e)) {
            ++texts;
            EXPECT_EQ(notes_->count(e.startRow, e.endRow, {kChKick, kChSnare}), 0);
            EXPECT_GT(notes_->count(e.startRow, e.endRow, {kChLead}), 40);  // it has a tune
        } else if (isMesh(e)) {
            ++meshes;
            const int hits =
                notes_->count(e.startRow, e.endRow, {kChKick, kChSnare, kChHat, kChPerc});
            EXPECT_GE(hits, (e.endRow - e.startRow) / kRowsPerSecond);
        }
    }
    EXPECT_EQ(texts, 12);
    EXPECT_EQ(meshes, 50);
}

TEST_F(BuiltSong, SomethingSoundsAtEveryEventBoundary) {
    const std::vector<Event> events = scriptEvents();
    for (std::size_t i = 1; i < events.size(); ++i) {
        const int row = events[i].startRow;
        EXPECT_TRUE(notes_->noteOn(row, kChAccent) || notes_->noteOn(row, kChSwell))
            << "no accent at " << row / 10.0 << " s";
    }
}

TEST_F(BuiltSong, EndsOnAChordAt1560SecondsAndThenOnlyReleases) {
    const int end = 15600;
    EXPECT_TRUE(notes_->noteOn(end, kChKick));
    EXPECT_EQ(notes_->count(end, end + 1, {kChPad1, kChPad2, kChPad3, kChPad4}), 4);
    EXPECT_EQ(
        notes_->count(end + 1, notes_->rows(), {kChKick, kChSnare, kChBass, kChPad1, kChLead}), 0);
}

TEST_F(BuiltSong, TheQuietTunesStayInTheirKey) {
    // A text scene's lead uses the seven notes of its minor key and at most
    // the raised seventh besides: harmony, not noise.
    for (const Event& e : scriptEvents()) {
        if (!isText(e)) continue;
        std::set<int> classes;
        for (int r = e.startRow; r < e.endRow; ++r) {
            if (notes_->noteOn(r, kChLead))
                classes.insert((notes_->notes[r * notes_->channels + kChLead] - 1) % 12);
        }
        EXPECT_LE(classes.size(), 8u) << "text scene at " << e.startRow / 10.0 << " s";
        EXPECT_GE(classes.size(), 5u);
    }
}

struct Level {
    double peak;
    double rmsDb;
};

Level levelAt(openmpt_module* mod, double from, double seconds) {
    openmpt_module_set_position_seconds(mod, from);
    std::vector<float> audio(static_cast<std::size_t>(seconds * 44100) * 2);
    openmpt_module_read_interleaved_float_stereo(mod, 44100, audio.size() / 2, audio.data());
    double peak = 0.0, sum = 0.0;
    for (float v : audio) {
        peak = std::max(peak, static_cast<double>(std::fabs(v)));
        sum += static_cast<double>(v) * v;
    }
    return {peak, 10.0 * std::log10(sum / audio.size() + 1e-20)};
}

TEST_F(BuiltSong, NeitherClipsNorFadesAwayAndTheTextScenesAreCalmer) {
    const Level title = levelAt(module_, 14.3, 4.0);
    const Level text = levelAt(module_, 60.0, 6.0);
    const Level mesh = levelAt(module_, 243.0, 6.0);
    const Level circles = levelAt(module_, 985.0, 6.0);
    for (const Level& l : {title, text, mesh, circles}) {
        EXPECT_LT(l.peak, 1.0);
        EXPECT_GT(l.rmsDb, -30.0);
    }
    EXPECT_LT(text.rmsDb, mesh.rmsDb - 3.0);
}

}  // namespace
