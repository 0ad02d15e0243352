// The event list: appending at the tail, finding the event that holds a song
// time, building the show's script from its table, and freeing the chain.
#include "show/event_timeline.h"

#include <new>

#include "show/event_script.h"

TimelineEvent* EventTimeline::add(double end, std::uint32_t sceneFlags, std::int32_t sceneSlot,
                                  std::uint32_t sceneWord, std::uint32_t overlayFlags,
                                  std::int32_t overlaySlot, std::uint32_t overlayWord,
                                  std::int32_t accentSlot, std::uint32_t accentWord) {
    TimelineEvent* event = new (std::nothrow) TimelineEvent{};
    if (event == nullptr) return nullptr;

    if (head == nullptr) {
        head = event;
        event->start = 0.0;
    } else {
        TimelineEvent* last = head;
        while (last->next != nullptr) last = last->next;
        last->next = event;
        event->start = last->end;
    }
    event->end = end;
    event->sceneFlags = sceneFlags;
    event->overlayFlags = overlayFlags;
    event->sceneTextureSlot = sceneSlot;
    event->sceneTextureWord = sceneWord;
    event->overlayTextureSlot = overlaySlot;
    event->overlayTextureWord = overlayWord;
    event->accentTextureSlot = accentSlot;
    event->accentTextureWord = accentWord;
    return event;
}

FrameEvent EventTimeline::lookup(double t) const {
    FrameEvent found;
    if (head == nullptr) return found;

    // A time outside every event (past the script, or before 0) falls to the
    // last event, which ends the show.
    const TimelineEvent* chosen = head;
    for (const TimelineEvent* event = head; event != nullptr; event = event->next) {
        chosen = event;
        if (event->start <= t && t < event->end) break;
    }

    found.event = chosen;
    found.localTime = t - chosen->start;
    found.sceneFlags = chosen->sceneFlags;
    found.overlayFlags = chosen->overlayFlags;
    found.sceneTexture = {chosen->sceneTextureSlot, chosen->sceneTextureWord};
    found.overlayTexture = {chosen->overlayTextureSlot, chosen->overlayTextureWord};
    found.accentTexture = {chosen->accentTextureSlot, chosen->accentTextureWord};
    return found;
}

bool EventTimeline::buildScript() {
    for (const ScriptRow& row : kShowScript) {
        if (add(row.end, row.sceneFlags, row.sceneTexture.slot, row.sceneTexture.word,
                row.overlayFlags, row.overlayTexture.slot, row.overlayTexture.word,
                row.accentTexture.slot, row.accentTexture.word) == nullptr) {
            return false;
        }
    }
    return true;
}

void EventTimeline::clear() {
    // Freed front to back rather than recursively, so a long chain cannot
    // exhaust the stack.
    TimelineEvent* event = head;
    head = nullptr;
    while (event != nullptr) {
        TimelineEvent* next = event->next;
        delete event;
        event = next;
    }
}
