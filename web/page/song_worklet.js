// The song's last step in the page, on the browser's audio rendering thread:
// it plays the samples the module mixed (16-bit stereo, sent about a second
// ahead through its message port) and tells the page how far it has got.
//
// Messages in:
//   {type: 'flush', generation, hold}      drop what is queued; chunks of this
//                                          generation follow (a start, seek or pause);
//                                          with hold, they wait for 'go'
//   {type: 'go'}                           play what is held (the show's first
//                                          frame is drawn: the page's thread is free
//                                          to keep the queue full from here on)
//   {type: 'chunk', generation, samples}   interleaved Int16Array, queued in order
//   {type: 'drain'}                        play out what is queued, then stay silent
//   {type: 'probe', frames}                hand out this many frames of silence
//                                          at once, held song or not (the page's
//                                          proof, at the click, that this output plays)
// Messages out (about every 23 ms, and at once when the queue runs dry or
// fills again):
//   {generation, handed, lastHandFrame, frame, starved, queued, gaps, silentFrames, drained,
//    probed}
//   handed: song frames of this generation handed to the output so far;
//   lastHandFrame: the context frame just after the last of them;
//   frame: the context frame after this block; starved: the queue ran dry
//   (or is held); queued: song frames waiting in the queue;
//   gaps / silentFrames: times the queue ran dry while the song played, and
//   the frames of silence that made; probed: the probe's frames handed out.
'use strict';

const REPORT_EVERY_BLOCKS = 8;

class SorvanelSongProcessor extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];          // Int16Array chunks, interleaved stereo
    this.offset = 0;          // samples of queue[0] already played
    this.generation = 0;
    this.handed = 0;
    this.lastHandFrame = 0;
    this.starved = true;
    this.started = false;     // this generation has sounded: a dry queue is a gap
    this.hold = false;
    this.draining = false;
    this.drained = false;
    this.gaps = 0;
    this.silentFrames = 0;
    this.blocks = 0;
    this.probeLeft = 0;
    this.probed = 0;
    this.port.onmessage = (event) => this.receive(event.data);
  }

  receive(message) {
    if (message.type === 'flush') {
      this.queue = [];
      this.offset = 0;
      this.generation = message.generation;
      this.handed = 0;
      this.started = false;
      this.hold = Boolean(message.hold);
      this.draining = false;
      this.drained = false;
      this.report(currentFrame);
    } else if (message.type === 'chunk') {
      if (message.generation === this.generation && !this.draining) this.queue.push(message.samples);
    } else if (message.type === 'go') {
      this.hold = false;
    } else if (message.type === 'probe') {
      this.probeLeft += message.frames;
    } else if (message.type === 'drain') {
      // What was never let go is never heard: nothing to play out.
      if (this.hold) this.queue = [];
      this.hold = false;
      this.draining = true;
    }
  }

  report(frame) {
    this.port.postMessage({
      generation: this.generation, handed: this.handed, lastHandFrame: this.lastHandFrame,
      frame, starved: this.starved, queued: this.queuedFrames(), gaps: this.gaps,
      silentFrames: this.silentFrames,
      drained: this.drained, probed: this.probed,
    });
  }

  queuedFrames() {
    let samples = -this.offset;
    for (const chunk of this.queue) samples += chunk.length;
    return samples >> 1;
  }

  process(inputs, outputs) {
    const left = outputs[0][0];
    const right = outputs[0][1] || left;
    const frames = left.length;
    if (this.probeLeft > 0) {
      // A block of the probe's silence: the song, if any, waits one block.
      left.fill(0);
      right.fill(0);
      this.probeLeft = Math.max(0, this.probeLeft - frames);
      this.probed += frames;
      this.report(currentFrame + frames);
      return true;
    }
    let done = 0;
    while (done < frames && this.queue.length > 0 && !this.hold) {
      const chunk = this.queue[0];
      const n = Math.min(frames - done, (chunk.length - this.offset) >> 1);
      for (let i = 0; i < n; ++i) {
        left[done + i] = chunk[this.offset + 2 * i] / 32768;
        right[done + i] = chunk[this.offset + 2 * i + 1] / 32768;
      }
      done += n;
      this.offset += 2 * n;
      if (this.offset >= chunk.length) {
        this.queue.shift();
        this.offset = 0;
      }
    }
    for (let i = done; i < frames; ++i) {
      left[i] = 0;
      right[i] = 0;
    }
    const wasStarved = this.starved;
    if (done > 0) {
      this.handed += done;
      this.lastHandFrame = currentFrame + done;
      this.started = true;
    }
    this.starved = done < frames;
    if (this.starved && this.started && !this.draining) {
      if (!wasStarved) ++this.gaps;
      this.silentFrames += frames - done;
    }
    if (this.draining && this.queue.length === 0 && !this.drained) {
      this.drained = true;
      this.report(currentFrame + frames);
    } else if (++this.blocks >= REPORT_EVERY_BLOCKS || this.starved !== wasStarved) {
      this.blocks = 0;
      this.report(currentFrame + frames);
    }
    return true;
  }
}

registerProcessor('sorvanel-song', SorvanelSongProcessor);
