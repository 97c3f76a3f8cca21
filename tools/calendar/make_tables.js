#!/usr/bin/env node
// Generates src/calendar/YidateTables.cpp: the packed Gregorian-to-lunar, lunar-to-Gregorian
// and solar-term tables for 1900-2050 (Beijing time, UTC+8), plus the few dates that the
// packed words cannot express and that the conversions answer directly.
//
// Source of the calendar: the npm package lunar-javascript (see package.json for the version).
// Its month structure (numbering, leap months) is taken as is. Its new-moon days before 1960
// follow the historical almanacs, which before 1929 were reckoned in Beijing local mean time;
// every month start is therefore re-checked against the library's own high-precision new moon
// in UTC+8, and a start whose UTC+8 new moon falls on the next civil day is moved there (the
// previous month grows by a day, the month itself shrinks by one). The expected moves are
// November 1914, February 1916 and November 1920; any other disagreement stops the generator.
'use strict';
const fs = require('fs');
const path = require('path');
const { LunarYear, ShouXingUtil, Solar } = require('lunar-javascript');

const FIRST = 1900, LAST = 2050;
const J2000 = 2451545;
const OUT = path.resolve(__dirname, '../../src/calendar/YidateTables.cpp');

function fail(msg) { console.error('make_tables: ' + msg); process.exit(1); }

// ---- civil dates as day numbers (days since 1970-01-01)
const dayNo = (y, m, d) => Math.round(Date.UTC(y, m - 1, d) / 86400000);
function ymd(n) {
  const t = new Date(n * 86400000);
  return [t.getUTCFullYear(), t.getUTCMonth() + 1, t.getUTCDate()];
}
const monthLength = (y, m) => new Date(Date.UTC(y, m, 0)).getUTCDate();
const jdToDayNo = (jd) => Math.floor(jd + 0.5) - 2440588;  // Beijing JD to its civil day
const fmt = (n) => ymd(n).map((v, i) => String(v).padStart(i ? 2 : 4, '0')).join('-');

// ---- lunar months: {year, month, leap, start (day number), days}
const EXPECTED_MOVES = ['1914-11-17', '1916-02-03', '1920-11-10'];
function lunarMonths() {
  const months = [];
  for (let y = FIRST - 1; y <= LAST + 1; y++) {
    for (const m of LunarYear.fromYear(y).getMonths()) {
      if (m.getYear() !== y) continue;
      const s = Solar.fromJulianDay(m.getFirstJulianDay());
      months.push({ year: y, month: Math.abs(m.getMonth()), leap: m.getMonth() < 0 ? 1 : 0,
                    start: dayNo(s.getYear(), s.getMonth(), s.getDay()) });
    }
  }
  const moves = [];
  for (const mo of months) {
    // the high-precision new moon nearest to the start, in Beijing standard time
    const n = Math.round((mo.start + 2440588 - 2451551) / 29.5306);
    const t = ShouXingUtil.shuoHigh(n * Math.PI * 2) + J2000;
    const day = jdToDayNo(t);
    if (day === mo.start) continue;
    if (day !== mo.start + 1) fail(`new moon of ${mo.year}/${mo.month} is ${fmt(day)}, library says ${fmt(mo.start)}`);
    moves.push(fmt(mo.start));
    mo.start = day;
  }
  if (moves.join() !== EXPECTED_MOVES.join()) fail('unexpected UTC+8 moves: ' + moves.join(', '));
  for (let i = 0; i + 1 < months.length; i++) {
    months[i].days = months[i + 1].start - months[i].start;
    if (months[i].days !== 29 && months[i].days !== 30) fail('bad month length at ' + fmt(months[i].start));
  }
  months.pop();
  return { months, moves };
}

// ---- Gregorian to lunar
function dayIndex(months) {
  const map = new Map();
  for (const mo of months) {
    for (let d = 0; d < mo.days; d++) map.set(mo.start + d, { ...mo, day: d + 1 });
  }
  return map;
}

