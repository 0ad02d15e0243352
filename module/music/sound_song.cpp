// Mixing one song: libopenmpt renders float stereo, the master volume glides
// towards its target by at most a full swing per 10 ms, so no volume change
// clicks, and the result is added to the mix.
#include "music/sound_song.h"

#include <algorithm>
#include <cmath>

void SoundSong::mixInto(float* mix, int frames, int rate) {
    scratch_.resize(static_cast<std::size_t>(frames) * 2);
    blocks_.read(module, rate, scratch_.data(), frames);
    const float target = static_cast<float>(volume.load(std::memory_order_relaxed)) / 256.0f;
    const float step = 100.0f / static_cast<float>(rate);
    for (int i = 0; i < frames; ++i) {
        if (gain < target) {
            gain = std::min(target, gain + step);
        } else if (gain > target) {
            gain = std::max(target, gain - step);
        }
        mix[2 * i] += scratch_[2 * i] * gain;
        mix[2 * i + 1] += scratch_[2 * i + 1] * gain;
    }
}

namespace {
// How far before a part-way start the song is mixed, silently. A jump
// starts no note struck before its row, and this song's notes and effects
// die away within 20 s (every start tried, 25 s apart over the whole song,
// matched a run from the start after at most 20 s of lead), so from 30 s on
// the mix has forgotten where it started.
constexpr double kLeadSeconds = 30.0;
}  // namespace

void SoundSong::seekTo(double seconds, int rate) {
    // A jump lands on the first row starting at or after the time asked for
    // (rounding can push an exact row start one row on); a hair earlier
    // lands exactly on a row start.
    constexpr double kHair = 1e-6;
    double lead = std::max(0.0, seconds - kLeadSeconds);
    double at = openmpt_module_set_position_seconds(module, std::max(0.0, lead - kHair));
    // A jump past the end stops at the end: wrap around the song's length.
    // Only then is the length worth its cost (the whole song's timing).
    if (at < lead - 1.0) {
        const double length = openmpt_module_get_duration_seconds(module);
        if (length > 0.0) seconds = std::fmod(seconds, length);
        lead = std::max(0.0, seconds - kLeadSeconds);
        at = openmpt_module_set_position_seconds(module, std::max(0.0, lead - kHair));
    }
    for (double back = 0.25; at > lead + kHair; back *= 2.0) {
        const double from = std::max(0.0, lead - back);
        at = openmpt_module_set_position_seconds(module, from);
        if (from == 0.0) break;
    }
    const std::int64_t rowFrame = std::llround(at * rate);
    blocks_.restart(rowFrame);
    blocks_.skip(module, rate, std::llround(seconds * rate) - rowFrame);
}

void floatToPcm16(const float* in, std::int16_t* out, int samples) {
    for (int i = 0; i < samples; ++i) {
        const float v = std::clamp(in[i] * 32767.0f, -32768.0f, 32767.0f);
        out[i] = static_cast<std::int16_t>(std::lrint(v));
    }
}

openmpt_module* loadSongModule(const std::vector<std::uint8_t>& data, int taps) {
    int error = 0;
    const char* message = nullptr;
    // The song has one sub-song; mapping them all on load costs as much as
    // the whole rest of the load.
    const openmpt_module_initial_ctl ctls[] = {{"load.skip_subsongs_init", "1"},
                                               {nullptr, nullptr}};
    openmpt_module* module = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &error, &message, ctls);
    if (message != nullptr) openmpt_free_string(message);
    if (module == nullptr) return nullptr;
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, taps);
    return module;
}
