// Implements shootFrame over the offline show and the frame plan.
#include "capture/shot_frame.h"

#include <cstdio>

#include "capture/frame_plan.h"
#include "capture/offline_show.h"
#include "options/command_line.h"

bool shootFrame(const ShotRequest& request, Surface& surface, std::vector<std::uint8_t>& rgba,
                std::int64_t& frame, std::string& error) {
    const FramePlan plan(request.shotMs, kUntilShowEnd, request.framesPerSecond);
    frame = plan.firstFrame();
    OfflineShow show;
    if (!show.open(request.moduleName, surface, request.shape, plan.startMs(),
                   request.framesPerSecond, error)) {
        return false;
    }
    if (!show.drawFrame()) {
        char text[96];
        std::snprintf(text, sizeof text, "the show is over at %.3f s: there is no frame to take",
                      plan.startMs() / 1000.0);
        error = text;
        return false;
    }
    show.readFrame(PixelOrder::Rgba, rgba);
    return true;
}