function lag(gy, gm, lunar) {
  const v = gm + 12 * (gy - lunar.year) - lunar.month;
  if (v < 0 || v > 3) fail(`lag ${v} out of range at ${gy}-${gm}`);
  return v;
}

function encodeSolarMonth(gy, gm, index) {
  const first = index.get(dayNo(gy, gm, 1));
  let word = ((first.day - 1) << 8) | (lag(gy, gm, first) << 13) | (first.leap << 15);
  let split = 31;
  for (let d = 2; d <= monthLength(gy, gm); d++) {
    const l = index.get(dayNo(gy, gm, d));
    if (l.day === 1) {
      split = d - 1;
      word |= (lag(gy, gm, l) << 5) | (l.leap << 7);
      break;
    }
  }
  return word | split;
}

// Mirrors the decoding of CYiDate::SolarToLunar.
function decodeSolar(word, gy, gm, gd) {
  const split = word & 31;
  let day, month, leap;
  if (split < gd) {
    day = gd - split; month = gm - ((word >> 5) & 3); leap = (word >> 7) & 1;
  } else {
    day = gd + ((word >> 8) & 31); month = gm - ((word >> 13) & 3); leap = (word >> 15) & 1;
  }
  let year = gy;
  if (month < 1) { month += 12; year -= 1; }
  return { year, month, day, leap };
}

// ---- lunar to Gregorian
function encodeLunarHalf(mo, dayThirtyOne) {
  const [gy, gm, gd] = ymd(mo.start);
  const lead = gm + 12 * (gy - mo.year) - mo.month;
  if (lead < 0 || lead > 2) fail(`start lead ${lead} at ${mo.year}/${mo.month}`);
  const big = mo.days === 30 ? 1 : 0;
  const inThisMonth = monthLength(gy, gm) - gd + 1;
  const inFirst = inThisMonth >= mo.days ? 0 : inThisMonth;
  const nextLead = inFirst ? lead + 1 : 0;
  if (nextLead > 3) fail(`next lead ${nextLead} at ${mo.year}/${mo.month}`);
  if (dayThirtyOne) {
    if (gd !== 31 || lead !== 0) fail(`day-31 encoding impossible at ${mo.year}/${mo.month}`);
    return (big << 7) | (1 << 8) | (1 << 13);
  }
  return (gd - 1) | (lead << 5) | (big << 7) | (inFirst << 8) | (nextLead << 13);
}

// Mirrors the decoding of CYiDate::LunarToSolar.
function decodeLunar(half, ly, lm, ld) {
  const startDay = half & 31, startLead = (half >> 5) & 3, inFirst = (half >> 8) & 31;
  let gd, gm;
  if (inFirst !== 0 && inFirst < ld) {
    gd = ld - inFirst; gm = lm + ((half >> 13) & 3);
  } else if (startDay === 0 && startLead === 0 && ld === inFirst) {
    gd = 31; gm = lm;
  } else {
    gd = ld + startDay; gm = lm + startLead;
  }
  let gy = ly;
  if (gm > 12) { gm -= 12; gy += 1; }
  return { gy, gm, gd };
}

// ---- solar terms: every term moment of 1900-2050, rounded to the minute
function solarTerms() {
  const seen = new Map();
  for (let y = FIRST - 1; y <= LAST + 1; y++) {
    for (const jd of LunarYear.fromYear(y).getJieQiJulianDays()) {
      const minutes = Math.round((jd + 0.5 - 2440588) * 1440);  // Beijing minutes since 1970
      if (![...[-1, 0, 1]].some((k) => seen.has(minutes + k))) seen.set(minutes, jd);
    }
  }
  const byMonth = new Map();
  for (const minutes of [...seen.keys()].sort((a, b) => a - b)) {
    const t = new Date(minutes * 60000);
    const y = t.getUTCFullYear(), m = t.getUTCMonth() + 1;
    if (y < FIRST || y > LAST) continue;
    const key = y * 100 + m;
    if (!byMonth.has(key)) byMonth.set(key, []);
    byMonth.get(key).push({ day: t.getUTCDate(), hour: t.getUTCHours(), minute: t.getUTCMinutes() });
  }
  return byMonth;
}
const packTerm = (t) => t.day | (t.hour << 5) | (t.minute << 10);

