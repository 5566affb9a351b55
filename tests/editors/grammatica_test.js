// The VS Code grammars against the table of colours (colori.json), through
// the TextMate engine VS Code itself uses (vscode-textmate, vscode-oniguruma).
//
//   node grammatica_test.js NODE_MODULES SYNTAXES_DIR COLORI_JSON DIR...
//
// Every DIR is searched for the files the table names (read as Windows-1252,
// as the extension opens them).
'use strict';

const fs = require('fs');
const path = require('path');

const [moduli, sintassi, tabella, ...cartelle] = process.argv.slice(2).map((a) => path.resolve(a));
const vsctm = require(path.join(moduli, 'vscode-textmate'));
const oniguruma = require(path.join(moduli, 'vscode-oniguruma'));

const SCOPE = {
  parola: 'keyword.other.scenario',
  intestazione: 'entity.name.section.scenario',
  commento: 'comment.line.scenario',
  numero: 'constant.numeric.scenario',
  nome: 'string.unquoted.name.scenario',
};

function grammaticaDi(file) {
  return /_linea\.txt$/i.test(file) ? 'source.scenario-linea' : 'source.scenario-treno';
}

async function main() {
  const wasm = fs.readFileSync(path.join(moduli, 'vscode-oniguruma', 'release', 'onig.wasm')).buffer;
  await oniguruma.loadWASM(wasm);
  const registro = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (p) => new oniguruma.OnigScanner(p),
      createOnigString: (s) => new oniguruma.OnigString(s),
    }),
    loadGrammar: async (scope) => {
      const file = path.join(sintassi, scope.replace(/^source\./, '') + '.tmLanguage.json');
      return vsctm.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });

  const casi = JSON.parse(fs.readFileSync(tabella, 'utf8')).casi;
  const errori = [];
  const righeDi = new Map();
  for (const caso of casi) {
    if (!righeDi.has(caso.file)) {
      const cartella = cartelle.find((c) => fs.existsSync(path.join(c, caso.file)));
      if (!cartella) {
        errori.push(`${caso.file}: not found in ${cartelle.join(', ')}`);
        righeDi.set(caso.file, null);
        continue;
      }
      const testo = new TextDecoder('windows-1252').decode(fs.readFileSync(path.join(cartella, caso.file)));
      const grammatica = await registro.loadGrammar(grammaticaDi(caso.file));
      // Tokenized as the editor does, line after line with the state carried.
      let stato = vsctm.INITIAL;
      const righe = [];
      for (const riga of testo.split(/\r?\n/)) {
        const r = grammatica.tokenizeLine(riga, stato);
        stato = r.ruleStack;
        righe.push({ riga, token: r.tokens });
      }
      righeDi.set(caso.file, righe);
    }
    const righe = righeDi.get(caso.file);
    if (!righe) continue;
    const indice = righe.findIndex((r) => r.riga.startsWith(caso.riga));
    if (indice < 0) {
      errori.push(`${caso.file}: no row starting with "${caso.riga}"`);
      continue;
    }
    const { riga, token } = righe[indice];
    const inizio = riga.indexOf(caso.parte);
    if (inizio < 0) {
      errori.push(`${caso.file}:${indice + 1}: "${caso.parte}" not in the row`);
      continue;
    }
    // Every character of the part must carry the scope (or, for nessuno, none
    // of the five).
    for (let c = inizio; c < inizio + caso.parte.length; ++c) {
      const t = token.find((k) => k.startIndex <= c && c < k.endIndex);
      const scope = t ? t.scopes : [];
      const ha = (s) => scope.includes(s);
      const giusto = caso.tipo === 'nessuno' ? !Object.values(SCOPE).some(ha) : ha(SCOPE[caso.tipo]);
      if (!giusto) {
        errori.push(`${caso.file}:${indice + 1}:${c + 1}: "${caso.parte}" should be ${caso.tipo}, ` +
          `has ${scope.join(' ')}`);
        break;
      }
    }
  }
  for (const e of errori) console.error(e);
  console.log(`${casi.length - errori.length} of ${casi.length} cases as the table says`);
  process.exit(errori.length === 0 ? 0 : 1);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
