// The show's data files from the site, fetched so that a bad network says so
// within seconds instead of leaving the page waiting: each file is tried
// up to three times, a try that brings no byte for eight seconds is given up,
// and a file the site keeps gzipped (name.gz) is inflated here
// (DecompressionStream) unless the server already did (gzip's first two
// bytes tell); a gzipped file cut short fails there. The last try's cause is
// kept for the page's message.
'use strict';

const DATA_FETCH_TRIES = 3;
const DATA_FETCH_PAUSES_MS = [300, 1000];
const DATA_FETCH_STALL_MS = 8000;

// Why each file that could not be fetched was not: name -> text.
const dataFetchFailures = new Map();

async function inflateGzip(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The body of one try, read chunk by chunk; aborted when it stalls.
async function fetchBodyOnce(url, gzipped) {
  const abort = new AbortController();
  let stall = setTimeout(() => abort.abort(), DATA_FETCH_STALL_MS);
  const awake = () => {
    clearTimeout(stall);
    stall = setTimeout(() => abort.abort(), DATA_FETCH_STALL_MS);
  };
  try {
    const response = await fetch(url, {signal: abort.signal, cache: 'no-cache'});
    if (!response.ok) throw new Error('HTTP ' + response.status);
    const watched = new TransformStream({transform(chunk, out) { awake(); out.enqueue(chunk); }});
    const bytes = new Uint8Array(await new Response(response.body.pipeThrough(watched)).arrayBuffer());
    return gzipped && bytes.length >= 2 && bytes[0] === 0x1f && bytes[1] === 0x8b
        ? inflateGzip(bytes) : bytes;
  } catch (e) {
    if (abort.signal.aborted) throw new Error('no data for ' + DATA_FETCH_STALL_MS / 1000 + ' s');
    throw e;
  } finally {
    clearTimeout(stall);
  }
}

// The bytes of data/`name` (stored as name.gz when `gzipped`).
async function fetchDataFile(name, gzipped) {
  const url = 'data/' + name + (gzipped ? '.gz' : '');
  let cause = '';
  for (let attempt = 0; attempt < DATA_FETCH_TRIES; ++attempt) {
    if (attempt > 0) await new Promise((r) => setTimeout(r, DATA_FETCH_PAUSES_MS[attempt - 1]));
    try {
      return await fetchBodyOnce(url, gzipped);
    } catch (e) {
      cause = String((e && e.message) || e);
    }
  }
  const why = url + ': ' + cause + ' (' + DATA_FETCH_TRIES + ' tries)';
  dataFetchFailures.set(name, why);
  throw new Error(why);
}