// Rows kept exactly as the system has always stored them.
const STORED_TERM_ROWS = {
  1900: '86741046 0553d1a4 9d355906 6eb4d5a5 46b5dce6 a0b69d86 92172ae7 52f7cd08 52974568 dc983449 c037a088 a9d6e287',
  2024: '22d4c886 35936e04 1d745d45 06d30de4 02b42d05 d0952d85 b5f656c6 e2d62907 ae963167 3cd70468 e47650c7 563546e6',
  2050: '8cb41d85 9272aee3 56548a25 0cb416c4 d0750de5 8975e245 5ad60ca7 84b7d5c7 74770647 31b70548 1d7689a7 9c16a8c7',
};
// Rows of the conversion tables that must come out exactly: a check on the whole encoding.
const TELLING_ROWS = {
  solar: {
    1900: '0000201e 0000211f 0000201e 0000211c 0000221b 0000241a 00002419 00002618 000027b7 0000c736 00004935 00004935',
    2023: '00002915 00002a13 000029b5 0000ca33 00004b32 00004d31 00004d31 00004e2f 0000502e 0000502e 0000512c 0000522c',
  },
  lunar: {
    1900: '0000211e 000000a0 0000211e 0000221c 0000249b 0000241a 00002699 c7372798 000049b6 000049b5 00004a35 00004cb3',
    2023: '00002a15 ca352993 00004b33 00004db2 00004db1 00004e31 000050af 000050ae 0000512e 000052ac 0000532c 000055aa',
  },
};

const hex = (w) => (w >>> 0).toString(16).padStart(8, '0');
const rowText = (row) => row.map(hex).join(' ');
const unpackTerm = (h) => `${h & 31} ${String((h >> 5) & 31).padStart(2, '0')}:${String(h >> 10).padStart(2, '0')}`;

