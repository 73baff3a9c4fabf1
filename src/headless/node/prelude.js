// Runs before the program when it is built for Node.js.
// - The WebAssembly file is read from beside this script and handed in: the loader would otherwise fetch it
//   with Node's own fetch, which cannot read local files.
// - The program sees the host's environment (HOME, XDG_DATA_HOME, TMPDIR) instead of emscripten's made-up one,
//   so that it finds the same folders as the native build.
Module['wasmBinary'] = require('fs').readFileSync(__filename.replace(/\.js$/, '.wasm'));
Module['preRun'] = (Module['preRun'] || []).concat(function () {
  Object.assign(ENV, process.env);
});
