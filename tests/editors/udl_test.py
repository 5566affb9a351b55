#!/usr/bin/env python3
"""The Notepad++ file: well-formed XML, one user-defined language per file of
the scenario, whose keywords are exactly the texts the reader's keyword
entries look for (genera_editori --parole lists the readers' tables), in
prefix mode and with case as written.

    udl_test.py GENERA_EDITORI UDL_XML
"""
import subprocess
import sys
import xml.etree.ElementTree as ET

genera, file_xml = sys.argv[1], sys.argv[2]
errori = []

attese = {"linea": set(), "treno": set()}
for riga in subprocess.run([genera, "--parole"], check=True, capture_output=True, text=True).stdout.splitlines():
    file, _maiuscole, *testi = riga.split(" ")
    attese[file].update(testi)

radice = ET.parse(file_xml).getroot()  # raises on malformed XML
if radice.tag != "NotepadPlus":
    errori.append(f"root element {radice.tag}, not NotepadPlus")
lingue = {l.get("name"): l for l in radice.findall("UserLang")}
if set(lingue) != {"scenario_linea", "scenario_treno"}:
    errori.append(f"languages {sorted(lingue)}")
for file, testi in attese.items():
    lingua = lingue.get("scenario_" + file)
    if lingua is None:
        continue
    elenchi = {k.get("name"): (k.text or "") for k in lingua.iter("Keywords")}
    parole = set(elenchi.get("Keywords1", "").split())
    if parole != testi:
        errori.append(f"scenario_{file}: Keywords1 lacks {sorted(testi - parole)}, has more {sorted(parole - testi)}")
    for k in range(2, 9):
        if elenchi.get(f"Keywords{k}", "").strip():
            errori.append(f"scenario_{file}: Keywords{k} is not empty")
    prefisso = lingua.find("Settings/Prefix")
    globale = lingua.find("Settings/Global")
    if prefisso is None or prefisso.get("Keywords1") != "yes":
        errori.append(f"scenario_{file}: Keywords1 not in prefix mode (curva would not colour curvad4)")
    if globale is None or globale.get("caseIgnored") != "no":
        errori.append(f"scenario_{file}: case ignored (Progressiva would be coloured, and the reader skips it)")
    if not elenchi.get("Comments", "").startswith("00-"):
        errori.append(f"scenario_{file}: comments do not start with -")
    if lingua.get("udlVersion") != "2.1" or len(lingua.findall("Styles/WordsStyle")) < 20:
        errori.append(f"scenario_{file}: not a whole UDL 2.1 definition")

for e in errori:
    print(e, file=sys.stderr)
sys.exit(1 if errori else 0)
