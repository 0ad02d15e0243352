// The sound layer's state (SoundLayer::System) and the steps its calls share:
// the song list and its lock, mixing for the output, the clock heard, and
// positioning, starting and stopping a song. Only sound_layer.cpp includes it.
#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <vector>

#include "music/audio_output.h"
#include "music/song_stream.h"
#include "music/sound_layer.h"
#include "music/sound_song.h"

struct SoundLayer::System {
    int output = kSoundOutputDevice;
    SoundFileCallbacks callbacks;
    int driver = 0;
    int mixer = kSoundMixerQuality;
    bool initialised = false;
    int rate = 44100;
    std::unique_ptr<AudioOutput> device;  // from init to close (offline: the base, plays nothing)

    std::shared_mutex songsMutex;
    std::vector<std::unique_ptr<SoundSong>> songs;
    std::vector<float> mixBuffer;  // the output thread's

    std::atomic<SoundCallListener> callListener{nullptr};

    void heard(const char* name, long long a = 0, long long b = 0, long long c = 0) const {
        if (const SoundCallListener listener = callListener.load(std::memory_order_relaxed)) {
            listener(name, a, b, c);
        }
    }

    bool known(SoundSong* song) const {
        return song != nullptr &&
               std::any_of(songs.begin(), songs.end(),
                           [song](const std::unique_ptr<SoundSong>& s) { return s.get() == song; });
    }

    bool offline() const { return output == kSoundOutputOffline; }

    void closeLayer() {
        if (!initialised) return;
        device.reset();  // no mixing after this
        std::unique_lock<std::shared_mutex> lock(songsMutex);
        songs.clear();
        initialised = false;
    }

    // Called by the output (its own thread, or the caller's for an output
    // that mixes ahead when told).
    void mixAll(std::int16_t* out, int frames, int latencyFrames) {
        std::shared_lock<std::shared_mutex> lock(songsMutex);
        // After the lock: a seek holds it a while, and the chunk reaches the
        // output only now.
        const auto now = SongClock::Clock::now();
        mixBuffer.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
        for (const std::unique_ptr<SoundSong>& s : songs) {
            if (!s->playing) continue;
            s->mixInto(mixBuffer.data(), frames, rate);
            s->clock.mixed(s->framesMixed, frames, latencyFrames, now);
            s->framesMixed += frames;
        }
        floatToPcm16(mixBuffer.data(), out, frames * 2);
    }

    // The song time heard now: the output's clock where it keeps one and the
    // song plays or is held there, else the song's own.
    int heardMs(SoundSong* song) {
        if (song->playing || song->paused) {
            if (const std::optional<int> ms = device->heardMs()) return *ms;
        }
        return song->clock.nowMs(SongClock::Clock::now());
    }

    // Positions the song at its start time, unless the output never mixes.
    void position(SoundSong* song) const {
        if (device->mixes()) song->seekTo(song->startMs / 1000.0, rate);
    }

    // With the song list locked alone and the song at its start time: plays.
    void startPlaying(SoundSong* song) const {
        song->framesMixed = 0;
        song->gain = static_cast<float>(song->volume.load()) / kSoundMaxVolume;
        song->clock.start(song->startMs, rate, offline());
        song->playing = true;
        song->paused = false;
    }

    // A pause or seek: what the output still holds of the old place is dropped.
    int changeQueued(const std::function<bool()>& change) {
        return device->changeAndDiscard(change) ? 1 : 0;
    }

    // With the song list locked alone: plays from the song's start time.
    void playFromStart(SoundSong* song) const {
        position(song);
        startPlaying(song);
    }

    // Stops a known song; what the output holds plays out.
    int stop(SoundSong* song) {
        int atMs = 0;
        {
            std::unique_lock<std::shared_mutex> lock(songsMutex);
            if (!known(song)) return 0;
            if (!song->playing && !song->paused) return 1;
            atMs = heardMs(song);
            song->playing = false;
            song->paused = false;
            song->clock.notBefore(atMs);
        }
        device->stopAt(atMs);
        return 1;
    }
};
