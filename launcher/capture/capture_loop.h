// The capture loop: draw frame k, read it back, hand it to the video sink,
// pull exactly the audio from its time to the next frame's (which moves the
// module's clock to that frame), write the audio. Ctrl-C stops it between
// frames.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "capture/frame_plan.h"
#include "capture/offline_show.h"
#include "capture/video_sink.h"

// Where the wall time of a capture went, for its closing line.
struct TimeShares {
    double drawing = 0.0;   // the module's frame, to its last pixel
    double readBack = 0.0;  // glReadPixels (BGRA) into a buffer of the frame writer
    double handOff = 0.0;   // waiting for the frame writer: the encoder's or the disk's pace
    double audio = 0.0;
    // On the frame writer's thread, overlapping the above.
    double flip = 0.0;   // rows turned top first (and to RGBA for a raw file)
    double write = 0.0;  // written to the encoder's pipe or the file
};

struct SongOutput {
    std::FILE* file;
    std::string path;  // for messages
};

// The frames to the sink and the song to its file; false on a failure (error
// set). Ends at the plan's end, the show's end or a stop request. Without a
// sink only the song is pulled, frame by frame as with one.
bool captureFrames(OfflineShow& show, const FramePlan& plan, int width, int height, VideoSink* sink,
                   const SongOutput& song, std::int64_t& framesDone, TimeShares& shares,
                   std::string& error);
