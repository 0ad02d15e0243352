// The built-in script as the timeline holds it after buildScript: its
// shape, totals and a few known rows, and the lookup at its edges.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "show/event_timeline.h"
#include "show/scene_flags.h"

namespace {

class ShowScript : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(timeline.buildScript());
        for (const TimelineEvent* e = timeline.head; e != nullptr; e = e->next) {
            events.push_back(e);
        }
    }

    // Number of events whose flag word (scene or overlay) has the bit.
    int countScene(std::uint32_t bit) const {
        int n = 0;
        for (const TimelineEvent* e : events) n += (e->sceneFlags & bit) != 0;
        return n;
    }
    int countOverlay(std::uint32_t bit) const {
        int n = 0;
        for (const TimelineEvent* e : events) n += (e->overlayFlags & bit) != 0;
        return n;
    }
    const TimelineEvent* at(double t) const { return timeline.lookup(t).event; }

    EventTimeline timeline;
    std::vector<const TimelineEvent*> events;
};

TEST_F(ShowScript, NinetyOneContiguousEventsCoverTheSong) {
    ASSERT_EQ(events.size(), 91u);
    EXPECT_EQ(events.front()->start, 0.0);
    EXPECT_EQ(events.back()->end, 1561.0);
    double total = 0.0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_LT(events[i]->start, events[i]->end) << "event " << i + 1;
        if (i > 0) {
            EXPECT_EQ(events[i]->start, events[i - 1]->end) << "event " << i + 1;
        }
        total += events[i]->end - events[i]->start;
    }
    EXPECT_NEAR(total, 1561.0, 1e-9);
    EXPECT_EQ(events[43]->start, 750.4);  // the 44th event
}

TEST_F(ShowScript, OnlyTheLastEventEndsTheShow) {
    EXPECT_EQ(countScene(SCENE_END_OF_SHOW), 1);
    const TimelineEvent* last = events.back();
    EXPECT_EQ(last->start, 1560.0);
    EXPECT_EQ(last->sceneFlags, SCENE_END_OF_SHOW | SCENE_CLEAR_DEPTH);
    EXPECT_EQ(last->overlayFlags, 0u);
    for (std::uint32_t word :
         {last->sceneTextureWord, last->overlayTextureWord, last->accentTextureWord}) {
        EXPECT_EQ(word, 0u);
    }
}

TEST_F(ShowScript, EventsPerFlag) {
    EXPECT_EQ(countScene(SCENE_CLEAR_COLOR), 15);
    EXPECT_EQ(countScene(SCENE_CLEAR_DEPTH), 91);  // every frame starts with a fresh depth
    EXPECT_EQ(countScene(SCENE_SPRITE_BURST), 17);
    EXPECT_EQ(countScene(SCENE_MESH_A), 19);
    EXPECT_EQ(countScene(SCENE_MESH_B), 18);
    EXPECT_EQ(countScene(SCENE_MESH_C), 36);

    EXPECT_EQ(countOverlay(OVERLAY_CLEAR_DEPTH), 60);
    EXPECT_EQ(countOverlay(OVERLAY_SWARM), 15);
    EXPECT_EQ(countOverlay(OVERLAY_SWARM_TRIPLE), 3);
    EXPECT_EQ(countOverlay(OVERLAY_CREDITS), 4);
    EXPECT_EQ(countOverlay(OVERLAY_TITLE_WORD), 3);
    EXPECT_EQ(countOverlay(OVERLAY_TEXT_LINE_1), 12);
    EXPECT_EQ(countOverlay(OVERLAY_TEXT_LINE_2), 12);
    EXPECT_EQ(countOverlay(OVERLAY_FADE_ADD_UP), 14);
    EXPECT_EQ(countOverlay(OVERLAY_FADE_ADD_DOWN), 14);
    EXPECT_EQ(countOverlay(OVERLAY_FADE_TO_BLACK), 15);
    EXPECT_EQ(countOverlay(OVERLAY_FADE_FROM_BLACK), 14);
    EXPECT_EQ(countOverlay(OVERLAY_CIRCLE_A), 21);
    EXPECT_EQ(countOverlay(OVERLAY_CIRCLE_B), 9);
}

TEST_F(ShowScript, EveryEventButTheLastDrawsExactlyOneSceneEffect) {
    const std::uint32_t effects = SCENE_SPRITE_BURST | SCENE_MESH_A | SCENE_MESH_B | SCENE_MESH_C;
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        EXPECT_EQ(std::popcount(events[i]->sceneFlags & effects), 1) << "event " << i + 1;
    }
    const std::uint32_t fades = OVERLAY_FADE_ADD_UP | OVERLAY_FADE_ADD_DOWN |
                                OVERLAY_FADE_TO_BLACK | OVERLAY_FADE_FROM_BLACK;
    for (const TimelineEvent* e : events) EXPECT_LE(std::popcount(e->overlayFlags & fades), 1);
}

