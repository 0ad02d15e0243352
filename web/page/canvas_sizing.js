// The canvas's size on the page and its drawing buffer's. Windowed, the
// canvas is the chosen resolution in CSS pixels, made smaller (its shape
// kept) where the window is smaller; in full screen, or where the browser
// has no element full screen (iPhone) and the stage fills the window
// instead, it covers the stage. The drawing buffer is that size times the
// device's pixel ratio, counted up to 2 and cut further to at most 3840 x
// 2160 pixels in all (a phone's ratio of 3 would draw nine times a
// window's pixels on a small GPU); the browser scales the rest. The show's
// frame loop reads bufferSize() every frame and follows it, and the host
// keeps the 4:3 picture pillar- or letterboxed (or opened out with
// widescreen) in whatever shape the buffer has. Recomputed on every change
// of the stage's size (window resize, orientation, full screen, a phone's
// bars) and of the pixel ratio, whenever it happens.
'use strict';

const CanvasSizing = {
  maxPixelRatio: 2,
  maxPixels: 3840 * 2160,
  chosen: [640, 480],  // CSS pixels of the windowed canvas
  fills: false,        // covers the stage
  wanted: null,        // [width, height] of the drawing buffer
  observer: null,

  // width x height: the chosen resolution; fills: the stage is covered.
  choose(width, height, fills) {
    this.chosen = [width, height];
    this.fills = fills;
    this.update();
  },

  // The ratio of buffer pixels to CSS pixels for a canvas of w x h.
  pixelRatio(w, h) {
    let ratio = Math.min(window.devicePixelRatio || 1, this.maxPixelRatio);
    const pixels = w * h * ratio * ratio;
    if (pixels > this.maxPixels) ratio *= Math.sqrt(this.maxPixels / pixels);
    return ratio;
  },

  update() {
    const stage = document.getElementById('stage');
    const canvas = document.getElementById('canvas');
    if (stage.hidden) return;
    const room = stage.getBoundingClientRect();
    if (room.width < 1 || room.height < 1) return;
    let w = room.width;
    let h = room.height;
    if (!this.fills) {
      const scale = Math.min(1, room.width / this.chosen[0], room.height / this.chosen[1]);
      w = this.chosen[0] * scale;
      h = this.chosen[1] * scale;
    }
    canvas.style.width = w + 'px';
    canvas.style.height = h + 'px';
    const ratio = this.pixelRatio(w, h);
    this.wanted = [Math.max(1, Math.round(w * ratio)), Math.max(1, Math.round(h * ratio))];
  },

  bufferSize() { return this.wanted; },

  // Follows the stage from now on.
  watch() {
    if (this.observer !== null) return;
    const update = () => this.update();
    this.observer = new ResizeObserver(update);
    this.observer.observe(document.getElementById('stage'));
    window.addEventListener('resize', update);
    window.addEventListener('orientationchange', update);
    document.addEventListener('fullscreenchange', update);
    // The pixel ratio changes with the browser's zoom or another screen.
    const watchRatio = () => {
      matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)')
          .addEventListener('change', () => { update(); watchRatio(); }, {once: true});
    };
    watchRatio();
    update();
  },
};
