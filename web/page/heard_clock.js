// Which moment of an AudioContext's timeline is being heard now. The
// output's own timestamp (getOutputTimestamp: a context time and the
// performance.now() at which it left the speakers) is the finest answer
// where it holds, but engines differ in it: one's performanceTime runs on
// another clock than performance.now() (about twice as fast), one has no
// such method, and one only restates the rendering position: its contextTime
// and performanceTime are currentTime and now each set back by the same
// outputLatency, which carried on to now says the frame being rendered is
// the one heard. So each timestamp is checked against what must hold of any
// true one: it was taken within the last second (not in the future), the
// moment it points to lies before what the context has rendered and no more
// than a second behind it, and at least a render quantum behind it (no
// output plays a frame the moment it is rendered). A stamp that fails once is
// not trusted again for that context: from then on, and where there is none,
// the heard moment is the rendering position less the latencies the context
// reports. One code path for every engine, chosen by what the engine's
// answers show.
//
// Asking for the output's latency can stall the page: in Firefox both
// outputLatency and getOutputTimestamp ask the audio output itself, holding
// the audio graph's lock while the sound process answers, and the sound
// process may be inside a render callback that waits for that very lock (the
// page's thread and the sound then stop for minutes). So the output is asked
// once at the start and then at most every half minute where its stamps are
// not used (each ask is a chance of that stall; the latency changes only
// when the sound server grows its buffer after an underrun).
'use strict';

class HeardClock {
  // The oldest stamp believed, and how far after "now" (in ms) a stamp may
  // claim to be taken: Chromium dates its stamps up to about 80 ms ahead of
  // performance.now() on a loaded machine (the output's next callback), where
  // WebKitGTK's clock twice as fast puts them seconds ahead.
  static STAMP_MOST_AGE_MS = 1000;
  static STAMP_AHEAD_MOST_MS = 150;
  // The output cannot be heard ahead of the rendering (beyond a render
  // callback's worth of extrapolation), nor lag it by a second, nor by less
  // than this (under one 128-frame render quantum at 48 kHz).
  static AHEAD_OF_RENDERING_S = 0.05;
  static BEHIND_RENDERING_S = 1.0;
  static BEHIND_RENDERING_LEAST_S = 0.002;

  // outputLatency is read at most this often where the stamps are not used.
  static LATENCY_READ_EVERY_MS = 30000;

  // now(): the page's clock in ms (performance.now(); tests give their own).
  constructor(now = () => performance.now()) {
    this.now = now;
    this.trustStamps = true;
    this.why = '';  // why the stamps were given up, for the console and tests
    // How far the heard moment lags the rendering: the last latency read.
    this.latency = 0;
    this.latencyReadAt = null;
  }

  // Seconds of context time heard at nowMs (performance.now()), given the
  // context's stamp (null where it has none) and its currentTime,
  // outputLatency and baseLatency (undefined where the engine lacks them;
  // either may be a function, called only where the stamp is not used).
  heardSeconds(stamp, nowMs, currentTime, outputLatency, baseLatency) {
    const seconds = (latency) => (typeof latency === 'function' ? latency() : latency) || 0;
    const fallback = () => Math.max(0, currentTime - seconds(outputLatency) - seconds(baseLatency));
    if (!this.trustStamps || !stamp || !(stamp.contextTime > 0) || !(stamp.performanceTime > 0)) {
      return fallback();
    }
    const ageMs = nowMs - stamp.performanceTime;
    const heard = stamp.contextTime + ageMs / 1000;
    let why = '';
    if (ageMs < -HeardClock.STAMP_AHEAD_MOST_MS || ageMs > HeardClock.STAMP_MOST_AGE_MS) {
      why = 'its performanceTime ' + stamp.performanceTime.toFixed(0) + ' ms lies ' +
            ageMs.toFixed(0) + ' ms from performance.now()';
    } else if (heard > currentTime + HeardClock.AHEAD_OF_RENDERING_S ||
               heard < currentTime - HeardClock.BEHIND_RENDERING_S) {
      why = 'it puts the heard moment at ' + heard.toFixed(3) + ' s with the rendering at ' +
            currentTime.toFixed(3) + ' s';
    } else if (Math.abs(currentTime - heard) < HeardClock.BEHIND_RENDERING_LEAST_S) {
      why = 'it puts the heard moment at the rendering position (' + currentTime.toFixed(3) +
            ' s): it is the rendering position less ' + (currentTime - stamp.contextTime).toFixed(3) +
            ' s, taken now';
      // That latency is the output's, just asked for: kept for the next second.
      this.latency = currentTime - stamp.contextTime;
      this.latencyReadAt = nowMs;
    }
    if (why) {
      this.trustStamps = false;
      this.why = why;
      console.warn('getOutputTimestamp() not used: ' + why);
      return fallback();
    }
    return heard;
  }

  // The same for a live AudioContext now.
  heardContextSeconds(context) {
    const now = this.now();
    const stamp = this.trustStamps && context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    const outputLatency = () => {
      if (this.latencyReadAt === null || now - this.latencyReadAt >= HeardClock.LATENCY_READ_EVERY_MS) {
        this.latency = (context.outputLatency || 0) + (context.baseLatency || 0);
        this.latencyReadAt = now;
      }
      return this.latency;
    };
    return this.heardSeconds(stamp, now, context.currentTime, outputLatency, 0);
  }
}

if (typeof module !== 'undefined') module.exports = {HeardClock};
