// The event list on its own: appending, the lookup's edge cases, clearing,
// and an allocation failure while the script is built.
#include "show/event_timeline.h"

#include <gtest/gtest.h>

#include <vector>

#include "allocation_hooks.h"
#include "show/scene_flags.h"

namespace {

// What lookup finds, as one list of the eight words in the event's order.
std::vector<std::uint32_t> wordsOf(const FrameEvent& e) {
    return {e.sceneFlags,
            std::uint32_t(e.sceneTexture.slot),
            e.sceneTexture.word,
            e.overlayFlags,
            std::uint32_t(e.overlayTexture.slot),
            e.overlayTexture.word,
            std::uint32_t(e.accentTexture.slot),
            e.accentTexture.word};
}

TimelineEvent* eventAt(const EventTimeline& timeline, int number) {
    TimelineEvent* event = timeline.head;
    for (int i = 1; i < number && event != nullptr; ++i) event = event->next;
    return event;
}

TEST(EventTimeline, AddTakesOverlayFlagsAfterTheFirstBindingAndChainsStarts) {
    EventTimeline timeline;
    TimelineEvent* first = timeline.add(1.5, 0x11, 2, 0x201, 0x22, 4, 0x100, 6, 0x402);
    TimelineEvent* second = timeline.add(4.0, 0x33, 7, 0x202, 0x44, 8, 0x401, 5, 0x200);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(timeline.head, first);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(second->next, nullptr);

    EXPECT_EQ(first->start, 0.0);
    EXPECT_EQ(first->end, 1.5);
    EXPECT_EQ(second->start, 1.5);

    EXPECT_EQ(first->sceneFlags, 0x11u);
    EXPECT_EQ(first->sceneTextureSlot, 2);
    EXPECT_EQ(first->sceneTextureWord, 0x201u);
    EXPECT_EQ(first->overlayFlags, 0x22u);
    EXPECT_EQ(first->overlayTextureSlot, 4);
    EXPECT_EQ(first->overlayTextureWord, 0x100u);
    EXPECT_EQ(first->accentTextureSlot, 6);
    EXPECT_EQ(first->accentTextureWord, 0x402u);

    // lookup hands the same words back.
    const FrameEvent r = timeline.lookup(2.0);
    EXPECT_EQ(r.event, second);
    EXPECT_DOUBLE_EQ(r.localTime, 0.5);
    EXPECT_EQ(wordsOf(r), (std::vector<std::uint32_t>{0x33, 7, 0x202, 0x44, 8, 0x401, 5, 0x200}));
}

TEST(EventTimeline, AnEndBelongsToTheNextEvent) {
    EventTimeline timeline;
    TimelineEvent* first = timeline.add(1.5, 1, 0, 0, 0, 0, 0, 0, 0);
    TimelineEvent* second = timeline.add(4.0, 2, 0, 0, 0, 0, 0, 0, 0);

    EXPECT_EQ(timeline.lookup(0.0).event, first);
    EXPECT_EQ(timeline.lookup(1.4999999).event, first);
    const FrameEvent atEnd = timeline.lookup(1.5);
    EXPECT_EQ(atEnd.event, second);
    EXPECT_EQ(atEnd.localTime, 0.0);
}

TEST(EventTimeline, AnEmptyListAnswersNoEventAndZeros) {
    EventTimeline timeline;
    const FrameEvent r = timeline.lookup(3.0);
    EXPECT_EQ(r.event, nullptr);
    EXPECT_EQ(r.localTime, 0.0);
    EXPECT_EQ(wordsOf(r), std::vector<std::uint32_t>(8, 0u));
}

TEST(EventTimeline, ClearEmptiesTheListForAFreshScript) {
    EventTimeline timeline;
    ASSERT_TRUE(timeline.buildScript());
    timeline.clear();
    EXPECT_EQ(timeline.head, nullptr);
    EXPECT_EQ(timeline.lookup(5.0).event, nullptr);
    timeline.clear();  // a second clear finds nothing to free

    ASSERT_TRUE(timeline.buildScript());
    EXPECT_EQ(timeline.head->start, 0.0);
    EXPECT_EQ(timeline.head->end, 1.0);
}

TEST(EventTimeline, AnEventThatCannotBeAllocatedFailsTheBuild) {
    EventTimeline timeline;
    allocation_hooks::failNothrowAfter(10);
    const bool built = timeline.buildScript();
    allocation_hooks::reset();
    EXPECT_FALSE(built);

    // The events made before the failure stay linked and are freed by clear.
    int count = 0;
    for (TimelineEvent* e = timeline.head; e != nullptr; e = e->next) ++count;
    EXPECT_EQ(count, 10);
    EXPECT_EQ(timeline.add(1.0, 0, 0, 0, 0, 0, 0, 0, 0)->start, eventAt(timeline, 10)->end);

    EventTimeline empty;
    allocation_hooks::failNothrowAfter(0);
    EXPECT_EQ(empty.add(1.0, 0, 0, 0, 0, 0, 0, 0, 0), nullptr);
    allocation_hooks::reset();
    EXPECT_EQ(empty.head, nullptr);
}

}  // namespace
