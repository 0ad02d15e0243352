// Implements shootFrame over the offline show and the frame plan.
#include "capture/shot_frame.h"

#include "capture/frame_plan.h"
#include "capture/offline_show.h"
#include "options/command_line.h"

ShotResult shootFrame(const ShotRequest& request, Surface& surface, std::vector<std::uint8_t>& rgba,
                      std::int64_t& frame, std::string& error) {
    const FramePlan plan(request.shotMs, kUntilShowEnd, request.framesPerSecond);
    frame = plan.firstFrame();
    OfflineShow show;
    show.reduceBy(request.supersample);
    if (!show.open(request.moduleName, surface, request.shape, plan.startMs(),
                   request.framesPerSecond, error)) {
        if (!show.pastTheEnd()) return ShotResult::Failed;
        error += ": there is no frame to take";
        return ShotResult::PastTheEnd;
    }
    if (!show.drawFrame()) {
        // A module that does not tell its end before Init ends here.
        error = "the show is over at " + showSecondsText(plan.startMs()) +
                ": there is no frame to take";
        return ShotResult::PastTheEnd;
    }
    show.readFrame(PixelOrder::Rgba, rgba);
    return ShotResult::Taken;
}
