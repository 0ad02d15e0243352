// The end of a capture or shot: the checks on a final name made before any
// work, and the captured files checked and given their final names. Every
// file is a working file made new beside its final name (never through a
// link or over what stands there) and renamed into place only when complete;
// an encoded capture ends with a last ffmpeg run that muxes the frames and
// the song.
#pragma once

#include <string>

#include "capture/capture_check.h"
#include "capture/capture_files.h"

class VideoSink;
class WorkingFile;

// What can be known before the module is loaded and the first frame drawn:
// the folder takes new files, and no folder stands at a final name.
bool finalNameUsable(const std::string& path, std::string& error);

// The captured files (the song alone, raw frames beside their song, or the
// video muxed with the song) checked for their planned sizes and renamed to
// their final names; sink is null for the song alone.
bool commitCapture(const CaptureFiles& files, bool raw, bool songOnly, VideoSink* sink,
                   WorkingFile& song, int audioRate, const PlannedCapture& planned,
                   long long songBytes, long long frameBytes, std::string& error);
