// The page around the show: the settings dialog, the show's stage, messages,
// the data files and the addresses for automation.
//
//   index.html                      the dialog; "Beam me up!" starts the show
//   index.html?start=S              the dialog, with the show starting at S seconds
//   ...&nosound&window=WxH&fullscreen&widescreen&controls&loop
//                                   preset the dialog's controls, as talvenor's options do
//   ...&nodialog                    start at once (sound needs a user's click: add nosound)
//   index.html?shot=S&size=WxH[&widescreen][&fps=N]
//                                   the frame `talvenor --shot S --size WxH` draws, without
//                                   sound, as a PNG in <img id="shot">; the title becomes
//                                   "shot ready" (or the error's text)
'use strict';

const query = new URLSearchParams(location.search);
const $ = (id) => document.getElementById(id);

// The data files the module opens by name, written into its file system
// before it starts; the downloads overlap the WebAssembly compile.
// The site keeps glyphs.bin gzipped (a sixth of its size); it is inflated here.
const dataFiles = ['morrowen.q7v', 'glyphs.bin'];
const downloads = dataFiles.map(async (name) => {
  const stored = name === 'glyphs.bin' ? name + '.gz' : name;
  const response = await fetch('data/' + stored);
  if (!response.ok) throw new Error('data/' + stored + ': HTTP ' + response.status);
  const body = stored.endsWith('.gz')
      ? new Response(response.body.pipeThrough(new DecompressionStream('gzip')))
      : response;
  return new Uint8Array(await body.arrayBuffer());
});
// Awaited when the show starts; a failure is reported then, not before.
downloads.forEach((download) => download.catch(() => {}));
const songIndex = fetch('song/index.json').then((r) => (r.ok ? r.json() : null), () => null);

// Seconds as the launcher reads them: whole milliseconds, rounded.
function milliseconds(text) {
  if (text === null || !/^[0-9]+(\.[0-9]*)?$|^\.[0-9]+$/.test(text)) return null;
  const ms = Math.round(Number(text) * 1000);
  return ms <= 2000000000 ? ms : null;
}

function size(text, fallback) {
  const m = /^([0-9]{1,5})x([0-9]{1,5})$/.exec(text || '');
  return m ? [Number(m[1]), Number(m[2])] : fallback;
}

// What the module and the host say to the page.
const Page = {
  // The show could not start: the text as the launcher's box shows it; the
  // cause beside it goes to the console.
  failed(text, detail) {
    if (detail) console.error(text + ' (' + detail + ')');
    if (query.has('shot')) {
      document.title = text + (detail ? ' (' + detail + ')' : '');
      return;
    }
    leaveStage();
    $('message-caption').textContent = 'Morrowen :: Talvenor';
    $('message-text').textContent = text;
    $('message').hidden = false;
    $('message-ok').focus();
  },
  // The show ended (its end, Esc, or leaving full screen): back to the
  // dialog, on a fresh page (one show per program run, as the launcher's).
  ended() {
    leaveStage();
    reloadWithDialog();
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

// The page again, its dialog preset as it was left (and not started at once).
function reloadWithDialog() {
  const next = new URLSearchParams();
  const [w, h] = size($('resolution').value, [640, 480]);
  if (w !== 640 || h !== 480) next.set('window', w + 'x' + h);
  for (const id of ['fullscreen', 'nosound', 'controls', 'loop', 'widescreen']) {
    if ($(id).checked) next.set(id, '');
  }
  if (query.has('start')) next.set('start', query.get('start'));
  const search = next.toString().replace(/=(&|$)/g, '$1');
  location.replace(location.pathname + (search ? '?' + search : ''));
}

function showDialog() {
  $('dialog').hidden = false;
  $('resolution').focus();
}

function leaveStage() {
  $('stage').hidden = true;
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

// The dialog's controls preset from the address, as talvenor's options do.
function presetDialog() {
  const [w, h] = size(query.get('window'), [640, 480]);
  const list = $('resolution');
  const value = w + 'x' + h;
  if (![...list.options].some((o) => o.value === value)) {
    list.add(new Option(w + ' x ' + h, value));
  }
  list.value = value;
  $('fullscreen').checked = query.has('fullscreen');
  $('nosound').checked = query.has('nosound');
  $('controls').checked = query.has('controls');
  $('loop').checked = query.has('loop');
  $('widescreen').checked = query.has('widescreen');
}

let filesWritten = null;
async function writeDataFiles() {
  if (filesWritten === null) {
    filesWritten = Promise.all(downloads).then((bytes) => {
      FS.mkdirTree('/data');
      dataFiles.forEach((name, i) => FS.writeFile('/data/' + name, bytes[i]));
    });
  }
  return filesWritten;
}

// Starts the show with the dialog's settings. Called from the click (the
// gesture that lets sound start) or at once with nodialog.
async function beamMeUp() {
  const sound = !$('nosound').checked;
  const fullScreen = $('fullscreen').checked;
  if (sound) openSongContext();  // in the gesture itself, before any await
  const stage = $('stage');
  if (fullScreen && stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
  $('dialog').hidden = true;
  stage.hidden = false;
  $('canvas').focus();
  let [w, h] = size($('resolution').value, [640, 480]);
  if (fullScreen) {
    w = Math.round(innerWidth * devicePixelRatio);
    h = Math.round(innerHeight * devicePixelRatio);
  }
  try {
    await writeDataFiles();
    Module.songIndex = await songIndex;
  } catch (e) {
    Page.failed('Loading Texture failed!', String((e && e.message) || e));
    return;
  }
  const startMs = milliseconds(query.get('start')) || 0;
  await ccall('sorvanelShow', 'number',
              ['number', 'number', 'number', 'number', 'number', 'number', 'number', 'number'],
              [w, h, fullScreen ? 1 : 0, sound ? 1 : 0, startMs, $('controls').checked ? 1 : 0,
               $('loop').checked ? 1 : 0, $('widescreen').checked ? 1 : 0],
              {async: true});
}

async function takeShot() {
  const ms = milliseconds(query.get('shot'));
  const [w, h] = size(query.get('size'), [1280, 720]);
  const fps = Number(query.get('fps') || 60);
  if (ms === null || w < 16 || h < 16 || w > 8192 || h > 8192 ||
      !(Number.isInteger(fps) && fps >= 1 && fps <= 240)) {
    document.title = 'error: shot=S takes seconds, size=WxH 16 to 8192, fps=N 1 to 240';
    return;
  }
  try {
    await writeDataFiles();
  } catch (e) {
    Page.failed('Loading Texture failed!', String((e && e.message) || e));
    return;
  }
  $('stage').hidden = false;
  await ccall('sorvanelShot', 'number', ['number', 'number', 'number', 'number', 'number'],
              [ms, w, h, fps, query.has('widescreen') ? 1 : 0], {async: true});
  $('stage').hidden = true;
  $('shot').hidden = false;
}

function boot() {
  if (query.has('shot')) {
    takeShot();
    return;
  }
  presetDialog();
  $('dialog').addEventListener('submit', (event) => {
    event.preventDefault();
    beamMeUp();
  });
  $('leave').addEventListener('click', () => {
    $('dialog').hidden = true;
    $('left').hidden = false;
  });
  $('message-ok').addEventListener('click', () => {
    $('message').hidden = true;
    reloadWithDialog();
  });
  // Esc in the dialog starts the show, as in the launcher's dialog.
  $('dialog').addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      beamMeUp();
    }
  });
  if (query.has('nodialog')) {
    beamMeUp();
  } else {
    showDialog();
  }
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
