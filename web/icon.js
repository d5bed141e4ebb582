// Velmo's icon, drawn and written as a PNG: a lens's circle on the tables'
// slate blue, crossed by the zone of sharpness. It fills its square to the
// edge and keeps its drawing within the middle 80 %, as a phone's mask
// (circle, rounded square) needs.
"use strict";
const zlib = require("node:zlib");

const kSlate = [47, 79, 111];
const kWhite = [255, 255, 255];
const kZone = [246, 200, 90];

/// The colour at (x, y) of a unit square.
function colourAt(x, y) {
  const r = Math.hypot(x - 0.5, y - 0.5);
  if (Math.abs(y - 0.5) < 0.06 && Math.abs(x - 0.5) < 0.3) return kZone;
  if (r < 0.3 && r > 0.22) return kWhite;
  return kSlate;
}

function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) {
    crc ^= byte;
    for (let k = 0; k < 8; ++k) crc = crc & 1 ? (crc >>> 1) ^ 0xedb88320 : crc >>> 1;
  }
  return (crc ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const body = Buffer.concat([Buffer.from(type, "latin1"), data]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, crc]);
}

/// The icon as a PNG of `size` x `size` pixels, each the mean of 4 x 4
/// samples, so that its edges are smooth.
function iconPng(size) {
  const rows = [];
  for (let y = 0; y < size; ++y) {
    const row = Buffer.alloc(1 + 3 * size);
    for (let x = 0; x < size; ++x) {
      const sum = [0, 0, 0];
      for (let i = 0; i < 16; ++i) {
        const colour = colourAt((x + ((i % 4) + 0.5) / 4) / size, (y + (Math.floor(i / 4) + 0.5) / 4) / size);
        for (let c = 0; c < 3; ++c) sum[c] += colour[c];
      }
      for (let c = 0; c < 3; ++c) row[1 + 3 * x + c] = Math.round(sum[c] / 16);
    }
    rows.push(row);
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8);  // 8 bits, RGB, no interlace
  return Buffer.concat([Buffer.from("\x89PNG\r\n\x1a\n", "latin1"), chunk("IHDR", header),
                        chunk("IDAT", zlib.deflateSync(Buffer.concat(rows), { level: 9 })), chunk("IEND", Buffer.alloc(0))]);
}

module.exports = { iconPng };