function main() {
  const { months, moves } = lunarMonths();
  const index = dayIndex(months);

  // Gregorian to lunar, with the days the words cannot express
  const solarTable = [], solarDirect = [];
  for (let y = FIRST; y <= LAST; y++) {
    const row = [];
    for (let m = 1; m <= 12; m++) {
      const word = encodeSolarMonth(y, m, index);
      row.push(word);
      let misses = 0;
      for (let d = 1; d <= monthLength(y, m); d++) {
        const truth = index.get(dayNo(y, m, d));
        const got = decodeSolar(word, y, m, d);
        if (got.year === truth.year && got.month === truth.month && got.day === truth.day && got.leap === truth.leap) continue;
        if (d < 30 || ++misses > 1) fail(`cannot encode ${y}-${m}-${d}`);
        solarDirect.push([y, m, d, truth.year, truth.month, truth.day, truth.leap]);
      }
    }
    solarTable.push(row);
  }

  // lunar to Gregorian, with the days the words cannot express
  const twoStartMonths = new Set(solarDirect.map((e) => e[0] * 100 + e[1]));
  const lunarTable = [], lunarDirect = [];
  for (let y = FIRST; y <= LAST; y++) lunarTable.push(new Array(12).fill(0));
  for (const mo of months) {
    if (mo.year < FIRST || mo.year > LAST) continue;
    const [gy, gm, gd] = ymd(mo.start);
    const dayThirtyOne = gd === 31 && twoStartMonths.has(gy * 100 + gm);
    const half = encodeLunarHalf(mo, dayThirtyOne);
    const row = lunarTable[mo.year - FIRST];
    if (mo.leap) row[mo.month - 1] = (row[mo.month - 1] | ((half | 0x8000) << 16)) >>> 0;
    else row[mo.month - 1] = (row[mo.month - 1] | half) >>> 0;
    for (let d = 1; d <= mo.days; d++) {
      const g = decodeLunar(half, mo.year, mo.month, d);
      const truth = ymd(mo.start + d - 1);
      if (g.gy === truth[0] && g.gm === truth[1] && g.gd === truth[2]) continue;
      if (d < 29) fail(`cannot encode lunar ${mo.year}/${mo.month}/${d}`);
      lunarDirect.push([mo.year, mo.month, mo.leap, d, ...truth]);
    }
  }

  for (const [kind, rows] of Object.entries(TELLING_ROWS)) {
    const table = kind === 'solar' ? solarTable : lunarTable;
    for (const [y, text] of Object.entries(rows)) {
      if (rowText(table[y - FIRST]) !== text) fail(`${kind} row ${y} differs:\n  ${rowText(table[y - FIRST])}\n  ${text}`);
    }
  }

  // solar terms
  const byMonth = solarTerms();
  const termTable = [];
  const differences = [];
  for (let y = FIRST; y <= LAST; y++) {
    const row = [];
    for (let m = 1; m <= 12; m++) {
      const terms = byMonth.get(y * 100 + m) || [];
      if (terms.length !== 2) fail(`${y}-${m} has ${terms.length} solar terms`);
      row.push(((packTerm(terms[1]) << 16) | packTerm(terms[0])) >>> 0);
    }
    if (STORED_TERM_ROWS[y]) {
      const stored = STORED_TERM_ROWS[y].split(' ').map((h) => parseInt(h, 16));
      stored.forEach((w, i) => {
        for (const shift of [0, 16]) {
          const a = (row[i] >>> shift) & 0xffff, b = (w >>> shift) & 0xffff;
          if (a !== b) differences.push(`${y}-${i + 1} term ${shift ? 2 : 1}: computed ${unpackTerm(a)}, stored ${unpackTerm(b)}`);
        }
      });
      row.splice(0, 12, ...stored);
    }
    termTable.push(row);
  }

  fs.writeFileSync(OUT, render(solarTable, lunarTable, termTable, solarDirect, lunarDirect));
  console.log(`wrote ${OUT}`);
  console.log('months moved to their UTC+8 new-moon day: ' + moves.join(', '));
  console.log('Gregorian dates answered directly: ' + solarDirect.map((e) => e.slice(0, 3).join('-')).join(', '));
  console.log('lunar dates answered directly: ' + lunarDirect.map((e) => `${e[0]}/${e[2] ? 'leap ' : ''}${e[1]}/${e[3]}`).join(', '));
  console.log('stored term minutes that differ from the computed ones:\n  ' + (differences.join('\n  ') || 'none'));
}

function tableText(name, table) {
  const lines = table.map((row, i) => `    {${row.map((w) => '0x' + hex(w)).join(', ')}},  // ${FIRST + i}`);
  return `const std::uint32_t ${name}[kTableYears][12] = {\n${lines.join('\n')}\n};\n`;
}

function render(solarTable, lunarTable, termTable, solarDirect, lunarDirect) {
  const sd = solarDirect.map((e) => `    {{${e.slice(0, 3).join(', ')}}, {${e.slice(3, 6).join(', ')}}, ${e[6]}},`).join('\n');
  const ld = lunarDirect.map((e) => `    {{${e[0]}, ${e[1]}, ${e[3]}}, ${e[2]}, {${e.slice(4, 7).join(', ')}}},`).join('\n');
  return `// Generated by tools/calendar/make_tables.js; do not edit by hand.
// The Chinese calendar of 1900-2050 in Beijing time (UTC+8).
#include "calendar/YidateTables.h"

namespace qingheng {

${tableText('SolarToLunarTable', solarTable)}
${tableText('LunarToSolarTable', lunarTable)}
${tableText('SolarTermTable', termTable)}
const SolarDirectAnswer kSolarDirectAnswers[] = {
${sd}
};
const int kSolarDirectAnswerCount = ${solarDirect.length};

const LunarDirectAnswer kLunarDirectAnswers[] = {
${ld}
};
const int kLunarDirectAnswerCount = ${lunarDirect.length};

}  // namespace qingheng
`;
}

main();
