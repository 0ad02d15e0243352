// What a show host reports as it goes: the steps of its start and tear-down,
// each presented frame and the viewing actions. The shipped launcher has no
// observer; a test build of it injects one that writes these steps down.
#pragma once

#include <string>

class ShowHost;

class HostObserver {
  public:
    virtual ~HostObserver() = default;
    // One step in words, e.g. "swap", "context-released", "seek 5000 song=5000 paused".
    virtual void step(const std::string& what) = 0;
    // A frame is about to be drawn (RenderScene is next).
    virtual void frameStarting(ShowHost& host) = 0;
    // A frame was drawn and is about to be presented: its pixels can be read.
    virtual void frameDrawn(ShowHost& host) = 0;
};

// The observer every show host of this process reports to (none: nullptr).
void setHostObserver(HostObserver* observer);
