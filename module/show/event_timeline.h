// The show's script: a singly linked list of contiguous timed events, each
// naming by two flag words what the director draws while it is current.
#pragma once

#include <cstdint>

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
                       std::int32_t overlaySlot, std::uint32_t overlayWord,
                       std::int32_t accentSlot, std::uint32_t accentWord);

    // The event holding t (start <= t < end), else the last one; null for an
    // empty list, in which case no output is written.
    TimelineEvent* lookup(double t, double* localTime, std::uint32_t* sceneFlags,
                          std::int32_t* sceneSlot, std::uint32_t* sceneWord,
                          std::uint32_t* overlayFlags, std::int32_t* overlaySlot,
                          std::uint32_t* overlayWord, std::int32_t* accentSlot,
                          std::uint32_t* accentWord) const;

    // Appends the built-in script of 91 events. False when an event could not
    // be allocated.
    bool buildScript();

    void clear();

    TimelineEvent* head = nullptr;
};
