// The player bar over the show, as video players have: play and pause, a
// seek bar whose marks are the script's events (their words as --list
// prints them, in each mark's tooltip and in the caption of the event
// playing), the time, mute and volume, full screen and leave. Shown on a
// tap, a mouse move or a key; hidden again after a few seconds of play
// (kept while paused, pointed at or in use). The seek bar is an
// input type=range whose value is the song time in seconds, 0 to the show's
// end. Pause, play and seeks go to the show's viewing controls
// (web_player.cpp), the same ones the --controls keys drive; volume and mute
// to ListenerVolume.
'use strict';

const PlayerAction = {pause: 1, play: 2, seekTo: 3, nextEvent: 4, previousEvent: 5,
                      backFive: 6, onFive: 7};

// m:ss.t of a song time in ms.
function songClock(ms) {
  const t = Math.max(0, Math.floor(ms / 100));
  return Math.floor(t / 600) + ':' + String(Math.floor(t / 10) % 60).padStart(2, '0') + '.' + t % 10;
}

const PlayerBar = {
  hideAfterMs: 3000,
  script: null,       // {endMs, canSeek, events: [{startMs, what}]}
  visible: false,
  dragging: false,    // the seek bar is held: the clock does not move it
  pointedAt: false,
  hideTimer: null,
  frameRequest: null,
  onLeave: null,      // the page's: ends the show
  onFullScreen: null, // the page's: toggles full screen

  // The show runs: what it can do and its script.
  open(script) {
    this.script = script;
    const seek = document.getElementById('seek');
    seek.max = String(script.endMs > 0 ? script.endMs / 1000 : 0);
    seek.disabled = !script.canSeek;
    for (const id of ['play', 'previous-event', 'next-event']) {
      document.getElementById(id).disabled = !script.canSeek;
    }
    this.drawMarks();
    this.show();
  },

  close() {
    this.script = null;
    clearTimeout(this.hideTimer);
    if (this.frameRequest !== null) cancelAnimationFrame(this.frameRequest);
    this.frameRequest = null;
    document.getElementById('player').hidden = true;
    this.visible = false;
  },

  drawMarks() {
    const marks = document.getElementById('marks');
    marks.replaceChildren();
    const end = this.script.endMs;
    if (!(end > 0)) return;
    this.script.events.forEach((event, i) => {
      const mark = document.createElement('span');
      mark.style.left = (100 * event.startMs / end) + '%';
      mark.title = this.eventName(i);
      mark.addEventListener('click', () => this.seekTo(event.startMs));
      marks.append(mark);
    });
  },

  // "event 43/91 at 12:25.0: circle A"
  eventName(i) {
    const events = this.script.events;
    return 'event ' + (i + 1) + '/' + events.length + ' at ' + songClock(events[i].startMs) +
           ': ' + events[i].what;
  },

  // The index of the event holding ms, or -1.
  eventAt(ms) {
    const events = this.script ? this.script.events : [];
    let i = -1;
    while (i + 1 < events.length && events[i + 1].startMs <= ms) ++i;
    return i;
  },

  timeMs() { return ccall('sorvanelPlayerTimeMs', 'number', [], []); },
  paused() { return ccall('sorvanelPlayerPaused', 'number', [], []) === 1; },
  act(action, value) { ccall('sorvanelPlayer', 'number', ['number', 'number'], [action, value || 0]); },

  seekTo(ms) {
    this.act(PlayerAction.seekTo, Math.round(ms));
    this.show();
  },

  togglePause() {
    this.act(this.paused() ? PlayerAction.play : PlayerAction.pause);
    this.show();
  },

  // Shown now, and hidden again after a while of play.
  show() {
    if (this.script === null) return;
    document.getElementById('player').hidden = false;
    document.getElementById('stage').classList.remove('idle');
    this.visible = true;
    this.refresh();
    clearTimeout(this.hideTimer);
    this.hideTimer = setTimeout(() => this.hideIfIdle(), this.hideAfterMs);
  },

  hide() {
    clearTimeout(this.hideTimer);
    document.getElementById('player').hidden = true;
    document.getElementById('stage').classList.add('idle');
    this.visible = false;
    if (document.activeElement && document.activeElement.closest('#player')) {
      document.getElementById('canvas').focus();
    }
  },

  toggle() { if (this.visible) this.hide(); else this.show(); },

  hideIfIdle() {
    const inUse = this.dragging || this.pointedAt ||
                  (document.activeElement && document.activeElement.matches('#player :focus-visible'));
    if (this.script === null || this.paused() || inUse) {
      this.hideTimer = setTimeout(() => this.hideIfIdle(), this.hideAfterMs);
      return;
    }
    this.hide();
  },

  // The bar follows the show every animation frame while it is shown.
  refresh() {
    if (this.frameRequest !== null || this.script === null) return;
    const step = () => {
      this.frameRequest = null;
      if (this.script === null) return;
      this.draw();
      if (this.visible) this.frameRequest = requestAnimationFrame(step);
    };
    this.frameRequest = requestAnimationFrame(step);
  },

  draw() {
    const ms = this.timeMs();
    if (ms < 0) return;
    const paused = this.paused();
    const player = document.getElementById('player');
    player.classList.toggle('paused', paused);
    const play = document.getElementById('play');
    play.setAttribute('aria-label', paused ? 'Play' : 'Pause');
    const seek = document.getElementById('seek');
    const shownMs = this.dragging ? Number(seek.value) * 1000 : ms;
    if (!this.dragging) seek.value = String(ms / 1000);
    const i = this.eventAt(shownMs);
    const events = this.script.events;
    const caption = i >= 0 ? 'event ' + (i + 1) + '/' + events.length + ': ' + events[i].what : '';
    seek.setAttribute('aria-valuetext', songClock(shownMs) + (caption ? ', ' + caption : ''));
    document.getElementById('clock').textContent =
        songClock(shownMs) + ' / ' + songClock(this.script.endMs);
    const chapter = document.getElementById('chapter');
    if (chapter.textContent !== caption) chapter.textContent = caption;
  },

  setVolume(level, muted) {
    ListenerVolume.set(level, muted);
    const player = document.getElementById('player');
    player.classList.toggle('muted', muted || level === 0);
    const mute = document.getElementById('mute');
    mute.setAttribute('aria-pressed', String(muted));
    mute.setAttribute('aria-label', muted ? 'Unmute' : 'Mute');
  },

  // Space and the arrows, as video players take them, while the show runs
  // without "Controls" (with them the show's own keys do the same and more).
  // A focused button or slider keeps its own keys.
  keyPressed(e) {
    if (this.script === null || document.getElementById('controls').checked) return;
    if (e.target.closest && e.target.closest('button, input, select')) return;
    const action = {' ': this.paused() ? PlayerAction.play : PlayerAction.pause,
                    ArrowLeft: PlayerAction.backFive, ArrowRight: PlayerAction.onFive}[e.key];
    if (action === undefined || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();
    this.act(action);
    this.show();
  },

  // The bar's controls, once.
  wire() {
    const $ = (id) => document.getElementById(id);
    $('play').addEventListener('click', () => this.togglePause());
    $('previous-event').addEventListener('click', () => {
      this.act(PlayerAction.previousEvent);
      this.show();
    });
    $('next-event').addEventListener('click', () => {
      this.act(PlayerAction.nextEvent);
      this.show();
    });
    const seek = $('seek');
    seek.addEventListener('input', () => {
      this.dragging = true;
      this.show();
      this.draw();
    });
    seek.addEventListener('change', () => {
      this.dragging = false;
      this.seekTo(Number(seek.value) * 1000);
    });
    const volume = $('volume');
    volume.addEventListener('input', () => {
      this.setVolume(Number(volume.value) / 100, false);
      this.show();
    });
    $('mute').addEventListener('click', () => {
      this.setVolume(Number(volume.value) / 100, !ListenerVolume.muted);
      this.show();
    });
    $('full-screen').addEventListener('click', () => {
      if (this.onFullScreen) this.onFullScreen();
      this.show();
    });
    $('leave-show').addEventListener('click', () => { if (this.onLeave) this.onLeave(); });
    window.addEventListener('keydown', (e) => this.keyPressed(e));
    const player = $('player');
    player.addEventListener('pointerenter', (e) => { if (e.pointerType === 'mouse') this.pointedAt = true; });
    player.addEventListener('pointerleave', () => { this.pointedAt = false; });
  },
};
