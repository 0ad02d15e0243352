// The files of a capture and the ffmpeg command lines that make them. Nothing
// is written under the final name until it is complete: the frames go to
// H.264 in a temporary video file while the song goes raw to a temporary
// audio file, and a last ffmpeg run muxes both into a temporary final file
// that is then renamed. (Feeding ffmpeg video and audio through two pipes at
// once could block both sides; a file for the audio cannot.)
#pragma once

#include <chrono>
#include <string>
#include <vector>

// "dir/show.mp4" -> "dir/show.<tag>.mp4"; a name without an extension gets
// ".<tag>" appended.
std::string taggedName(const std::string& path, const std::string& tag);

// Raw output: frames in FILE (RGBA, top row first, one after another), the
// song beside it in FILE.s16 (interleaved stereo, signed 16-bit little
// endian).
bool isRawCapture(const std::string& path);
std::string rawAudioName(const std::string& path);
// Song only: FILE.s16 holds the song of the frames' stretch, as a raw
// capture's FILE.s16 would, and no frame is drawn.
bool isSongCapture(const std::string& path);

struct CaptureFiles {
    std::string finalPath;
    std::string partialPath;  // the muxed file before its rename
    std::string videoPath;    // frames only (or the raw frames)
    std::string audioPath;    // raw song
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
