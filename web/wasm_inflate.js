// Runs before the show's program starts (linked in front of sorvanel.js):
// the site keeps sorvanel.wasm gzipped (under a third of its size), so the
// page fetches it, inflates it (DecompressionStream) unless the server
// already did (gzip's first two bytes tell), and compiles it. A fetch that
// fails is tried again twice before the page says why.
Module['instantiateWasm'] = Module['instantiateWasm'] || function(imports, receive) {
  const fetchOnce = () => fetch('sorvanel.wasm', {credentials: 'same-origin'}).then((r) => {
    if (!r.ok) throw new Error('sorvanel.wasm: HTTP ' + r.status);
    return r.arrayBuffer();
  });
  const fetchTried = (tries) => fetchOnce().catch((e) => {
    if (tries <= 1) throw e;
    return new Promise((r) => setTimeout(r, 500)).then(() => fetchTried(tries - 1));
  });
  fetchTried(3)
      .then((buffer) => {
        const bytes = new Uint8Array(buffer);
        if (bytes.length < 2 || bytes[0] !== 0x1f || bytes[1] !== 0x8b) return buffer;
        const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
        return new Response(stream).arrayBuffer();
      })
      .then((bytes) => WebAssembly.instantiate(bytes, imports))
      .then((result) => receive(result.instance, result.module))
      .catch((e) => abort('sorvanel.wasm: ' + String((e && e.message) || e)));
  return {};
};
