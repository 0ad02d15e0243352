// The song and the show's clock in the page, for the module's sound layer on
// the web. With sound, the module mixes the song itself (libopenmpt, as the
// native module does) about a second ahead, and a WorkletSong carries the
// samples to an AudioWorklet (song_worklet.js) that plays them; the clock is
// the sample being heard: what the worklet has handed out, less what the
// output still holds (heard_clock.js); a song sent but never heard is told
// to the page. With "No Sound" a silent clock runs on performance.now().
// Pause, seek and the end work the same on both.
'use strict';

// The clock without sound: real time since the start, from where it stood.
class SilentSong {
  constructor() { this.baseMs = 0; this.since = null; }
  play(startMs) { this.baseMs = startMs; this.since = performance.now(); }
  timeMs() {
    return this.since === null ? this.baseMs
                               : this.baseMs + Math.floor(performance.now() - this.since);
  }
  pause() { this.baseMs = this.timeMs(); this.since = null; }
  resume() { if (this.since === null) this.since = performance.now(); }
  seek(ms) { this.baseMs = ms; if (this.since !== null) this.since = performance.now(); }
  volume() {}
  stop() { this.pause(); }
}

// The worklet's end of the song: samples in, reports of what was played out.
// Made as soon as the show's audio context runs with its worklet (at the
// click, before the program is ready), so that an output that plays nothing
// is found while the rest loads.
class WorkletSong {
  // The worklet reports every 23 ms once its output runs: none while the
  // context has rendered this long is an output that does not play.
  static REPORT_WITHIN_S = 0.5;
  // Once let go, the first song frames are handed out in the next render
  // call and heard within the output's latency: this much of the context's
  // own time without either is a start that failed. Counted in context time,
  // so a busy page's thread does not raise a false alarm.
  static HANDED_WITHIN_S = 0.5;
  static HEARD_WITHIN_S = 1.5;
  static WATCH_EVERY_MS = 100;
  // The song is let go at the start of a frame that came this soon after the
  // one before, once this many have run, and at the latest this long after
  // the show started (goOnceFramesFlow).
  static STEADY_FRAME_MS = 250;
  static GO_AFTER_FRAMES = 2;
  static GO_AT_LATEST_MS = 3000;
  // At the click the worklet is given a moment of silence to hand out at
  // once, held song or not: an output that takes samples but hands none out
  // is found then, not only once the show has loaded and let its song go.
  static PROBE_FRAMES = 512;

