// What a finished capture file must hold before it takes its final name: the
// frames that were planned and the sound of them, read back from the file
// itself by ffprobe; a raw file's exact size. An encoder's exit status alone
// is no proof: ffmpeg exits 0 after failing to write a file's trailer on a
// full disk.
#pragma once

#include <cstdint>
#include <string>

struct PlannedCapture {
    std::int64_t frames = 0;
    int framesPerSecond = 60;
};

// ffprobe's answers, parsed (tested alone).
struct StreamCounts {
    long long videoPackets = -1;  // -1: no such stream
    long long audioPackets = -1;
};
StreamCounts parseStreamCounts(const std::string& csv);
// The end of the last "PTS,DURATION" packet line in seconds; negative when
// there is none.
double parseAudioEnd(const std::string& csv);

// How far the sound's end may be from the frames' (an AAC packet is 23 ms;
// the faults this catches are seconds).
constexpr double kSoundEndTolerance = 0.1;

// Runs ffprobe on the file behind fd (handed to it as a descriptor): true
// when it holds planned.frames video packets and sound to their end; false
// with error saying what it holds instead.
bool checkEncodedFile(int fd, const PlannedCapture& planned, std::string& error);
// True when the file behind fd holds exactly bytes; false with error set.
bool checkFileSize(int fd, const std::string& what, long long bytes, std::string& error);
