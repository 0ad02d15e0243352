// The page around the show: the settings form, the show's stage with its
// player bar, messages, the data files, full screen, and the address (see
// address.js for what it takes).
'use strict';

const $ = (id) => document.getElementById(id);
// Opened as a file, the browser lets the page read nothing beside it.
const servedFromFile = location.protocol === 'file:';

// Inflates gzip bytes.
async function inflate(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The data files the module opens by name, written into its file system
// before it starts; the downloads overlap the WebAssembly compile. The site
// keeps glyphs.bin and the song gzipped; data_fetch.js inflates them (unless
// the server already did), and tries each file again where a fetch fails.
const dataFiles = ['morrowen.q7v', 'glyphs.bin', 'Sorvanel.it'];
const download = (name) => fetchDataFile(name, name !== 'morrowen.q7v');
const downloads = servedFromFile ? [] : dataFiles.map(download);
// Awaited when the show starts; a failure is reported then, not before.
downloads.forEach((d) => d.catch(() => {}));

let address = null;  // the address read (address.js)

// The form's settings, as the address writes them.
function formSettings() {
  return {window: $('resolution').value, fullscreen: $('fullscreen').checked,
          nosound: $('nosound').checked, controls: $('controls').checked,
          loop: $('loop').checked, widescreen: $('widescreen').checked,
          msaa: Number($('msaa').value),
          audioOffsetMs: address ? address.audioOffsetMs : 0};
}

function reloadWithDialog() {
  location.replace(PageAddress.formAgain(formSettings()));
}

// The launcher's message box: its text, OK doing `then`; with `noSound`, a
// second button that goes on without sound as the form's "No Sound" does.
function showMessage(text, then, noSound = null) {
  $('message-caption').textContent = 'Morrowen :: Talvenor';
  $('message-text').textContent = text;
  $('message-detail').textContent = '';
  $('message').hidden = false;
  $('message-ok').onclick = () => { $('message').hidden = true; then(); };
  $('message-nosound').hidden = noSound === null;
  $('message-nosound').onclick = noSound;
  $('message-ok').focus();
}

// The show again at once, where it was to start, without sound (no click is
// needed for that).
function goOnWithoutSound() {
  location.replace(PageAddress.withoutSound(formSettings(), address ? address.startMs : 0));
}

const SOUND_START_FAILED = 'Sound initialization failed!';
let soundFailed = false;  // said; the show is not started behind the message

// What the module and the host say to the page.
const Page = {
  // The show could not start: the text as the launcher's box shows it, with
  // the cause beside it (and on the console).
  failed(text, detail) {
    // Where the song did not come, why not is the cause.
    if (text === 'Soundfile not found' && dataFetchFailures.has('Sorvanel.it')) {
      detail = dataFetchFailures.get('Sorvanel.it');
    }
    if (detail) console.error(text + ' (' + detail + ')');
    if (address && address.shot) {
      document.title = text + (detail ? ' (' + detail + ')' : '');
      return;
    }
    leaveStage();
    showMessage(text, reloadWithDialog, text === SOUND_START_FAILED ? goOnWithoutSound : null);
    $('message-detail').textContent = detail ? '(' + detail + ')' : '';
  },
  // The sound started but nothing of the song is heard: the show would sit
  // at its first frame. Said as the launcher says a sound start that failed.
  soundNotHeard(why) {
    soundFailed = true;
    if (songContext) songContext.suspend().catch(() => {});
    Page.failed(SOUND_START_FAILED, why);
  },
  // The show runs: the player bar gets its script, the listener's volume
  // the song.
  showStarted(script) {
    Loading.hide();
    if (Module.sorvanelSong instanceof WorkletSong) Module.sorvanelSong.goOnceFramesFlow();
    PlayerBar.open(script);
    ListenerVolume.attach(Module.sorvanelSong);
    ShowWakeLock.hold();
    Page.wakeTimer = setInterval(() => {
      if (PlayerBar.paused()) ShowWakeLock.release(); else ShowWakeLock.hold();
    }, 1000);
  },
  // The show ended (its end, Esc, the bar's leave, or leaving the full
  // screen it started in): back to the form, on a fresh page (one show per
  // program run, as the launcher's).
  ended() {
    leaveStage();
    // The fade's last second, mixed ahead, is heard out first.
    songPlayedOut(1500).then(reloadWithDialog);
  },
  title(text) { document.title = text; },
  // A shot's frame: bottom-up RGBA rows from the drawing buffer.
  shot(rgba, width, height) {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext('2d');
    const image = context.createImageData(width, height);
    const row = width * 4;
    for (let y = 0; y < height; ++y) {
      image.data.set(rgba.subarray((height - 1 - y) * row, (height - y) * row), y * row);
    }
    // Opaque, so nothing is premultiplied away on the way into the PNG.
    for (let i = 3; i < image.data.length; i += 4) image.data[i] = 255;
    context.putImageData(image, 0, 0);
    $('shot').src = canvas.toDataURL('image/png');
    document.title = 'shot ready';
  },
};

function leaveStage() {
  Loading.hide();
  PlayerBar.close();
  clearInterval(Page.wakeTimer);
  ShowWakeLock.release();
  $('stage').hidden = true;
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

// The chosen resolution in CSS pixels ("desktop": the screen's).
function chosenSize() {
  const value = $('resolution').value;
  if (value === 'desktop') return [screen.width, screen.height];
  const m = /^([0-9]+)x([0-9]+)$/.exec(value);
  return m ? [Number(m[1]), Number(m[2])] : [640, 480];
}

// Full screen: the stage covers the screen where the browser grants it, and
// the window where it cannot (iPhone) or has not yet; the drawing buffer
// follows either way (canvas_sizing.js). Leaving a full screen the show was
// started in by the browser's own means (Esc, a phone's back gesture) ends
// the show, as Esc does; the bar's button goes back to the window.
const FullScreen = {
  startedIn: false,
  leavingByButton: false,

  enter() {
    CanvasSizing.choose(...chosenSize(), true);
    $('full-screen').setAttribute('aria-pressed', 'true');
    const stage = $('stage');
    if (stage.requestFullscreen && !document.fullscreenElement) {
      stage.requestFullscreen({navigationUI: 'hide'}).catch(() => {});
    }
  },

  leave() {
    CanvasSizing.choose(...chosenSize(), false);
    $('full-screen').setAttribute('aria-pressed', 'false');
    if (document.fullscreenElement) {
      this.leavingByButton = true;
      document.exitFullscreen().catch(() => {});
    }
  },

  toggle() { if (CanvasSizing.fills) this.leave(); else this.enter(); },

  changed() {
    if (document.fullscreenElement || $('stage').hidden) return;
    if (this.leavingByButton) {
      this.leavingByButton = false;
    } else if (this.startedIn) {
      ccall('sorvanelEnd', null, [], []);
    } else {
      this.leave();
    }
  },
};

let started = false;
let filesWritten = null;
async function writeDataFiles() {
  if (filesWritten === null) {
    // A song that did not come is left out, so the module says "Soundfile
    // not found" (with the fetch's cause); a picture file that did not fails here.
    filesWritten = Promise.allSettled(downloads).then((results) => {
      FS.mkdirTree('/data');
      results.forEach((result, i) => {
        if (result.status === 'fulfilled') {
          FS.writeFile('/data/' + dataFiles[i], result.value);
        } else if (dataFiles[i] !== 'Sorvanel.it') {
          throw result.reason;
        }
      });
    });
  }
  return filesWritten;
}

// Starts the show with the form's settings. Called from the click or key
// (the gesture that lets sound and full screen start) or at once with
// nodialog; once per page.
async function beamMeUp() {
  if (started) return;
  started = true;
  const sound = !$('nosound').checked;
  const fullScreen = $('fullscreen').checked;
  if (sound) {
    openSongContext();  // in the gesture itself, before any await
    // Its worklet and watch as soon as it runs, while the program loads.
    prepareSongWorklet((why) => Page.soundNotHeard(why));
  }
  $('dialog').hidden = true;
  $('stage').hidden = false;
  FullScreen.startedIn = fullScreen;
  if (fullScreen) FullScreen.enter(); else CanvasSizing.choose(...chosenSize(), false);
  CanvasSizing.watch();
  $('canvas').focus();
  Loading.show();
  await programReady;
  if (address.error || soundFailed) return;  // said in place of the show
  try {
    await writeDataFiles();
  } catch (e) {
    Page.failed('Loading Texture failed!', String((e && e.message) || e));
    return;
  }
  if (soundFailed) return;
  const [w, h] = CanvasSizing.bufferSize() || chosenSize();
  await ccall('sorvanelShow', 'number', Array(10).fill('number'),
              [w, h, fullScreen ? 1 : 0, sound ? 1 : 0, address.startMs,
               $('controls').checked ? 1 : 0, $('loop').checked ? 1 : 0,
               $('widescreen').checked ? 1 : 0, address.audioOffsetMs, Number($('msaa').value)],
              {async: true});
}

async function takeShot() {
  try {
    await writeDataFiles();
  } catch (e) {
    Page.failed('error: Loading Texture failed!', String((e && e.message) || e));
    return;
  }
  $('stage').hidden = false;
  await ccall('sorvanelShot', 'number', Array(6).fill('number'),
              [address.shotMs, address.shotWidth, address.shotHeight, address.fps,
               address.widescreen ? 1 : 0, address.msaa], {async: true});
  $('stage').hidden = true;
  $('shot').hidden = false;
}

// The form's controls preset from the address, as talvenor's options do.
function presetDialog() {
  const list = $('resolution');
  const value = address.width === 0 ? 'desktop' : address.width + 'x' + address.height;
  if (![...list.options].some((o) => o.value === value)) {
    list.add(new Option(value === 'desktop' ? 'Desktop' : address.width + ' x ' + address.height,
                        value));
  }
  list.value = value;
  for (const id of ['fullscreen', 'nosound', 'controls', 'loop', 'widescreen']) {
    $(id).checked = address[id];
  }
  $('msaa').value = String(address.msaa);
}

// The same before the program has read the address, from the plain
// parameters, so that the form shown at once shows them; the program's
// reading (presetDialog) follows unless the form has been changed by then.
function presetDialogEarly(query) {
  for (const id of ['fullscreen', 'nosound', 'controls', 'loop', 'widescreen']) {
    if (query.has(id)) $(id).checked = true;
  }
  const msaa = query.get('msaa');
  if ([...$('msaa').options].some((o) => o.value === msaa)) $('msaa').value = msaa;
  const size = query.get('window');
  if ([...$('resolution').options].some((o) => o.value === size)) $('resolution').value = size;
}

let formTouched = false;

function wireDialog() {
  const dialog = $('dialog');
  const touched = () => { formTouched = true; };
  dialog.addEventListener('input', touched);
  dialog.addEventListener('change', touched);
  dialog.addEventListener('submit', (event) => {
    event.preventDefault();
    beamMeUp();
  });
  $('leave').addEventListener('click', () => {
    dialog.hidden = true;
    $('left').hidden = false;
  });
  dialog.addEventListener('keydown', (event) => {
    // Esc starts the show, as in the launcher's dialog; so does Enter, the
    // default button's key, wherever the focus is but on another button.
    const enter = event.key === 'Enter' && !event.target.closest('button, summary');
    if (event.key === 'Escape' || enter) {
      event.preventDefault();
      beamMeUp();
    }
  });
}

// The program (sorvanel.js) has started and read the address.
let programStarted = null;
const programReady = new Promise((resolve) => { programStarted = resolve; });

function boot() {
  address = PageAddress.read();
  // A shot's address answers in the title, also when it cannot be used.
  if (address.shot || new URLSearchParams(location.search).has('shot')) {
    address.shot = true;
    if (address.error) document.title = 'error: ' + address.error;
    else takeShot();
    return;
  }
  if (address.error) {
    $('dialog').hidden = true;
    leaveStage();
    showMessage(address.error, () => location.replace(location.pathname));
    programStarted();
    return;
  }
  if (!formTouched) presetDialog();
  if (!formAtOnce) wireDialog();
  PlayerBar.wire();
  PlayerBar.onLeave = () => ccall('sorvanelEnd', null, [], []);
  PlayerBar.onFullScreen = () => FullScreen.toggle();
  TouchGestures.wire();
  document.addEventListener('fullscreenchange', () => FullScreen.changed());
  programStarted();
  if (address.nodialog) {
    startWithoutForm();
  } else if (!formAtOnce) {
    $('dialog').hidden = false;
    $('resolution').focus();
  }
}

// A link straight to the show: with sound, where the browser lets sound
// start only from a click, the page asks for that one click.
async function startWithoutForm() {
  if ($('nosound').checked || await soundStartsWithoutClick(1000)) {
    beamMeUp();
    return;
  }
  $('click-to-start').hidden = false;
  $('click-start').onclick = () => {
    $('click-to-start').hidden = true;
    beamMeUp();
  };
  $('click-start').focus();
}

var Module = {
  canvas: $('canvas'),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onAbort: (what) => Page.failed('The show could not be started.', 'aborted: ' + what),
  // The module's private folder lies in its in-memory file system.
  preRun: [() => { ENV.XDG_RUNTIME_DIR = '/run'; FS.mkdirTree('/run'); }],
  onRuntimeInitialized: boot,
};

// The downloads' progress, in the form while it is shown and in the banner
// from the click to the show's first frame: "1.2 of 2.1 MB".
function downloadProgressText() {
  let received = 0;
  let total = 0;
  for (const p of dataFetchProgress.values()) {
    received += p.received;
    total += Math.max(p.total, p.received);
  }
  return total > 0 ? byteCount(received) + ' of ' + byteCount(total) : '';
}

let downloadsDone = false;
Promise.allSettled(downloads).then(() => {
  downloadsDone = true;
  dataFetchProgressed();
});

const Loading = {
  show() {
    $('loading').hidden = false;
    dataFetchProgressed();
  },
  hide() { $('loading').hidden = true; },
};

dataFetchProgressed = () => {
  const progress = downloadsDone ? '' : downloadProgressText();
  $('download').textContent = progress ? 'Downloading the show: ' + progress : '';
  $('loading-progress').textContent = progress;
};

// The form as soon as the page is read, while the program and the data
// come behind it: Beam me up! waits for them, showing their progress.
const query = new URLSearchParams(location.search);
const formAtOnce = !servedFromFile && !query.has('shot') && !query.has('nodialog');
if (formAtOnce) {
  presetDialogEarly(query);
  wireDialog();
  $('dialog').hidden = false;
  $('resolution').focus();
}

if (servedFromFile) {
  $('served').hidden = false;
} else {
  const program = document.createElement('script');
  program.src = 'sorvanel.js';
  document.body.append(program);
}
