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
class WorkletSong {
  // A song sent must be heard this soon (the worklet's first reports come
  // within tens of milliseconds where the output runs).
  static START_HEARD_WITHIN_MS = 4000;

  constructor(context) {
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
    // The start's watch: once chunks are sent after a flush, something must
    // be heard within START_HEARD_WITHIN_MS, or onSilentStart(why) is told.
    this.heardOnce = false;
    this.startWatch = null;
    this.onSilentStart = null;
    this.port.onmessage = (event) => {
      this.report = event.data;
      this.reportAt = performance.now();
      if (this.report.drained) {
        for (const resolve of this.drainedWaiters) resolve(true);
        this.drainedWaiters = [];
      }
      if (this.onReport) this.onReport();
    };
  }

  flush(generation) {
    clearTimeout(this.startWatch);
    this.startWatch = null;
    this.report = null;
    this.port.postMessage({type: 'flush', generation});
  }

  // Interleaved 16-bit stereo, copied out of the module's memory.
  queue(generation, samples) {
    if (!this.heardOnce && this.startWatch === null) {
      this.startWatch = setTimeout(() => this.startWasNotHeard(), WorkletSong.START_HEARD_WITHIN_MS);
    }
    if (this.tap) this.tap.push({generation, samples: samples.slice()});
    this.port.postMessage({type: 'chunk', generation, samples}, [samples.buffer]);
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
      // Playing on since the report, as far as it was sent.
      frames = r.handed + (heard - r.lastHandFrame);
    }
    const songFrames = Math.max(0, Math.min(sent, Math.floor(frames)));
    if (songFrames > 0 && !this.heardOnce) {
      this.heardOnce = true;
      clearTimeout(this.startWatch);
    }
    return songFrames;
  }

  // The song was sent but nothing of it reckoned heard in time: say what
  // the output did, so that the page can tell the listener.
  startWasNotHeard() {
    this.startWatch = null;
    if (this.heardOnce || !this.onSilentStart) return;
    const r = this.report;
    const what = r === null ? 'the song\'s worklet never reported'
        : r.handed === 0 ? 'the song\'s worklet handed nothing out'
        : 'the worklet handed out ' + r.handed + ' frames, none reckoned heard';
    this.onSilentStart('nothing of the song was heard within ' +
                       WorkletSong.START_HEARD_WITHIN_MS / 1000 + ' s of its start (' + what +
                       '; the audio context is ' + this.context.state + ')');
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
    clearTimeout(this.startWatch);
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
