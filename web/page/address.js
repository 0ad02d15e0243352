// The page's address. It is read on the C++ side by talvenor's own option
// table (sorvanelReadAddress: `start=14` is `--start 14`, with the same
// ranges and the same words when refused), so no address starts a show other
// than the one it names:
//
//   index.html                      the form; "Beam me up!" (or Enter) starts the show
//   index.html?start=S              the form, with the show starting at S seconds
//   ...&nosound&window=WxH&fullscreen&widescreen&msaa=N&controls&loop&audio-offset=MS
//                                   preset the form, as talvenor's options do
//   ...&nodialog                    start at once (sound needs a user's click: add nosound)
//   index.html?shot=S[&size=WxH][&widescreen][&msaa=N][&fps=N]
//                                   the frame `talvenor --shot S --size WxH` draws, without
//                                   sound, as a PNG in <img id="shot">; the title becomes
//                                   "shot ready" (or "error: " and why)
'use strict';

const PageAddress = {
  // {error, shot, startMs, width, height, windowGiven, fullscreen, nosound, controls,
  //  loop, widescreen, msaa, nodialog, audioOffsetMs, shotMs, shotWidth, shotHeight, fps};
  // error is "" or the refusal naming the parameter.
  read() {
    return JSON.parse(ccall('sorvanelReadAddress', 'string', ['string'], [location.search]));
  },

  // The address of the form again, preset as it was left, never starting
  // the show part-way or at once: after a show, the next one is the user's.
  formAgain(form) {
    const next = [];
    if (form.window !== '640x480') next.push('window=' + form.window);
    for (const name of ['fullscreen', 'nosound', 'controls', 'loop', 'widescreen']) {
      if (form[name]) next.push(name);
    }
    if (form.msaa) next.push('msaa=' + form.msaa);
    if (form.audioOffsetMs) next.push('audio-offset=' + form.audioOffsetMs);
    return location.pathname + (next.length ? '?' + next.join('&') : '');
  },

  // The show straight away, from startMs, without sound: the way on where
  // the sound did not start.
  withoutSound(form, startMs) {
    const again = this.formAgain(Object.assign({}, form, {nosound: true}));
    const start = startMs > 0 ? '&start=' + startMs / 1000 : '';
    return again + (again.includes('?') ? '&' : '?') + 'nodialog' + start;
  },
};
