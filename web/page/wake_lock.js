// A Screen Wake Lock held while the show plays, where the browser offers
// one, so a phone's screen does not dim in the middle of it. The browser
// drops the lock when the page is hidden; it is taken again when the page
// shows while the show still plays.
'use strict';

const ShowWakeLock = {
  wanted: false,
  sentinel: null,

  async hold() {
    this.wanted = true;
    if (this.sentinel !== null || !navigator.wakeLock || document.visibilityState !== 'visible') {
      return;
    }
    try {
      const sentinel = await navigator.wakeLock.request('screen');
      if (!this.wanted) { sentinel.release(); return; }
      this.sentinel = sentinel;
      sentinel.addEventListener('release', () => {
        if (this.sentinel === sentinel) this.sentinel = null;
      });
    } catch (e) {
      // Refused (a power saver, a policy): the show plays on without it.
    }
  },

  release() {
    this.wanted = false;
    if (this.sentinel !== null) this.sentinel.release().catch(() => {});
    this.sentinel = null;
  },
};

document.addEventListener('visibilitychange', () => {
  if (ShowWakeLock.wanted && document.visibilityState === 'visible') ShowWakeLock.hold();
});
