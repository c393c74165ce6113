// A DXF made from what LibreDWG's object model reads of a DWG, for drawings whose DXF
// writer fails: layers, linetypes, text styles, blocks and the common 2D entities, as
// R12 DXF with every character beyond ASCII written as \U+XXXX.

import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

// The first line the converter's reader recognizes a rebuilt drawing by.
const kMark = 'rebuilt from the object model';

function encode(text) {
  let out = '';
  for (const ch of String(text ?? '')) {
    const cp = ch.codePointAt(0);
    if (cp === 10 || cp === 13) out += ' ';
    else if (cp < 128) out += ch;
    else if (cp <= 0xffff) out += '\\U+' + cp.toString(16).toUpperCase().padStart(4, '0');
    else out += '?';
  }
  return out;
}

function num(v) {
  const x = Number(v);
  if (!Number.isFinite(x)) return '0.0';
  const s = String(x);
  return /[.eE]/.test(s) ? s : s + '.0';
}

class Writer {
  constructor() {
    this.lines = [];
  }
  tag(code, value) {
    this.lines.push(String(code).padStart(3), String(value));
  }
  point(base, p) {
    this.tag(base, num(p?.x));
    this.tag(base + 10, num(p?.y));
    this.tag(base + 20, num(p?.z ?? 0));
  }
  text() {
    return this.lines.join('\r\n') + '\r\n';
  }
}

function common(w, type, e) {
  w.tag(0, type);
  w.tag(8, encode(e.layer || '0'));
  if (e.lineType && e.lineType.toUpperCase() !== 'BYLAYER') w.tag(6, encode(e.lineType));
  if (Number.isInteger(e.colorIndex) && e.colorIndex !== 256) w.tag(62, e.colorIndex);
}

const degrees = (r) => (Number(r) * 180) / Math.PI;

// One entity; false for a kind this writer does not know.
function entity(w, e) {
  switch (e.type) {
    case 'LINE':
      common(w, 'LINE', e);
      w.point(10, e.startPoint);
      w.point(11, e.endPoint);
      return true;
    case 'CIRCLE':
      common(w, 'CIRCLE', e);
      w.point(10, e.center);
      w.tag(40, num(e.radius));
      return true;
    case 'ARC':
      common(w, 'ARC', e);
      w.point(10, e.center);
      w.tag(40, num(e.radius));
      w.tag(50, num(degrees(e.startAngle)));
      w.tag(51, num(degrees(e.endAngle)));
      return true;
    case 'POINT':
      common(w, 'POINT', e);
      w.point(10, e.position);
      return true;
    case 'LWPOLYLINE':
      common(w, 'POLYLINE', e);
      w.tag(66, 1);
      w.point(10, { x: 0, y: 0, z: e.elevation ?? 0 });
      w.tag(70, (e.flag ?? 0) & 1);
      for (const v of e.vertices ?? []) {
        w.tag(0, 'VERTEX');
        w.tag(8, encode(e.layer || '0'));
        w.point(10, { x: v.x, y: v.y, z: 0 });
        if (v.bulge) w.tag(42, num(v.bulge));
      }
      w.tag(0, 'SEQEND');
      w.tag(8, encode(e.layer || '0'));
      return true;
    case 'TEXT':
      common(w, 'TEXT', e);
      w.point(10, e.startPoint);
      w.tag(40, num(e.textHeight || 1));
      w.tag(1, encode(e.text));
      if (e.rotation) w.tag(50, num(degrees(e.rotation)));
      if (e.styleName) w.tag(7, encode(e.styleName));
      return true;
    case 'INSERT':
      common(w, 'INSERT', e);
      w.tag(2, encode(e.name));
      w.point(10, e.insertionPoint);
      w.tag(41, num(e.xScale ?? 1));
      w.tag(42, num(e.yScale ?? 1));
      w.tag(43, num(e.zScale ?? 1));
      if (e.rotation) w.tag(50, num(degrees(e.rotation)));
      return true;
    default:
      return false;
  }
}

