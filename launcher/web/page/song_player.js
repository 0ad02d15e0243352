// The song and the show's clock in the page, for the module's sound layer on
// the web. With sound, the song plays through Web Audio from Ogg Vorbis
// pieces of 30 s (decoding the whole 26 minutes would take half a gigabyte),
// each decoded shortly before it is due and started at its exact sample on
// the audio clock; the clock is the song position being heard (the output's
// latency taken off). With "No Sound" a silent clock runs on
// performance.now(). Pause, seek, volume and the end work the same on both.
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

// The song from its pieces. `index` is the build's song/index.json:
// {rate, pieceSeconds, pieces, frames}.
class WebAudioSong {
  constructor(context, index, baseUrl) {
    this.context = context;
    this.index = index;
    this.baseUrl = baseUrl;
    this.gain = context.createGain();
    this.gain.connect(context.destination);
    this.decoded = new Map();   // piece -> Promise<AudioBuffer>
    this.sources = [];
    this.baseMs = 0;            // song time at contextStart
    this.contextStart = null;   // context time the song is at baseMs; null: not sounding
    this.playing = false;       // wanted to sound (not paused or stopped)
    this.generation = 0;        // bumps on every restart, so late decodes are dropped
    this.timer = null;
  }

  pieceMs() { return this.index.pieceSeconds * 1000; }

  // A piece decoded, once; the two after the one sounding are kept ready.
  piece(n) {
    if (!this.decoded.has(n)) {
      const url = this.baseUrl + String(n).padStart(3, '0') + '.ogg';
      this.decoded.set(n, fetch(url)
          .then((r) => { if (!r.ok) throw new Error(url + ': HTTP ' + r.status); return r.arrayBuffer(); })
          .then((bytes) => this.context.decodeAudioData(bytes)));
    }
    return this.decoded.get(n);
  }

  // Sounds the song from ms: the clock holds at ms until the first piece is
  // decoded and started, so the picture waits for the sound.
  async play(ms) {
    this.stopSources();
    this.baseMs = ms;
    this.contextStart = null;
    this.playing = true;
    const generation = ++this.generation;
    const first = Math.floor(ms / this.pieceMs());
    if (first >= this.index.pieces) return;  // past the song: silence, the clock holds
    const buffer = await this.piece(first);
    if (generation !== this.generation || !this.playing) return;
    // A little ahead, so the first sample is not late.
    this.contextStart = this.context.currentTime + 0.05;
    this.schedule(first, buffer, generation);
    this.timer = setInterval(() => this.keepAhead(generation), 250);
  }

  // Starts piece n at its place on the audio clock (from the right sample
  // when the song started inside it).
  schedule(n, buffer, generation) {
    if (generation !== this.generation) return;
    const pieceStartMs = n * this.pieceMs();
    const offset = Math.max(0, (this.baseMs - pieceStartMs) / 1000);
    const when = this.contextStart + Math.max(0, (pieceStartMs - this.baseMs) / 1000);
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.gain);
    source.start(when, offset);
    this.sources.push(source);
    this.scheduledUpTo = n;
    // Pieces two behind are let go.
    for (const old of [...this.decoded.keys()]) if (old < n - 1) this.decoded.delete(old);
  }

  // Keeps the next piece decoded and scheduled well before it is due.
  keepAhead(generation) {
    if (generation !== this.generation || this.contextStart === null) return;
    const next = this.scheduledUpTo + 1;
    if (next >= this.index.pieces) return;
    const dueIn = this.contextStart + (next * this.pieceMs() - this.baseMs) / 1000 -
                  this.context.currentTime;
    if (dueIn > 8) return;
    this.scheduledUpTo = next;  // once
    this.piece(next).then((buffer) => this.schedule(next, buffer, generation),
                          (error) => console.error(String(error)));
  }

  // The context time of the sample now leaving the speakers.
  heardContextTime() {
    const context = this.context;
    if (context.getOutputTimestamp) {
      const ts = context.getOutputTimestamp();
      if (ts.contextTime > 0 && ts.performanceTime > 0) {
        return ts.contextTime + (performance.now() - ts.performanceTime) / 1000;
      }
    }
    return context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0);
  }

  timeMs() {
    if (this.contextStart === null) return this.baseMs;
    return this.baseMs + Math.max(0, Math.floor((this.heardContextTime() - this.contextStart) * 1000));
  }

  stopSources() {
    if (this.timer !== null) { clearInterval(this.timer); this.timer = null; }
    for (const s of this.sources) { try { s.stop(); } catch (e) {} s.disconnect(); }
    this.sources = [];
  }

  pause() {
    this.baseMs = this.timeMs();
    this.playing = false;
    ++this.generation;
    this.stopSources();
    this.contextStart = null;
  }
  resume() { if (!this.playing) this.play(this.baseMs); }
  seek(ms) { if (this.playing) { this.play(ms); } else { this.baseMs = ms; } }

  // 0..256; a change sets in at once, so 256 steps 4 ms apart are the fade.
  volume(v) { this.gain.gain.setValueAtTime(v / 256, this.context.currentTime); }

  stop() { this.pause(); }
}

// The AudioContext for the show: made in the click that starts it (a
// browser lets sound start only from a user's gesture), at the song's rate.
let songContext = null;
function openSongContext() {
  if (songContext === null) {
    try { songContext = new AudioContext({sampleRate: 44100}); } catch (e) { songContext = null; }
  } else if (songContext.state !== 'running') {
    songContext.resume();
  }
  return songContext;
}

// Resolves true once the context runs, false after waitMs (no sound device,
// or no gesture).
async function songContextRunning(waitMs) {
  if (songContext === null) return false;
  if (songContext.state === 'running') return true;
  return Promise.race([songContext.resume().then(() => songContext.state === 'running', () => false),
                       new Promise((r) => setTimeout(() => r(false), waitMs))]);
}
