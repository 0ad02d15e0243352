// Mixes block by block; each volume step falls on the frame 4 ms of song
// (rounded to whole frames) after the one before.
#include "music/offline_song_mix.h"

#include <algorithm>
#include <cstdint>

#include "common/failure_detail.h"
#include "music/song_player.h"
#include "music/sound_layer.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFadeStepMs = 4;
constexpr int kBlockFrames = 4096;

// The frame of volume step k (0 for the first, volume 256).
std::int64_t stepFrame(const OfflineSongMix& r, int k) {
    return r.fadeFromFrame + (static_cast<std::int64_t>(k) + 1) * kFadeStepMs * kRate / 1000;
}

}  // namespace

bool mixSongOffline(const char* songPath, const OfflineSongMix& request,
                    std::vector<std::int16_t>& out, std::string& error) {
    out.assign(static_cast<std::size_t>(std::max(0, request.frames)) * 2, 0);
    SongPlayer player;
    player.useOfflineOutput(true);
    player.setSongName(songPath);
    char message[256] = {};
    char* target = message;
    if (!player.open(&target, 1)) {
        error = std::string(message) + " (" + failureDetail() + ")";
        return false;
    }
    player.setStartMs(request.startMs);
    player.play();
    std::int64_t done = 0;
    int step = 0;  // the next volume step
    const bool fading = request.fadeFromFrame >= 0;
    while (done < request.frames) {
        std::int64_t until = std::min<std::int64_t>(request.frames, done + kBlockFrames);
        if (fading && step < kSoundMaxVolume) {
            const std::int64_t at = stepFrame(request, step);
            if (at <= done) {
                player.layer().songSetMasterVolume(player.song, kSoundMaxVolume - step);
                ++step;
                continue;
            }
            until = std::min(until, at);
        }
        const int n = static_cast<int>(until - done);
        if (player.mixOffline(out.data() + done * 2, n) != n) {
            error = "the offline mix stopped at frame " + std::to_string(done);
            player.close(0);
            return false;
        }
        done = until;
    }
    player.close(0);
    return true;
}