function tables(w, db) {
  w.tag(0, 'SECTION');
  w.tag(2, 'TABLES');
  const ltypes = db.tables?.LTYPE?.entries ?? [];
  w.tag(0, 'TABLE');
  w.tag(2, 'LTYPE');
  w.tag(70, ltypes.length);
  for (const lt of ltypes) {
    if (!lt.name || /^by(layer|block)$/i.test(lt.name)) continue;
    w.tag(0, 'LTYPE');
    w.tag(2, encode(lt.name));
    w.tag(70, 0);
    w.tag(3, encode(lt.description ?? ''));
    w.tag(72, 65);
    const dashes = lt.pattern ?? [];
    w.tag(73, dashes.length);
    w.tag(40, num(lt.totalPatternLength ?? 0));
    for (const d of dashes) w.tag(49, num(d.elementLength ?? 0));
  }
  w.tag(0, 'ENDTAB');
  const layers = db.tables?.LAYER?.entries ?? [];
  w.tag(0, 'TABLE');
  w.tag(2, 'LAYER');
  w.tag(70, layers.length);
  for (const l of layers) {
    w.tag(0, 'LAYER');
    w.tag(2, encode(l.name));
    w.tag(70, (l.frozen ? 1 : 0) | (l.locked ? 4 : 0));
    const colour = Math.abs(l.colorIndex || 7) || 7;
    w.tag(62, l.off ? -colour : colour);
    w.tag(6, encode(l.lineType || 'CONTINUOUS'));
  }
  w.tag(0, 'ENDTAB');
  const styles = db.tables?.STYLE?.entries ?? [];
  w.tag(0, 'TABLE');
  w.tag(2, 'STYLE');
  w.tag(70, styles.length);
  for (const s of styles) {
    if (!s.name) continue;
    w.tag(0, 'STYLE');
    w.tag(2, encode(s.name));
    w.tag(70, 0);
    w.tag(40, num(s.fixedTextHeight ?? 0));
    w.tag(41, num(s.widthFactor ?? 1));
    w.tag(3, encode(s.font ?? 'txt'));
  }
  w.tag(0, 'ENDTAB');
  w.tag(0, 'ENDSEC');
}

let wrapper = null;

// Reads the DWG's bytes through the object model, with the package's own wrapper (its
// ES bundle, which has a WebAssembly instance of its own). Returns {text} with the DXF,
// or {code} with LibreDWG's error bits.
export async function writeFromObjectModel(bytes, packageDir, critical) {
  if (!wrapper) {
    const url = pathToFileURL(join(packageDir, 'dist', 'libredwg-web.js')).href;
    const { LibreDwg } = await import(url);
    wrapper = await LibreDwg.create(join(packageDir, 'wasm') + '/');
  }
  const name = '/model.dwg';
  wrapper.FS.writeFile(name, new Uint8Array(bytes));
  const result = wrapper.dwg_read_file(name);
  try { wrapper.FS.unlink(name); } catch {}
  if (!result || result.error >= critical || !result.data) return { text: null, code: result?.error ?? 0 };
  let db;
  try {
    db = wrapper.convert(result.data);
  } finally {
    try { wrapper.dwg_free(result.data); } catch {}
  }
  const w = new Writer();
  w.tag(999, kMark);
  w.tag(0, 'SECTION');
  w.tag(2, 'HEADER');
  w.tag(9, '$ACADVER');
  w.tag(1, 'AC1009');
  w.tag(9, '$DWGCODEPAGE');
  w.tag(3, 'ANSI_1252');
  w.tag(0, 'ENDSEC');
  tables(w, db);
  w.tag(0, 'SECTION');
  w.tag(2, 'BLOCKS');
  for (const b of db.tables?.BLOCK_RECORD?.entries ?? []) {
    if (!b.name || b.name.startsWith('*')) continue;
    w.tag(0, 'BLOCK');
    w.tag(8, '0');
    w.tag(2, encode(b.name));
    w.tag(70, 0);
    w.point(10, b.basePoint ?? { x: 0, y: 0, z: 0 });
    w.tag(3, encode(b.name));
    for (const e of b.entities ?? []) entity(w, e);
    w.tag(0, 'ENDBLK');
    w.tag(8, '0');
  }
  w.tag(0, 'ENDSEC');
  w.tag(0, 'SECTION');
  w.tag(2, 'ENTITIES');
  for (const e of db.entities ?? []) entity(w, e);
  w.tag(0, 'ENDSEC');
  w.tag(0, 'EOF');
  return { text: w.text(), code: result.error };
}
