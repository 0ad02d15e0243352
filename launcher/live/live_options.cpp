// The live options, set by the launcher's main before the dialog runs.
#include "live/live_options.h"

namespace {

LiveOptions current;

}  // namespace

void setLiveOptions(const LiveOptions& options) {
    current = options;
}

const LiveOptions& liveOptions() {
    return current;
}
