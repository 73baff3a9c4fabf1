// The zip checks the page makes before a byte is inflated, on zips made byte by byte: names made safe or refused,
// Shift-JIS names read as the systems these games come from write them, and bombs refused by their totals.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { listZip, safePath, ZipRefused } from '../../web/js/ziplist.js';
import { WORD_TABLE } from '../../web/js/words.js';
import { makeZip } from './zips.mjs';

const small = (name, extra = {}) => ({ name, content: Buffer.from('x'), ...extra });
const refused = (bytes, reason, entry) =>
  assert.throws(() => listZip(bytes), (error) => error instanceof ZipRefused && error.reason === reason && (entry === undefined || error.entry === entry));

test('entry names become paths inside the folder, or are refused naming the entry', () => {
  assert.equal(safePath('game\\data\\.\\op01.rgd'), 'game/data/op01.rgd');
  assert.equal(safePath('game//data/../data1.rgd'), 'game/data1.rgd', 'a step up that stays inside is kept');
  for (const [name, reason] of [['../../evil.rgd', 'zip.escapes'], ['game/../../evil.rgd', 'zip.escapes'], ['/etc/passwd', 'zip.absolute'],
    ['C:\\evil.rgd', 'zip.absolute'], ['\\evil.rgd', 'zip.absolute'], ['a/\u0001b', 'zip.control'], ['./', 'zip.empty']]) {
    assert.throws(() => safePath(name), (error) => error.reason === reason && error.entry === name, name);
  }
  refused(makeZip([small('g/data1.rgd'), small('../../evil.rgd')]), 'zip.escapes', '../../evil.rgd');
});

test('a name without the UTF-8 flag is Shift-JIS as Windows writes it, a flagged one UTF-8', () => {
  const sjis = Buffer.from([0x82, 0xb5, 0x82, 0xa8, 0x82, 0xe8, 0x87, 0x40, 0x2f, 0x64, 0x61, 0x74, 0x61, 0x31, 0x2e, 0x72, 0x67, 0x64]); // しおり①/data1.rgd
  const [entry] = listZip(makeZip([{ name: sjis, content: Buffer.from('x'), utf8: false }]));
  assert.equal(entry.name, 'しおり①/data1.rgd');
  const [flagged] = listZip(makeZip([small('しおり/data1.rgd')]));
  assert.equal(flagged.name, 'しおり/data1.rgd');
});

test('one name twice, in any case, or a file that is also a folder, is refused', () => {
  refused(makeZip([small('g/data1.rgd'), small('g/DATA1.RGD')]), 'zip.twice', 'g/DATA1.RGD');
  refused(makeZip([small('g/data1.rgd'), small('g/data1.rgd/x')]), 'zip.fileAndFolder', 'g/data1.rgd');
  refused(makeZip([small('g/data1.rgd'), small('g/data1.rgd/')]), 'zip.fileAndFolder', 'g/data1.rgd');
});

test('bombs are refused by what the table of contents declares, before anything is inflated', () => {
  const zeros = Buffer.alloc(32 * 1048576);
  refused(makeZip([{ name: 'g/big.wav', content: zeros }]), 'zip.bomb');
  refused(makeZip([{ name: 'g/big.wav', content: Buffer.from('x'), deflate: false, size: 0xfffffff0, compressedSize: 1 }]), 'zip.tooBig');
  refused(makeZip(Array.from({ length: 40 }, (_, i) => ({ name: `g/${i}.wav`, content: Buffer.alloc(1048576) }))), 'zip.bomb');
  // Many entries naming the same compressed bytes.
  const shared = [small('g/data1.rgd'), ...Array.from({ length: 50 }, () => ({ ...small('g/x'), sharesWith: 0 }))];
  shared.forEach((entry, i) => i && (entry.name = `g/${i}.rgd`));
  refused(makeZip(shared), 'zip.overlap');
  refused(makeZip([{ name: 'g/x', content: Buffer.from('x'), size: 0xffffffff }]), 'zip.zip64', 'g/x');
  assert.equal(listZip(makeZip([{ name: 'g/flat.wav', content: Buffer.alloc(4 * 1048576) }])).length, 1, 'a small file of silence is no bomb');
});

test('every entry of the page\'s words has both languages, naming the same values', () => {
  for (const [key, { ja, en }] of Object.entries(WORD_TABLE)) {
    assert.ok(ja && en, key);
    const names = (text) => [...text.matchAll(/\{(\w+)\}/g)].map((m) => m[1]).sort();
    assert.deepEqual(names(ja), names(en), key);
  }
});
