// The song and the demo clock: the tracker song is played by the sound layer
// and its play position in milliseconds is the show's only time source.
#pragma once

class SongPlayer {
public:
    SongPlayer() = default;
    SongPlayer(const SongPlayer&) = delete;
    SongPlayer& operator=(const SongPlayer&) = delete;
    ~SongPlayer();

    void setSongName(const char* name);
    // 1 = song loaded; 0 = failed, with "Sound initialization failed!" or
    // "Soundfile not found" written through messageTarget.
    int open(char** messageTarget, int soundEnabled);
    int play();
    int timeMs();
    // With fade: 256 volume steps 4 ms apart, then stop, free and close.
    void close(int fade);

    void* song = nullptr;  // the sound layer's song handle
    char* songName = nullptr;
};
