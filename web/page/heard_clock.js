// Which moment of an AudioContext's timeline is being heard now. The
// output's own timestamp (getOutputTimestamp: a context time and the
// performance.now() at which it left the speakers) is the finest answer
// where it holds, but engines differ in it: one's performanceTime runs on
// another clock than performance.now() (about twice as fast), one has no
// such method. So each timestamp is checked against what must hold of any
// true one: it was taken within the last second (not in the future), and
// the moment it points to lies before what the context has rendered and no
// more than a second behind it. A stamp that fails once is not trusted
// again for that context: from then on, and where there is none, the heard
// moment is the rendering position less the latencies the context reports.
// One code path for every engine, chosen by what the engine's answers show.
'use strict';

class HeardClock {
  // The oldest stamp believed, and how far after "now" (in ms) a stamp may
  // claim to be taken: Chromium dates its stamps up to about 80 ms ahead of
  // performance.now() on a loaded machine (the output's next callback), where
  // WebKitGTK's clock twice as fast puts them seconds ahead.
  static STAMP_MOST_AGE_MS = 1000;
  static STAMP_AHEAD_MOST_MS = 150;
  // The output cannot be heard ahead of the rendering (beyond a render
  // callback's worth of extrapolation), nor lag it by a second.
  static AHEAD_OF_RENDERING_S = 0.05;
  static BEHIND_RENDERING_S = 1.0;

  // outputLatency is read at most this often: in Firefox the getter asks the
  // audio output itself, on the page's thread.
  static LATENCY_READ_EVERY_MS = 1000;

  constructor() {
    this.trustStamps = true;
    this.why = '';  // why the stamps were given up, for the console and tests
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
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    const now = performance.now();
    const outputLatency = () => {
      if (this.latencyReadAt === null || now - this.latencyReadAt >= HeardClock.LATENCY_READ_EVERY_MS) {
        this.latency = context.outputLatency || 0;
        this.latencyReadAt = now;
      }
      return this.latency;
    };
    return this.heardSeconds(stamp, now, context.currentTime, outputLatency, context.baseLatency);
  }
}

if (typeof module !== 'undefined') module.exports = {HeardClock};
