// Placeholder until the sound layer lands: opening always fails.
#include <cstring>

#include "music/song_player.h"

SongPlayer::~SongPlayer() = default;
void SongPlayer::setSongName(const char*) {}
int SongPlayer::open(char** messageTarget, int) {
    std::strcpy(*messageTarget, "Sound initialization failed!");
    return 0;
}
int SongPlayer::play() { return 0; }
int SongPlayer::timeMs() { return 0; }
void SongPlayer::close(int) {}
