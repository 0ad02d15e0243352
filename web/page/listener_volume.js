// The listener's volume and mute, from the player bar, over the song's own
// volume. Two song players fit under it: one whose volume(0..256) is also
// the module's (its fade at the end), which is wrapped so that what the
// module asks for is scaled by the listener's level (a muted show fades out
// unheard too); and one that mixes the module's volume in itself and offers
// a gain node after the mix (song.gain), which is the listener's alone.
'use strict';

const ListenerVolume = {
  level: 1,            // 0..1
  muted: false,
  moduleVolume: 256,   // what the module last asked for, 0..256
  song: null,
  setSongVolume: null, // the song player's own volume(0..256), wrapped
  gainNode: null,      // or its gain after the mix

  // The song the module opened (Module.sorvanelSong), once the show runs.
  attach(song) {
    if (!song || song === this.song) return;
    this.song = song;
    if (typeof song.volume === 'function') {
      this.setSongVolume = song.volume.bind(song);
      song.volume = (v) => { this.moduleVolume = v; this.apply(); };
    } else if (song.gain && song.gain.gain) {
      this.gainNode = song.gain;
    }
    this.apply();
  },

  set(level, muted) {
    this.level = Math.min(1, Math.max(0, level));
    this.muted = muted;
    this.apply();
  },

  apply() {
    const factor = this.muted ? 0 : this.level;
    if (this.setSongVolume !== null) this.setSongVolume(Math.round(this.moduleVolume * factor));
    if (this.gainNode !== null) this.gainNode.gain.value = factor;
  },
};
