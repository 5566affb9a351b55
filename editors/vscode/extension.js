// The scenario files' extension: the language server (scenario_tool lsp)
// for both files, and two commands that run the tool on the pair of the
// file in the editor: "Compile scenario" (its report in an output channel)
// and "Draw route" (a picture of the compiled route, opened beside).
'use strict';

const vscode = require('vscode');
const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { LanguageClient } = require('vscode-languageclient/node');

const LINGUE = ['scenario-linea', 'scenario-treno'];
const NOME_PROGRAMMA = process.platform === 'win32' ? 'scenario_tool.exe' : 'scenario_tool';

let client = null;
let uscita = null;

// The program: the setting, else the one bundled in the extension, else the
// first on the PATH; null when there is none.
function trovaProgramma(cartellaEstensione) {
  const impostato = vscode.workspace.getConfiguration('scenario').get('toolPath');
  if (impostato) {
    const p = impostato.replace(/^~(?=$|[\\/])/, os.homedir());
    return fs.existsSync(p) ? { percorso: p } : { mancante: `scenario.toolPath names ${p}, which does not exist` };
  }
  const incluso = path.join(cartellaEstensione, 'bin', NOME_PROGRAMMA);
  if (fs.existsSync(incluso)) return { percorso: incluso };
  const estensioni = process.platform === 'win32'
    ? (process.env.PATHEXT || '.EXE;.CMD;.BAT').split(';').map((e) => e.toLowerCase())
    : [''];
  for (const cartella of (process.env.PATH || '').split(path.delimiter)) {
    if (!cartella) continue;
    for (const est of estensioni) {
      const p = path.join(cartella, 'scenario_tool' + est);
      try {
        if (fs.statSync(p).isFile()) return { percorso: p };
      } catch (_) { /* not here */ }
    }
  }
  return {
    mancante: 'scenario_tool was not found: it is not bundled with this extension and not on the PATH. ' +
      'Set "scenario.toolPath" to the program (scenario_tool.exe on Windows).',
  };
}

function mostraMancante(messaggio) {
  vscode.window.showErrorMessage(messaggio, 'Open Settings').then((scelta) => {
    if (scelta) vscode.commands.executeCommand('workbench.action.openSettings', 'scenario.toolPath');
  });
}

// The pair of a file by the naming convention: ID_linea.txt goes with the
// first ID_N-.txt beside it, ID_N-.txt with ID_linea.txt.
function coppia(file) {
  const cartella = path.dirname(file);
  const nome = path.basename(file);
  const linea = /^(.*)_linea\.txt$/i.exec(nome);
  if (linea) {
    const treni = fs.readdirSync(cartella)
      .filter((n) => n.startsWith(linea[1] + '_') && /^[^_]*-\.txt$/i.test(n.slice(linea[1].length + 1)))
      .sort();
    if (treni.length === 0) return { errore: `no train file ${linea[1]}_N-.txt beside ${nome}` };
    return { linea: file, treno: path.join(cartella, treni[0]), id: linea[1], numero: treni[0].slice(linea[1].length + 1, -5) };
  }
  const treno = /^(.*)_([^_]*)-\.txt$/i.exec(nome);
  if (!treno) return { errore: `${nome} is named neither ID_linea.txt nor ID_N-.txt` };
  const fileLinea = path.join(cartella, treno[1] + '_linea.txt');
  if (!fs.existsSync(fileLinea)) return { errore: `no line description ${treno[1]}_linea.txt beside ${nome}` };
  return { linea: fileLinea, treno: file, id: treno[1], numero: treno[2] };
}

function esegui(programma, argomenti) {
  return new Promise((risolvi) => {
    childProcess.execFile(programma, argomenti, { maxBuffer: 16 * 1024 * 1024 }, (errore, stdout, stderr) => {
      const codice = errore ? (typeof errore.code === 'number' ? errore.code : -1) : 0;
      risolvi({ codice, stdout, stderr, avvio: errore && typeof errore.code !== 'number' ? errore.message : null });
    });
  });
}

// What a command needs: the program and the pair of the active editor's
// file, its open buffers saved (the tool reads the files on disk).
async function preparazione(contesto) {
  const editor = vscode.window.activeTextEditor;
  if (!editor || editor.document.uri.scheme !== 'file') {
    vscode.window.showErrorMessage('Open a line description (ID_linea.txt) or a train file (ID_N-.txt) first.');
    return null;
  }
  const programma = trovaProgramma(contesto.extensionPath);
  if (!programma.percorso) {
    mostraMancante(programma.mancante);
    return null;
  }
  const c = coppia(editor.document.uri.fsPath);
  if (c.errore) {
    vscode.window.showErrorMessage(c.errore);
    return null;
  }
  for (const doc of vscode.workspace.textDocuments) {
    if (doc.isDirty && [c.linea, c.treno].includes(doc.uri.fsPath)) await doc.save();
  }
  return { programma: programma.percorso, coppia: c };
}