TEST_F(ShowScript, TwelveTextScenesEachFollowedByOneWithoutTheSecondLine) {
    std::vector<double> starts;
    double duration = 0.0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if ((events[i]->overlayFlags & OVERLAY_TEXT_LINE_2) == 0) continue;
        EXPECT_NE(events[i]->overlayFlags & OVERLAY_TEXT_LINE_1, 0u);
        ASSERT_LT(i + 1, events.size());
        EXPECT_EQ(events[i + 1]->overlayFlags & OVERLAY_TEXT_LINE_2, 0u);
        starts.push_back(events[i]->start);
        duration += events[i]->end - events[i]->start;
    }
    EXPECT_EQ(starts.size(), 12u);
    // Eighty seconds each, but 79.6 for the two that start at 38.4 and 750.4.
    EXPECT_NEAR(duration, 10 * 80.0 + 2 * 79.6, 1e-9);
    EXPECT_EQ(starts.front(), 38.4);
    EXPECT_EQ(starts.back(), 1390.0);
}

TEST_F(ShowScript, EverySelectedEffectHasABindingAndSlotThreeStaysForTheFades) {
    const std::set<std::uint32_t> knownWords = {0x100, 0x200, 0x201, 0x202, 0x401};
    for (const TimelineEvent* e : events) {
        const std::pair<std::int32_t, std::uint32_t> bindings[] = {
            {e->sceneTextureSlot, e->sceneTextureWord},
            {e->overlayTextureSlot, e->overlayTextureWord},
            {e->accentTextureSlot, e->accentTextureWord}};
        for (auto [slot, word] : bindings) {
            EXPECT_GE(slot, 0);
            EXPECT_LE(slot, 8);
            EXPECT_NE(slot, 3) << "event at " << e->start;
            if (word == 0) {
                EXPECT_EQ(slot, 0);
            } else {
                EXPECT_TRUE(knownWords.count(word)) << std::hex << word;
            }
        }
        if (e->sceneFlags & (SCENE_SPRITE_BURST | SCENE_MESH_A | SCENE_MESH_B | SCENE_MESH_C)) {
            EXPECT_NE(e->sceneTextureWord, 0u) << "event at " << e->start;
        }
        if (e->overlayFlags & (OVERLAY_SWARM | OVERLAY_SWARM_TRIPLE | OVERLAY_CREDITS |
                               OVERLAY_TEXT_LINE_1 | OVERLAY_CIRCLE_A | OVERLAY_CIRCLE_B)) {
            EXPECT_NE(e->overlayTextureWord, 0u) << "event at " << e->start;
        }
        if (e->overlayFlags & (OVERLAY_TITLE_WORD | OVERLAY_TEXT_LINE_2)) {
            EXPECT_NE(e->accentTextureWord, 0u) << "event at " << e->start;
        }
        // The sprite burst is always drawn plain and additive.
        if (e->sceneFlags & SCENE_SPRITE_BURST) {
            EXPECT_EQ(e->sceneTextureWord, 0x401u);
        }
    }
}

TEST_F(ShowScript, KnownRows) {
    // The opening: sprite burst alone, plain additive from slot 0.
    const TimelineEvent* first = events[0];
    EXPECT_EQ(first->end, 1.0);
    EXPECT_EQ(first->sceneFlags, SCENE_CLEAR_COLOR | SCENE_CLEAR_DEPTH | SCENE_SPRITE_BURST);
    EXPECT_EQ(first->overlayFlags, 0u);
    EXPECT_EQ(first->sceneTextureSlot, 0);
    EXPECT_EQ(first->sceneTextureWord, 0x401u);

    // A short circle event with an additive fade-up in the 955-1025 stretch.
    const TimelineEvent* circle = at(965.0);
    EXPECT_EQ(circle->start, 960.0);
    EXPECT_EQ(circle->end, 969.0);
    EXPECT_EQ(circle->overlayFlags, OVERLAY_CLEAR_DEPTH | OVERLAY_FADE_ADD_UP | OVERLAY_CIRCLE_A);
    EXPECT_EQ(circle->overlayTextureSlot, 8);
    EXPECT_EQ(circle->overlayTextureWord, 0x201u);

    // That stretch shows the first circle throughout on slot 6 or 8.
    for (const TimelineEvent* e : events) {
        if (e->start < 955.0 || e->start >= 1025.0) continue;
        EXPECT_NE(e->overlayFlags & OVERLAY_CIRCLE_A, 0u);
        EXPECT_TRUE(e->overlayTextureSlot == 6 || e->overlayTextureSlot == 8);
    }
}

TEST_F(ShowScript, LookupAtTheScriptsEdges) {
    FrameEvent found = timeline.lookup(0.0);
    EXPECT_EQ(found.event, events[0]);
    EXPECT_EQ(found.localTime, 0.0);

    // 14.3 ends the second event, so the third is current.
    found = timeline.lookup(14.3);
    EXPECT_EQ(found.event, events[2]);
    EXPECT_EQ(found.localTime, 0.0);
    EXPECT_EQ(found.overlayFlags, OVERLAY_CREDITS | OVERLAY_TITLE_WORD);

    found = timeline.lookup(1560.5);
    EXPECT_EQ(found.event, events.back());
    EXPECT_DOUBLE_EQ(found.localTime, 0.5);
    EXPECT_NE(found.sceneFlags & SCENE_END_OF_SHOW, 0u);

    for (double t : {1561.0, 1600.0, 1.0e6, -1.0}) {
        found = timeline.lookup(t);
        EXPECT_EQ(found.event, events.back());
        EXPECT_DOUBLE_EQ(found.localTime, t - 1560.0);
        EXPECT_NE(found.sceneFlags & SCENE_END_OF_SHOW, 0u);
    }
}

}  // namespace
