#!/usr/bin/env python3
"""scenario_tool lsp through real pipes, as an editor drives it: the medians
of whole round trips, each against its goal. Usage: bench_lsp.py TOOL DIR
NAME GOAL_CHANGE_MS [GOAL_LINES_MS], where DIR holds the pair ID_linea.txt /
ID_N-.txt; the train file is opened and changed by one character at a time.
With GOAL_LINES_MS, the train file is then replaced by 100,000 lines without
a comma (station rows that lost them) and its diagnostics awaited."""
import glob, json, os, statistics, subprocess, sys, time

tool, cartella, nome, meta_modifica = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3], float(sys.argv[4])
meta_righe = float(sys.argv[5]) if len(sys.argv) > 5 else None
META_RISPOSTA = 2.0  # hover and completion, ms

server = subprocess.Popen([tool, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def manda(m):
    b = json.dumps(m).encode()
    server.stdin.write(b"Content-Length: %d\r\n\r\n" % len(b) + b)
    server.stdin.flush()


def leggi():
    intestazione = b""
    while not intestazione.endswith(b"\r\n\r\n"):
        c = server.stdout.read(1)
        if not c:
            sys.exit("the server closed its output")
        intestazione += c
    for riga in intestazione.split(b"\r\n"):
        if riga.lower().startswith(b"content-length:"):
            return json.loads(server.stdout.read(int(riga.split(b":")[1])))
    sys.exit("a message without Content-Length")


def attendi(condizione):
    while True:
        m = leggi()
        if condizione(m):
            return m


treno = sorted(glob.glob(os.path.join(cartella, "*-.txt")))[0]
uri = "file://" + treno
testo = open(treno, encoding="cp1252").read()
diagnosi = lambda m: m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri

manda({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}, "rootUri": "file://" + cartella}})
attendi(lambda m: m.get("id") == 1)
manda({"jsonrpc": "2.0", "method": "initialized", "params": {}})
manda({"jsonrpc": "2.0", "method": "textDocument/didOpen",
       "params": {"textDocument": {"uri": uri, "languageId": "scenario_treno", "version": 1, "text": testo}}})
attendi(diagnosi)

tempi = []
for versione in range(2, 32):
    inizio = time.perf_counter()
    manda({"jsonrpc": "2.0", "method": "textDocument/didChange",
           "params": {"textDocument": {"uri": uri, "version": versione},
                      "contentChanges": [{"text": testo + (" " if versione % 2 else "")}]}})
    attendi(diagnosi)
    tempi.append((time.perf_counter() - inizio) * 1000)
risultati = [("didChange of one character to publishDiagnostics", statistics.median(tempi), meta_modifica)]

# A row of the body: the first line after the first header.
righe = testo.splitlines()
riga = next(i for i, r in enumerate(righe) if r.startswith("[") and i > 0) + 1
for metodo, posizione in (("textDocument/hover", {"line": riga, "character": 1}),
                          ("textDocument/completion", {"line": riga, "character": 0})):
    tempi = []
    for n in range(30):
        inizio = time.perf_counter()
        manda({"jsonrpc": "2.0", "id": 100 + n, "method": metodo,
               "params": {"textDocument": {"uri": uri}, "position": posizione}})
        attendi(lambda m: m.get("id") == 100 + n)
        tempi.append((time.perf_counter() - inizio) * 1000)
    risultati.append((metodo, statistics.median(tempi), META_RISPOSTA))

if meta_righe is not None:
    # Station rows that lost their commas, under their header: 100,000 lines.
    righe_senza_virgole = "[stazioni]\r\n" + "".join(
        "stazione  %d  12  600  0 0 0  1 1 0  4 1 1   45  7 12 0  PIANO\r\n" % (1000 + i) for i in range(99999))
    tempi = []
    for versione in range(100, 103):
        inizio = time.perf_counter()
        manda({"jsonrpc": "2.0", "method": "textDocument/didChange",
               "params": {"textDocument": {"uri": uri, "version": versione},
                          "contentChanges": [{"text": righe_senza_virgole + ("-" if versione % 2 else "")}]}})
        attendi(lambda m: diagnosi(m) and m["params"].get("version") == versione)
        tempi.append((time.perf_counter() - inizio) * 1000)
    risultati.append(("didChange to 100,000 lines without commas, to publishDiagnostics", statistics.median(tempi),
                      meta_righe))

manda({"jsonrpc": "2.0", "id": 999, "method": "shutdown"})
attendi(lambda m: m.get("id") == 999)
manda({"jsonrpc": "2.0", "method": "exit"})
server.wait()
for cosa, ms, meta in risultati:
    print(f"{nome}: {cosa}: median {ms:.2f} ms, goal {meta:g} ms, ratio {ms / meta:.2f}")
