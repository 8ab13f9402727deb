// Reads a flashcard deck with tools that share nothing with the program (adm-zip and
// better-sqlite3) and compares it with the set it was exported from: every question a note in
// order, its picture the set's picture byte for byte, its four answers listed on the front and
// the right one on the back.
// Usage: node read-deck.js DECK.apkg RIS_FOLDER fen.ani|fru.ani DECK_NAME
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const AdmZip = require('adm-zip');
const Database = require('better-sqlite3');

const [deckPath, ris, setFile, deckName] = process.argv.slice(2);
const fail = (why) => {
  console.error(`read-deck: ${why}`);
  process.exit(1);
};

const lines = new TextDecoder('windows-1251').decode(fs.readFileSync(path.join(ris, setFile)))
  .split('\r\n');
const count = Number(lines[0]);
const questions = [];
for (let i = 0; i < count; i++) {
  const at = 1 + i * 5;
  questions.push({ picture: lines[at], answers: lines.slice(at + 1, at + 5) });
}

const zip = new AdmZip(deckPath);
const entry = (name) => {
  const found = zip.getEntry(name);
  if (!found) fail(`no ${name} in the deck`);
  return found.getData();
};
const media = JSON.parse(entry('media').toString('utf8'));
const fileOf = new Map(Object.entries(media).map(([number, name]) => [name, number]));

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'read-deck-'));
const collection = path.join(folder, 'collection.anki2');
fs.writeFileSync(collection, entry('collection.anki2'));
const db = new Database(collection, { readonly: true });
const col = db.prepare('SELECT models, decks FROM col').get();
const decks = Object.values(JSON.parse(col.decks));
const deck = decks.find((d) => d.name === deckName);
if (!deck) fail(`no deck named ${deckName}: ${decks.map((d) => d.name).join(', ')}`);
const models = JSON.parse(col.models);
const notes = db.prepare('SELECT id, mid, flds FROM notes ORDER BY id').all();
const cards = db.prepare('SELECT nid, did FROM cards').all();
db.close();
fs.rmSync(folder, { recursive: true });

if (notes.length !== questions.length) fail(`${notes.length} notes for ${questions.length} questions`);
const unescape = (text) => text.replace(/&lt;/g, '<').replace(/&gt;/g, '>')
  .replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&amp;/g, '&');
let pictures = 0;
let answers = 0;
notes.forEach((note, i) => {
  const question = questions[i];
  if (!models[String(note.mid)]) fail(`note ${i + 1} has no note type`);
  if (!cards.some((card) => card.nid === note.id && card.did === deck.id))
    fail(`note ${i + 1} has no card in the deck`);
  const [front, back, ...rest] = note.flds.split('\x1f');
  if (rest.length !== 0) fail(`note ${i + 1} has ${2 + rest.length} fields`);
  const image = /<img src="([^"]*)">/.exec(front);
  if (!image) fail(`note ${i + 1} shows no picture: ${front}`);
  const number = fileOf.get(unescape(image[1]));
  if (number === undefined) fail(`note ${i + 1}: ${image[1]} is not in the media`);
  const want = fs.readFileSync(path.join(ris, `${question.picture}.jpg`));
  if (!entry(number).equals(want)) fail(`note ${i + 1}: its picture is not ${question.picture}.jpg`);
  pictures++;
  const listed = [...front.matchAll(/<li>([^<]*)<\/li>/g)].map((m) => unescape(m[1]));
  if (listed.length !== 4 || [...listed].sort().join('\n') !== [...question.answers].sort().join('\n'))
    fail(`note ${i + 1} lists ${JSON.stringify(listed)}, not ${JSON.stringify(question.answers)}`);
  if (unescape(back) !== question.answers[0]) fail(`note ${i + 1}: back ${back}, not ${question.answers[0]}`);
  answers += listed.length;
});
console.log(`${deckName}: ${notes.length} notes, ${pictures} pictures, ${answers} answers`);
