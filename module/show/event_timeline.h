// The show's script: a singly linked list of contiguous timed events, each
// naming by two flag words what the director draws while it is current.
#pragma once

#include <cstdint>

#include "show/event_script.h"

struct TimelineEvent {
    double start = 0.0;  // inclusive, equal to the previous event's end
    double end = 0.0;    // exclusive
    std::uint32_t sceneFlags = 0;
    std::uint32_t overlayFlags = 0;
    std::int32_t sceneTextureSlot = 0;
    std::uint32_t sceneTextureWord = 0;
    std::int32_t overlayTextureSlot = 0;
    std::uint32_t overlayTextureWord = 0;
    std::int32_t accentTextureSlot = 0;
    std::uint32_t accentTextureWord = 0;
    TimelineEvent* next = nullptr;  // owned
};

// What lookup finds for one song time: the chosen event, the time since its
// start and the words it carries. All zero, and no event, for an empty list.
struct FrameEvent {
    const TimelineEvent* event = nullptr;  // the director reads its start and end
    double localTime = 0.0;                // seconds since the event's start
    std::uint32_t sceneFlags = 0;
    std::uint32_t overlayFlags = 0;
    TextureBinding sceneTexture{};
    TextureBinding overlayTexture{};
    TextureBinding accentTexture{};
};

class EventTimeline {
  public:
    EventTimeline() = default;
    EventTimeline(const EventTimeline&) = delete;
    EventTimeline& operator=(const EventTimeline&) = delete;
    ~EventTimeline() { clear(); }

    // Appends one event at the tail; its start is the previous end (0 for the
    // first). Note the argument order: overlayFlags follows the first binding.
    // Returns null when the event cannot be allocated.
    TimelineEvent* add(double end, std::uint32_t sceneFlags, std::int32_t sceneSlot,
                       std::uint32_t sceneWord, std::uint32_t overlayFlags,
                       std::int32_t overlaySlot, std::uint32_t overlayWord, std::int32_t accentSlot,
                       std::uint32_t accentWord);

    // The event holding t (start <= t < end), else the last one, with its
    // words and localTime = t - start; an empty list gives a FrameEvent of
    // zeros without an event.
    FrameEvent lookup(double t) const;

    // Appends the built-in script of 91 events. False when an event could not
    // be allocated.
    bool buildScript();

    void clear();

    TimelineEvent* head = nullptr;
};
