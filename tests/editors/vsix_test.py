#!/usr/bin/env python3
"""The .vsix (a zip) holds what its manifest names and nothing of the build:
the manifest, the script it names as main, the grammars and the language
configuration it contributes, the README, and of node_modules only the
production packages (vscode-languageclient and what it needs), no test,
source folder, lock file, or development package. Its script then loads
from the unpacked .vsix alone (node, with a stand-in for the editor's API).

    vsix_test.py FILE.vsix
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

errori = []
with zipfile.ZipFile(sys.argv[1]) as z:
    nomi = set(z.namelist())
    manifesto = json.loads(z.read("extension/package.json"))
    voluti = {"extension.vsixmanifest", "[Content_Types].xml", "extension/package.json", "extension/README.md"}
    voluti.add("extension/" + manifesto["main"].removeprefix("./"))
    contributi = manifesto["contributes"]
    for g in contributi["grammars"]:
        voluti.add("extension/" + g["path"].removeprefix("./"))
    for l in contributi["languages"]:
        voluti.add("extension/" + l["configuration"].removeprefix("./"))
    mancanti = {n for n in voluti if n not in nomi and n.lower() not in {m.lower() for m in nomi}}
    if mancanti:
        errori.append(f"named by the manifest but missing: {sorted(mancanti)}")
    pacchetti = {n.split("/")[2] if not n.split("/")[2].startswith("@") else "/".join(n.split("/")[2:4])
                 for n in nomi if n.startswith("extension/node_modules/")}
    if "vscode-languageclient" not in pacchetti:
        errori.append("vscode-languageclient is not packed: the extension cannot start")
    for sviluppo in ("@vscode/vsce", "vscode-textmate", "vscode-oniguruma"):
        if sviluppo in pacchetti:
            errori.append(f"development package {sviluppo} packed")
    for n in sorted(nomi - voluti):
        if n.startswith("extension/node_modules/") or n.startswith("extension/bin/scenario_tool"):
            continue
        errori.append(f"not named by the manifest: {n}")
    # Everything the script requires must be inside: the editor's API is the
    # only module that comes from outside.
    if shutil.which("node"):
        with tempfile.TemporaryDirectory() as cartella:
            z.extractall(cartella)
            prova = (
                "const M = require('module'); const carica = M._load;"
                "M._load = function (r, ...a) { return r === 'vscode' ? new Proxy({}, { get: () => function () {} }) "
                ": carica.call(this, r, ...a); };"
                "const e = require(process.argv[1]);"
                "if (typeof e.activate !== 'function' || typeof e.deactivate !== 'function') process.exit(1);"
            )
            r = subprocess.run(["node", "-e", prova, os.path.join(cartella, "extension", manifesto["main"])],
                               capture_output=True, text=True)
            if r.returncode != 0:
                errori.append("the packed extension does not load: " + r.stderr.strip()[-400:])
for e in errori:
    print(e, file=sys.stderr)
sys.exit(1 if errori else 0)