  constructor(context, onSilentStart = null) {
    this.context = context;
    this.node = new AudioWorkletNode(context, 'sorvanel-song',
                                     {numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2]});
    // The listener's own volume, after the mix (the module's master volume
    // and fade act in the mixer).
    this.gain = context.createGain();
    this.node.connect(this.gain);
    this.gain.connect(context.destination);
    this.port = this.node.port;
    this.report = null;            // the worklet's last word
    this.reportAt = 0;             // performance.now() when it came
    this.onReport = null;          // the module tops up its mix here
    this.clock = null;             // the module's clock, read by timeMs()
    this.heardClock = new HeardClock();
    // Tests: an array (globalThis.songWorkletTap, set before the show
    // starts) that gets a copy of each chunk sent.
    this.tap = globalThis.songWorkletTap || null;
    this.drainedWaiters = [];
    // Song frames of this generation sent, and of them sent since the last
    // report came (the worklet may not have had them when it reported).
    this.sentFrames = 0;
    this.sentAtReport = 0;
    // The song is held in the worklet until the show's first frame is drawn
    // (that frame's work would otherwise leave the worklet dry at once).
    this.held = true;
    this.goContextTime = null;
    // The start's watch (onSilentStart(why) where the output plays nothing).
    this.heardOnce = false;
    this.onSilentStart = onSilentStart;
    this.watchFrom = context.currentTime;
    this.probeHanded = false;
    this.watch = setInterval(() => this.watchStart(), WorkletSong.WATCH_EVERY_MS);
    this.port.onmessage = (event) => {
      if (event.data.probed > 0) this.probeHanded = true;
      this.report = event.data;
      this.reportAt = performance.now();
      this.sentAtReport = this.sentFrames;
      if (this.report.drained) {
        for (const resolve of this.drainedWaiters) resolve(true);
        this.drainedWaiters = [];
      }
      if (this.onReport) this.onReport();
    };
    this.port.postMessage({type: 'probe', frames: WorkletSong.PROBE_FRAMES});
  }

  flush(generation) {
    // A seek or pause before anything was heard: its song is waited for anew.
    if (!this.held) this.goContextTime = this.context.currentTime;
    this.report = null;
    this.sentFrames = 0;
    this.sentAtReport = 0;
    this.port.postMessage({type: 'flush', generation, hold: this.held});
  }

  // Interleaved 16-bit stereo, copied out of the module's memory.
  queue(generation, samples) {
    if (this.tap) this.tap.push({generation, samples: samples.slice()});
    this.sentFrames += samples.length >> 1;
    this.port.postMessage({type: 'chunk', generation, samples}, [samples.buffer]);
  }

  // The show runs: its song is let go once its frames come steadily (the
  // first ones set up the show's GL state, and on a software rasteriser one
  // of them can hold the page's thread for seconds: the worklet, primed a
  // second ahead, would run dry in it), or GO_AT_LATEST_MS after the start
  // where they never do (a slow machine, a background tab).
  goOnceFramesFlow() {
    let latest = null;
    const go = () => {
      clearTimeout(latest);
      if (!this.held) return;
      this.held = false;
      this.goContextTime = this.context.currentTime;
      this.port.postMessage({type: 'go'});
    };
    let frames = 0;
    let last = performance.now();
    const frame = () => {
      const now = performance.now();
      if (++frames > WorkletSong.GO_AFTER_FRAMES && now - last < WorkletSong.STEADY_FRAME_MS) {
        go();
      } else if (this.held) {
        requestAnimationFrame(frame);
      }
      last = now;
    };
    requestAnimationFrame(frame);
    latest = setTimeout(go, WorkletSong.GO_AT_LATEST_MS);
  }

  // The context frame being heard now (heard_clock.js: the output's own
  // timestamp where it proves true, else the rendering position less the
  // latencies the context reports).
  heardContextFrame() {
    return this.heardClock.heardContextSeconds(this.context) * this.context.sampleRate;
  }

  // Song frames of this generation heard now (at most `sent`); 0 before the
  // worklet has said anything of it.
  heardFrames(generation, sent) {
    const r = this.report;
    if (r === null || r.generation !== generation) return 0;
    const heard = this.heardContextFrame();
    let frames;
    if (r.starved) {
      // Nothing was handed out after lastHandFrame.
      frames = r.handed - Math.max(0, r.lastHandFrame - heard);
    } else {
      // Playing on since the report, as far as the worklet had song for
      // (a report held up behind a busy page's thread must not carry the
      // clock past a queue that ran dry meanwhile).
      const most = r.handed + r.queued + (this.sentFrames - this.sentAtReport);
      frames = Math.min(most, r.handed + (heard - r.lastHandFrame));
    }
    const songFrames = Math.max(0, Math.min(sent, Math.floor(frames)));
    if (songFrames > 0 && !this.heardOnce) {
      this.heardOnce = true;
      clearInterval(this.watch);
    }
    return songFrames;
  }

  // Why the start failed, or '' while it may still come: no report while
  // the context rendered REPORT_WITHIN_S, the probe not handed out within
  // HANDED_WITHIN_S of it, nothing handed out or nothing heard that long
  // after the song was let go.
  startFailure() {
    const r = this.report;
    const now = this.context.currentTime;
    if (this.context.state !== 'running') return '';  // said by the sound's start itself
    if (r === null && this.reportAt === 0 && now - this.watchFrom >= WorkletSong.REPORT_WITHIN_S) {
      return 'the song\'s worklet never reported';
    }
    if (!this.probeHanded && this.reportAt !== 0 &&
        now - this.watchFrom >= WorkletSong.HANDED_WITHIN_S) {
      return 'the song\'s worklet handed nothing out, not even its first moment of silence';
    }
    // Held, or paused (nothing sent): nothing is to be heard yet.
    if (this.goContextTime === null || r === null || this.sentFrames === 0) return '';
    const since = now - this.goContextTime;
    if (r.handed === 0 && since >= WorkletSong.HANDED_WITHIN_S) {
      return 'the song\'s worklet handed nothing out';
    }
    if (r.handed > 0 && this.heardFrames(r.generation, this.sentFrames) > 0) return '';
    if (since >= WorkletSong.HEARD_WITHIN_S) {
      return 'the worklet handed out ' + r.handed + ' frames, none reckoned heard';
    }
    return '';
  }

  // Said where it holds at two checks in a row: a report that waited
  // behind a busy page's thread is in by the second.
  watchStart() {
    if (this.heardOnce || !this.onSilentStart) return;
    const what = this.startFailure();
    this.suspect = what ? (this.suspect || 0) + 1 : 0;
    if (this.suspect < 2) return;
    clearInterval(this.watch);
    this.onSilentStart('nothing of the song was heard (' + what + '; the audio context is ' +
                       this.context.state + ')');
  }

  // Gaps so far: [times the queue ran dry while playing, frames of silence].
  gaps() { return this.report ? [this.report.gaps, this.report.silentFrames] : [0, 0]; }

  drain() { this.port.postMessage({type: 'drain'}); }

  // Resolves once the worklet has played out what it held (true), or after
  // waitMs (false).
  playedOut(waitMs) {
    if (this.report && this.report.drained) return Promise.resolve(true);
    return new Promise((resolve) => {
      this.drainedWaiters.push(resolve);
      setTimeout(() => resolve(false), waitMs);
    });
  }

  timeMs() { return this.clock ? this.clock() : 0; }

  stop() {
    clearInterval(this.watch);
    this.onSilentStart = null;
    this.onReport = null;
    this.node.disconnect();
    this.gain.disconnect();
  }
}

