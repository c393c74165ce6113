// Converts DWG drawings to ASCII DXF with LibreDWG (compiled to WebAssembly), for orvcad.
//
//   node --liftoff-only dwg2dxf.mjs IN.dwg OUT.dxf [IN.dwg OUT.dxf ...]
//
// One line on standard output for each pair, in order, once that pair is done:
//   ok N              written by LibreDWG's DXF writer
//   model N           the writer failed; written from what LibreDWG's object model holds
//   fail N CODE WORD  nothing written: CODE is LibreDWG's error bits (0 when none),
//                     WORD one of unreadable, notdwg, critical, writer
// Exit status: 0 when every pair was dealt with (each may still have failed), 2 for a
// bad command line, 3 when the LibreDWG module cannot be loaded.
// The module is looked for in node_modules beside this script, or in the folder that
// ORVCAD_LIBREDWG names (the package's own folder). Run it with a time and memory limit:
// LibreDWG may loop or grow on a damaged drawing.

import { readFileSync, writeFileSync, renameSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { writeFromObjectModel } from './model_dxf.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const packageDir =
  process.env.ORVCAD_LIBREDWG || join(here, 'node_modules', '@mlightcad', 'libredwg-web');

// LibreDWG's error bits from this value on are critical: the drawing was not read.
const kCritical = 128;

function say(line) {
  process.stdout.write(line + '\n');
}

async function loadModule() {
  // The ES module entry: the package's CommonJS entry does not load.
  const url = pathToFileURL(join(packageDir, 'wasm', 'libredwg-web.js')).href;
  const mod = await import(url);
  const create = mod.default ?? mod.createModule;
  return create({ print: () => {}, printErr: () => {} });
}

// LibreDWG before 0.13.4 writes each layer's on/off state inverted: a layer that is on
// gets a negative colour. The LAYER records' colours (group 62) are turned back.
function layerStateInverted(text) {
  const m = /^999\r?\nLibreDWG (\d+)\.(\d+)\.(\d+)/.exec(text);
  if (!m) return false;
  const v = [Number(m[1]), Number(m[2]), Number(m[3])];
  return v[0] === 0 && (v[1] < 13 || (v[1] === 13 && v[2] < 4));
}

function mendLayerStates(text) {
  const lines = text.split(/\r?\n/);
  let inTable = false;
  let inLayer = false;
  for (let i = 0; i + 1 < lines.length; i += 2) {
    const code = lines[i].trim();
    const value = lines[i + 1].trim();
    if (code === '0') {
      if (value === 'TABLE') inTable = false;
      if (value === 'ENDTAB') inTable = inLayer = false;
      inLayer = inTable && value === 'LAYER';
      continue;
    }
    if (code === '2' && i >= 2 && lines[i - 2].trim() === '0' && lines[i - 1].trim() === 'TABLE') {
      inTable = value === 'LAYER';
      continue;
    }
    if (inLayer && code === '62') {
      const colour = Number.parseInt(value, 10);
      if (Number.isFinite(colour) && colour !== 0) lines[i + 1] = String(-colour).padStart(6);
    }
  }
  return lines.join('\r\n');
}

function writeAtomically(path, data) {
  const tmp = path + '.part';
  writeFileSync(tmp, data);
  renameSync(tmp, path);
}

async function main() {
  const args = process.argv.slice(2);
  if (args.length === 0 || args.length % 2 !== 0) {
    process.stderr.write('usage: dwg2dxf.mjs IN.dwg OUT.dxf [IN.dwg OUT.dxf ...]\n');
    return 2;
  }
  let lib;
  try {
    lib = await loadModule();
  } catch (e) {
    process.stderr.write(`LibreDWG module not loaded from ${packageDir}: ${e.message}\n`);
    return 3;
  }
  for (let n = 0; n < args.length / 2; ++n) {
    const input = args[2 * n];
    const output = args[2 * n + 1];
    let bytes;
    try {
      bytes = readFileSync(input);
    } catch (e) {
      if (process.env.ORVCAD_DWG_DEBUG) process.stderr.write(String(e.stack) + "\n");
      say(`fail ${n} 0 unreadable`);
      continue;
    }
    if (bytes.length < 6 || bytes.toString('latin1', 0, 4) !== 'AC10') {
      say(`fail ${n} 0 notdwg`);
      continue;
    }
    const inName = `/in${n}.dwg`;
    const outName = `/out${n}.dxf`;
    lib.FS.writeFile(inName, new Uint8Array(bytes));
    let code = -1;
    try {
      // ORVCAD_DWG_REBUILD=1 takes the object model's way for every drawing (for tests).
      code = process.env.ORVCAD_DWG_REBUILD === '1' ? -2 : lib.dwg_write_dxf(inName, outName);
    } catch (e) {
      if (process.env.ORVCAD_DWG_DEBUG) process.stderr.write(String(e.stack) + "\n");
      code = -1;  // the writer trapped
    }
    let text = null;
    if (code >= 0 && code < kCritical) {
      try {
        text = Buffer.from(lib.FS.readFile(outName)).toString('latin1');
      } catch {
        text = null;
      }
    }
    try { lib.FS.unlink(outName); } catch {}
    if (text !== null && text.includes('EOF')) {
      if (layerStateInverted(text)) text = mendLayerStates(text);
      writeAtomically(output, Buffer.from(text, 'latin1'));
      lib.FS.unlink(inName);
      say(`ok ${n}`);
      continue;
    }
    // The writer failed: what the object model reads is better than nothing. A trap
    // may leave the module's memory in any state: the next drawing gets a fresh one.
    let fallback = null;
    try {
      if (code === -1) lib = await loadModule();
      fallback = await writeFromObjectModel(bytes, packageDir, kCritical);
    } catch (e) {
      if (process.env.ORVCAD_DWG_DEBUG) process.stderr.write(String(e.stack) + "\n");
      fallback = null;
      try { lib = await loadModule(); } catch { return 3; }
    }
    try { lib.FS.unlink(inName); } catch {}
    if (fallback && fallback.text) {
      writeAtomically(output, Buffer.from(fallback.text, 'utf8'));
      say(`model ${n}`);
    } else {
      const bits = fallback ? fallback.code : (code < 0 ? 0 : code);
      say(`fail ${n} ${bits} ${bits >= kCritical ? 'critical' : 'writer'}`);
    }
  }
  return 0;
}

try {
  process.exitCode = await main();
} catch (e) {
  process.stderr.write(String(e && e.stack ? e.stack : e) + '\n');
  process.exitCode = 1;
}
