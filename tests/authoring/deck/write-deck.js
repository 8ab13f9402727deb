// Writes a flashcard deck with a writer that shares nothing with the program
// (anki-apkg-export): notes with a picture on the front and the answer on the back in HTML with
// entities, one with its picture on the back, and one without a picture.
// Usage: node write-deck.js OUT.apkg PICTURE...
'use strict';
const fs = require('fs');
const path = require('path');
const AnkiExport = require('anki-apkg-export').default;

const [out, ...pictures] = process.argv.slice(2);
const answers = ['Rose', 'Tulip &amp; friends', '<b>Common</b> poppy', 'Forget-me-not&nbsp;',
  'Daisy <span style="color:red">(<i>Bellis</i>)</span>', 'C&#108;ematis &laquo;Jackmanii&raquo;'];
const deck = new AnkiExport('Garden flowers');
pictures.forEach((picture, i) => {
  const name = path.basename(picture);
  deck.addMedia(name, fs.readFileSync(picture));
  if (i === pictures.length - 1) {
    deck.addCard(`<div>${answers[i % answers.length]}</div>`, `<img src="${name}" />`);
  } else {
    deck.addCard(`<img src="${name}" />`, answers[i % answers.length]);
  }
});
deck.addCard('What is a petal?', 'A part of a flower');
deck.save().then((zip) => fs.writeFileSync(out, zip, 'binary')).catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