// The AudioContext for the show: made in the click that starts it (a
// browser lets sound start only from a user's gesture), at the song's rate,
// with the output's latency chosen for continuity over promptness.
let songContext = null;
let songWorkletLoaded = null;
function openSongContext() {
  if (songContext === null) {
    try {
      songContext = new AudioContext({sampleRate: 44100, latencyHint: 'playback'});
    } catch (e) {
      songContext = null;
      return null;
    }
    songWorkletLoaded = songContext.audioWorklet
        ? songContext.audioWorklet.addModule('song_worklet.js').then(() => true, (e) => {
            console.error('song_worklet.js: ' + String((e && e.message) || e));
            return false;
          })
        : Promise.resolve(false);
  } else if (songContext.state !== 'running') {
    songContext.resume();
  }
  return songContext;
}

// The song's worklet, made as soon as the context runs with it loaded (the
// show's start takes it), so that its watch starts then.
let songWorkletEarly = null;
let songWorkletTaken = false;
function prepareSongWorklet(onSilentStart) {
  if (songContext === null) return;
  songContextRunning(10000).then((running) => {
    if (!running || songWorkletTaken || songWorkletEarly !== null) return;
    try {
      songWorkletEarly = new WorkletSong(songContext, onSilentStart);
    } catch (e) {
      // Said when the show makes its own.
    }
  });
}
function takeSongWorklet() {
  const song = songWorkletEarly;
  songWorkletEarly = null;
  songWorkletTaken = true;
  return song;
}

// Resolves true once the context runs with the song's worklet loaded, false
// after waitMs (no sound device, no AudioWorklet, or no gesture).
async function songContextRunning(waitMs) {
  if (songContext === null) return false;
  const ready = Promise.all([
    songContext.state === 'running'
        ? true : songContext.resume().then(() => songContext.state === 'running', () => false),
    songWorkletLoaded,
  ]).then(([running, loaded]) => running && loaded);
  return Promise.race([ready, new Promise((r) => setTimeout(() => r(false), waitMs))]);
}

// Whether this browser lets the page's sound start without a click (its
// autoplay policy): asked where it can be asked, else a context is made and
// given waitMs to run. The context made is the one the show then uses.
async function soundStartsWithoutClick(waitMs) {
  if (navigator.getAutoplayPolicy) {
    try {
      if (navigator.getAutoplayPolicy('audiocontext') !== 'allowed') return false;
    } catch (e) {
      // Not answered for this kind: try it.
    }
  }
  if (openSongContext() === null) return false;
  return songContextRunning(waitMs);
}

// Once the song has played out what the module mixed for its fade (at most
// waitMs): the page may go on.
function songPlayedOut(waitMs) {
  const song = typeof Module !== 'undefined' ? Module.sorvanelSong : null;
  return song instanceof WorkletSong ? song.playedOut(waitMs) : Promise.resolve(true);
}
