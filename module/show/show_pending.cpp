// Placeholder until the script and the director land: the show is empty.
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"

TimelineEvent* EventTimeline::add(double, std::uint32_t, std::int32_t, std::uint32_t,
                                  std::uint32_t, std::int32_t, std::uint32_t, std::int32_t,
                                  std::uint32_t) {
    return nullptr;
}
TimelineEvent* EventTimeline::lookup(double, double*, std::uint32_t*, std::int32_t*,
                                     std::uint32_t*, std::uint32_t*, std::int32_t*,
                                     std::uint32_t*, std::int32_t*, std::uint32_t*) const {
    return nullptr;
}
bool EventTimeline::buildScript() { return true; }
void EventTimeline::clear() {}
int SceneDirector::renderScene(const FrustumParams&, int) { return 1; }
void GlFrameState::clearBuffers(bool, bool) {}
void GlFrameState::setProjection(const FrustumParams&) {}
void GlFrameState::setDepthFunction(unsigned) {}
void GlFrameState::setDepthTest(bool) {}
void GlFrameState::setFaceCulling(bool) {}
void GlFrameState::setColor(float, float, float) {}
void GlFrameState::bindTexture(std::int32_t, std::uint32_t) {}