async function compila(contesto) {
  const p = await preparazione(contesto);
  if (!p) return;
  const argomenti = ['compile', p.coppia.linea, p.coppia.treno];
  const r = await esegui(p.programma, argomenti);
  uscita.clear();
  uscita.appendLine(`$ ${path.basename(p.programma)} ${argomenti.join(' ')}`);
  if (r.avvio) uscita.appendLine(r.avvio);
  uscita.append(r.stdout);
  uscita.append(r.stderr);
  uscita.show(true);
  if (r.codice === 0) vscode.window.setStatusBarMessage('Scenario compiled: status 0', 5000);
  else vscode.window.showWarningMessage('The compile found a problem: see the report in the "Scenario" output.');
}

// The route is drawn from a compile into a folder of its own, so the
// author's compiled files stay as they are: a PNG (plot) where the tool
// draws pictures, else the HTML page of view where the tool has it.
async function disegna(contesto) {
  const p = await preparazione(contesto);
  if (!p) return;
  const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-route-'));
  const compilato = await esegui(p.programma, ['compile', p.coppia.linea, p.coppia.treno, '-o', cartella]);
  uscita.clear();
  uscita.append(compilato.stdout);
  uscita.append(compilato.stderr);
  if (compilato.codice !== 0 && compilato.codice !== 1) {
    uscita.show(true);
    vscode.window.showErrorMessage('The scenario did not compile: see the report in the "Scenario" output.');
    return;
  }
  const scelta = ['--linea', p.coppia.id, '--treno', p.coppia.numero];
  const png = path.join(cartella, `${p.coppia.id}_${p.coppia.numero}.png`);
  if ((await esegui(p.programma, ['plot', '--help'])).codice === 0) {
    const r = await esegui(p.programma, ['plot', cartella, '-o', png, ...scelta]);
    if (r.codice === 0) {
      await vscode.commands.executeCommand('vscode.open', vscode.Uri.file(png), vscode.ViewColumn.Beside);
      return;
    }
    uscita.append(r.stdout + r.stderr);
  } else if ((await esegui(p.programma, ['view', '--help'])).codice === 0) {
    const html = path.join(cartella, `${p.coppia.id}_${p.coppia.numero}.html`);
    const r = await esegui(p.programma, ['view', cartella, '-o', html, ...scelta]);
    if (r.codice === 0) {
      await vscode.env.openExternal(vscode.Uri.file(html));
      return;
    }
    uscita.append(r.stdout + r.stderr);
  } else {
    vscode.window.showErrorMessage('This scenario_tool draws no route on this system (it has neither plot nor view).');
    return;
  }
  uscita.show(true);
  vscode.window.showErrorMessage('The route could not be drawn: see the "Scenario" output.');
}

async function avviaServer(contesto) {
  const programma = trovaProgramma(contesto.extensionPath);
  if (!programma.percorso) {
    mostraMancante(programma.mancante);
    return;
  }
  // Exactly `scenario_tool lsp`, over its standard input and output.
  const eseguibile = { command: programma.percorso, args: ['lsp'] };
  client = new LanguageClient('scenario', 'Scenario language server', { run: eseguibile, debug: eseguibile }, {
    documentSelector: LINGUE.map((language) => ({ scheme: 'file', language })),
    outputChannel: uscita,
  });
  try {
    await client.start();
  } catch (e) {
    vscode.window.showErrorMessage(`scenario_tool lsp did not start (${programma.percorso}): ${e.message || e}`);
  }
}

async function fermaServer() {
  if (!client) return;
  const c = client;
  client = null;
  try {
    await c.stop();
  } catch (_) { /* already gone */ }
}

function activate(contesto) {
  uscita = vscode.window.createOutputChannel('Scenario');
  contesto.subscriptions.push(
    uscita,
    vscode.commands.registerCommand('scenario.compile', () => compila(contesto)),
    vscode.commands.registerCommand('scenario.drawRoute', () => disegna(contesto)),
    vscode.commands.registerCommand('scenario.restartServer', async () => {
      await fermaServer();
      await avviaServer(contesto);
    }),
    vscode.workspace.onDidChangeConfiguration(async (e) => {
      if (e.affectsConfiguration('scenario.toolPath')) {
        await fermaServer();
        await avviaServer(contesto);
      }
    }),
  );
  return avviaServer(contesto);
}

function deactivate() {
  return fermaServer();
}

module.exports = { activate, deactivate };
