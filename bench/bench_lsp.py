#!/usr/bin/env python3
"""scenario_tool lsp through real pipes, as an editor drives it: the medians
of whole round trips, each against its goal. Usage: bench_lsp.py TOOL DIR
NAME GOAL_CHANGE_MS [GOAL_LINES_MS], where DIR holds the pair ID_linea.txt /
ID_N-.txt; the train file is opened and changed by one character at a time.
With GOAL_LINES_MS, the train file is then replaced by 100,000 lines without
a comma (station rows that lost them) and its diagnostics awaited. With
BENCH_QUICK set, a few rounds each: a check that every case still runs, no
measurement. Anything that goes wrong (no train file, a server that ends,
answers with an error or stops answering) ends it with status 1 and a
message on stderr."""
import glob, json, os, statistics, subprocess, sys, threading, time

if len(sys.argv) not in (5, 6):
    sys.exit("use: bench_lsp.py TOOL DIR NAME GOAL_CHANGE_MS [GOAL_LINES_MS]")
tool, cartella, nome, meta_modifica = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3], float(sys.argv[4])
meta_righe = float(sys.argv[5]) if len(sys.argv) > 5 else None
META_RISPOSTA = 2.0  # hover and completion, ms
GIRI = 3 if os.environ.get("BENCH_QUICK", "0") not in ("", "0") else 30
# Far more than a whole run takes: a server that stops answering is stopped.
ATTESA_MASSIMA = 300

treni = sorted(glob.glob(os.path.join(cartella, "*-.txt")))
if not treni:
    sys.exit(f"bench_lsp: no train file (*-.txt) in {cartella}")
treno = treni[0]

try:
    server = subprocess.Popen([tool, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
except OSError as e:
    sys.exit(f"bench_lsp: cannot start {tool} lsp: {e}")
scaduto = threading.Event()


def scadi():
    scaduto.set()
    server.kill()


orologio = threading.Timer(ATTESA_MASSIMA, scadi)
orologio.daemon = True
orologio.start()


def manda(m):
    b = json.dumps(m).encode()
    try:
        server.stdin.write(b"Content-Length: %d\r\n\r\n" % len(b) + b)
        server.stdin.flush()
    except BrokenPipeError:
        sys.exit(f"bench_lsp: {nome}: the server stopped reading (status {server.wait()})")


def leggi():
    intestazione = b""
    while not intestazione.endswith(b"\r\n\r\n"):
        c = server.stdout.read(1)
        if not c:
            if scaduto.is_set():
                sys.exit(f"bench_lsp: {nome}: the server had not finished after {ATTESA_MASSIMA} s")
            sys.exit(f"bench_lsp: {nome}: the server closed its output (status {server.wait()})")
        intestazione += c
    for riga in intestazione.split(b"\r\n"):
        if riga.lower().startswith(b"content-length:"):
            return json.loads(server.stdout.read(int(riga.split(b":")[1])))
    sys.exit(f"bench_lsp: {nome}: a message without Content-Length")


def attendi(condizione):
    while True:
        m = leggi()
        if "error" in m:
            sys.exit(f"bench_lsp: {nome}: the server answered with an error: {json.dumps(m)}")
        if condizione(m):
            return m


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
for versione in range(2, 2 + GIRI):
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
    for n in range(GIRI):
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
if server.wait() != 0:
    sys.exit(f"bench_lsp: {nome}: the server ended with status {server.returncode}")
orologio.cancel()
for cosa, ms, meta in risultati:
    print(f"{nome}: {cosa}: median {ms:.2f} ms, goal {meta:g} ms, ratio {ms / meta:.2f}")
