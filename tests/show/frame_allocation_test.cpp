// Whole frames of the show with the real renderer on a real offscreen
// context: the only heap allocations a frame makes are the two-byte letter
// copies the text effects hand to the outline text, one per letter drawn;
// frames without text allocate nothing at all.
#include <gtest/gtest.h>

#include "allocation_hooks.h"
#include "assets/texture_slot.h"
#include "effects/scene_renderer.h"
#include "gl_test.h"
#include "show/event_script.h"
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"
#include "show/scene_flags.h"

namespace {

constexpr FrustumParams kHost{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};
constexpr std::uint32_t kTextOverlays =
    OVERLAY_CREDITS | OVERLAY_TITLE_WORD | OVERLAY_TEXT_LINE_1 | OVERLAY_TEXT_LINE_2;

class RealFrames : public GlTest {};

TEST_F(RealFrames, AllocateOnlyTheLettersTheyDraw) {
    EventTimeline timeline;
    ASSERT_TRUE(timeline.buildScript());
    SceneRenderer renderer;
    renderer.text.createFont(nullptr, "Arial Black", 0.1f);
    TextureSlot slots[kTextureSlotCount];
    GlFrameState state(slots);
    SceneDirector director{timeline, renderer, state};

    int textFrames = 0;
    int quietFrames = 0;
    // A frame every 1.5 s through the whole show (every event but the
    // shortest), each drawn once before it is measured, so lists and buffers
    // made on first use are made already.
    for (int ms = 0; ms < 1560000; ms += 1500) {
        const std::uint32_t overlay = timeline.lookup(ms * 0.001).overlayFlags;
        ASSERT_EQ(director.renderScene(kHost, ms), 1) << ms;
        const std::size_t countBefore = allocation_hooks::count();
        const std::size_t bytesBefore = allocation_hooks::bytes();
        ASSERT_EQ(director.renderScene(kHost, ms), 1) << ms;
        const std::size_t allocations = allocation_hooks::count() - countBefore;
        const std::size_t bytes = allocation_hooks::bytes() - bytesBefore;
        if ((overlay & kTextOverlays) == 0) {
            EXPECT_EQ(allocations, 0u) << "at " << ms << " ms";
            ++quietFrames;
        } else {
            EXPECT_EQ(bytes, 2 * allocations) << "at " << ms << " ms";
            if (allocations > 0) ++textFrames;
        }
    }
    // About 580 s of the show draw no text and 980 s draw some.
    EXPECT_GT(quietFrames, 300);
    EXPECT_GT(textFrames, 400);
}

}  // namespace
