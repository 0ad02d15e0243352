// Touch on the show, beside the player bar: a tap shows or hides the bar; a
// double tap on the left or right half seeks 5 s back or on. A tap waits
// briefly to see whether a second follows. With a mouse, moving it or
// clicking shows the bar; any key but Esc shows it too.
'use strict';

const TouchGestures = {
  doubleTapMs: 300,
  tapSlopPx: 12,
  down: null,        // {x, y, t} of the touch in progress
  lastTap: null,     // {x, y, t} of a tap that may become a double tap
  tapTimer: null,

  onStage(event) {
    return !event.target.closest('#player');
  },

  pointerDown(event) {
    if (event.pointerType === 'mouse' || !this.onStage(event)) return;
    this.down = {x: event.clientX, y: event.clientY, t: event.timeStamp};
  },

  pointerUp(event) {
    if (event.pointerType === 'mouse') {
      if (this.onStage(event)) PlayerBar.show();
      return;
    }
    const down = this.down;
    this.down = null;
    if (down === null || !this.onStage(event)) return;
    const moved = Math.hypot(event.clientX - down.x, event.clientY - down.y);
    if (moved > this.tapSlopPx || event.timeStamp - down.t > 500) return;  // no tap
    const tap = {x: event.clientX, y: event.clientY, t: event.timeStamp};
    const last = this.lastTap;
    if (last !== null && tap.t - last.t <= this.doubleTapMs &&
        Math.hypot(tap.x - last.x, tap.y - last.y) < 60) {
      clearTimeout(this.tapTimer);
      this.lastTap = null;
      const stage = document.getElementById('stage').getBoundingClientRect();
      const back = tap.x < stage.left + stage.width / 2;
      PlayerBar.act(back ? PlayerAction.backFive : PlayerAction.onFive);
      PlayerBar.show();
      return;
    }
    this.lastTap = tap;
    clearTimeout(this.tapTimer);
    this.tapTimer = setTimeout(() => {
      this.lastTap = null;
      PlayerBar.toggle();
    }, this.doubleTapMs);
  },

  wire() {
    const stage = document.getElementById('stage');
    stage.addEventListener('pointerdown', (e) => this.pointerDown(e));
    stage.addEventListener('pointerup', (e) => this.pointerUp(e));
    stage.addEventListener('pointercancel', () => { this.down = null; });
    stage.addEventListener('pointermove', (e) => {
      if (e.pointerType === 'mouse' && (e.movementX || e.movementY)) PlayerBar.show();
    });
    // No double-tap zoom or text selection on the picture.
    stage.addEventListener('dblclick', (e) => e.preventDefault());
    window.addEventListener('keydown', (e) => {
      if (e.key !== 'Escape' && !document.getElementById('stage').hidden) PlayerBar.show();
    });
  },
};
