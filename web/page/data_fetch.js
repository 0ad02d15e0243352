// The show's data files from the site, fetched so that a bad network says so
// instead of leaving the page waiting, while a slow one is waited for: each
// file is tried up to three times, and a try is given up only when no byte
// has come for DATA_FETCH_STALL_MS (silence, however long the whole takes).
// A file the site keeps gzipped (name.gz) is inflated here
// (DecompressionStream) unless the server already did (gzip's first two
// bytes tell). The bytes come in are counted for the page's progress, and a
// try that fails says what happened: the server's answer, the connection
// closing part-way (how far), or a gzip file cut short or damaged. The last
// try's cause is kept for the page's message.
'use strict';

const DATA_FETCH_TRIES = 3;
const DATA_FETCH_PAUSES_MS = [300, 1000];
const DATA_FETCH_STALL_MS = 20000;

// Why each file that could not be fetched was not: name -> text.
const dataFetchFailures = new Map();
// Bytes come and expected of each file's current try: name -> {received,
// total} (total 0 where the server did not say); dataFetchProgressed() is
// called on each change.
const dataFetchProgress = new Map();
let dataFetchProgressed = () => {};

// "1.2 MB", "340 KB"
function byteCount(bytes) {
  return bytes >= 1e6 ? (bytes / 1e6).toFixed(1) + ' MB' : Math.round(bytes / 1e3) + ' KB';
}

async function inflateGzip(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The body of one try, read chunk by chunk; aborted when it stalls.
async function fetchBodyOnce(name, url, gzipped) {
  const abort = new AbortController();
  let stall = setTimeout(() => abort.abort(), DATA_FETCH_STALL_MS);
  const progress = {received: 0, total: 0};
  dataFetchProgress.set(name, progress);
  const awake = (bytes) => {
    clearTimeout(stall);
    stall = setTimeout(() => abort.abort(), DATA_FETCH_STALL_MS);
    progress.received += bytes;
    dataFetchProgressed();
  };
  let bytes;
  try {
    const response = await fetch(url, {signal: abort.signal, cache: 'no-cache'});
    if (!response.ok) throw new Error('HTTP ' + response.status);
    // The length sent (of the encoded bytes where the server gzips on the
    // way, so only a guide).
    progress.total = Number(response.headers.get('Content-Length')) || 0;
    const watched = new TransformStream({transform(chunk, out) { awake(chunk.length); out.enqueue(chunk); }});
    try {
      bytes = new Uint8Array(await new Response(response.body.pipeThrough(watched)).arrayBuffer());
    } catch (e) {
      if (abort.signal.aborted) throw e;
      const cause = String((e && e.message) || e);
      throw new Error(progress.total > progress.received
          ? 'the connection closed after ' + progress.received + ' of ' + progress.total + ' bytes'
          : 'the connection failed after ' + progress.received + ' bytes (' + cause + ')');
    }
  } catch (e) {
    if (abort.signal.aborted) throw new Error('no data for ' + DATA_FETCH_STALL_MS / 1000 + ' s');
    throw e;
  } finally {
    clearTimeout(stall);
  }
  if (!(gzipped && bytes.length >= 2 && bytes[0] === 0x1f && bytes[1] === 0x8b)) return bytes;
  try {
    return await inflateGzip(bytes);
  } catch (e) {
    throw new Error('its ' + bytes.length + ' bytes are a gzip file cut short or damaged (' +
                    String((e && e.message) || e) + ')');
  }
}

// The bytes of data/`name` (stored as name.gz when `gzipped`).
async function fetchDataFile(name, gzipped) {
  const url = 'data/' + name + (gzipped ? '.gz' : '');
  let cause = '';
  for (let attempt = 0; attempt < DATA_FETCH_TRIES; ++attempt) {
    if (attempt > 0) await new Promise((r) => setTimeout(r, DATA_FETCH_PAUSES_MS[attempt - 1]));
    try {
      return await fetchBodyOnce(name, url, gzipped);
    } catch (e) {
      cause = String((e && e.message) || e);
    }
  }
  const why = url + ': ' + cause + ' (' + DATA_FETCH_TRIES + ' tries)';
  dataFetchFailures.set(name, why);
  throw new Error(why);
}
