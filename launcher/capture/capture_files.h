// The files of a capture and the ffmpeg command lines that make and check
// them. Nothing is written under the final name until it is complete and
// checked: the frames go to H.264 in a working video file while the song
// goes raw to a working audio file, and a last ffmpeg run muxes both into a
// working file that takes the final name once ffprobe finds in it what was
// planned. (Feeding ffmpeg video and audio through two pipes at once could
// block both sides; a file for the audio cannot.)
#pragma once

#include <chrono>
#include <string>
#include <vector>

// Raw output: frames in FILE (RGBA, top row first, one after another), the
// song beside it in FILE.s16 (interleaved stereo, signed 16-bit little
// endian).
bool isRawCapture(const std::string& path);
std::string rawAudioName(const std::string& path);
// Song only: FILE.s16 holds the song of the frames' stretch, as a raw
// capture's FILE.s16 would, and no frame is drawn.
bool isSongCapture(const std::string& path);

// The names a capture's files take when complete: the video (or the raw
// frames, or the song alone) and, for a raw capture, the song beside it.
struct CaptureFiles {
    std::string finalPath;
    std::string songPath;  // empty when the song is muxed into finalPath
};
CaptureFiles captureFilesFor(const std::string& finalPath);

// The x264 preset: "veryfast", or $SORVANEL_CAPTURE_PRESET when set.
std::string encoderPreset();

// How long the encoder may take no data before the capture gives up on it:
// 30 s, or $SORVANEL_ENCODER_TIMEOUT whole seconds (1 to 3600) when set.
// False with error set for a value out of that range.
bool encoderTimeout(std::chrono::milliseconds& timeout, std::string& error);

// ffmpeg reading BGRA frames of width x height on its standard input at
// framesPerSecond and writing them as H.264 (4:2:0) to videoPath.
std::vector<std::string> encodeArguments(const std::string& videoPath, int width, int height,
                                         int framesPerSecond, const std::string& preset);
// ffmpeg muxing the video with the raw song (audioRate Hz stereo) into
// outputPath: the video copied, the song as AAC (FLAC for .mkv).
std::vector<std::string> muxArguments(const std::string& videoPath, const std::string& audioPath,
                                      int audioRate, const std::string& outputPath,
                                      const std::string& finalPath);

// ffprobe counting the packets of each stream of path: lines "video,N" and
// "audio,N".
std::vector<std::string> streamCountArguments(const std::string& path);
// ffprobe listing the first audio stream's packets of path, "PTS,DURATION"
// in seconds a line: the last one says where the sound ends.
std::vector<std::string> audioPacketArguments(const std::string& path);
