// The signal repetition: a stretch that runs past the line's end or lies
// before its start. One that ends before it starts is stretch-reversed's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check/linea_percorsa.h"
#include "check/regole_ferrovia_interne.h"
#include "check/regole_interne.h"

namespace strumento::regole_ferrovia {

namespace {

using regole_interne::avviso_a;
using righe_lette::riga_voce;

std::string metro(std::int64_t m) { return "metre " + std::to_string(m); }

}  // namespace

void regole_ripetizione(const coppia_compilata& c, std::vector<problema>& p) {
    const auto& m = c.modello();
    if (m.percorso.empty()) return;
    const auto& x = m.tabella[modello::record_ripetizione];
    const std::int64_t s = x.inizio, e = x.fine, l = m.tabella[modello::record_treno].fine;
    // An end of 0 is no repetition; an end not after the start is stretch-reversed's.
    if (e == 0 || e <= s || (s >= 0 && e <= l)) return;
    const riga_voce* rip = nullptr;
    const riga_voce* lun = nullptr;
    for (const auto& r : c.righe(quale_file::linea).righe) {
        if (r.argomento() == "ripetizione segnali") rip = &r;
        if (r.argomento() == "lunghezza percorso") lun = &r;
    }
    if (!rip || !lun) return;
    const auto tenute = progressive_tenute(m);
    const auto fine_linea = rimando_a(*lun, "the line ends at " + dove(tenute, l) + " here");
    const auto avvisa = [&](std::size_t campo, std::string testo) {
        p.push_back(avviso_a(nome_ripetizione_fuori, *rip, campo, std::move(testo), {fine_linea}));
    };
    if (s > l)
        avvisa(0, "the cab repeats no signal anywhere on the line: the repetition starts at " + metro(s) + ", " +
                      std::to_string(s - l) + " m past the line's end at " + dove(tenute, l) +
                      "; table record 86 holds it as written");
    else if (e > l)
        avvisa(1, "the cab repeats the signals from " + dove(tenute, s) + " to the line's end at " + dove(tenute, l) +
                      " and never stops: the repetition's end, " + metro(e) + ", lies " + std::to_string(e - l) +
                      " m past the line's end; table record 86 holds it as written");
    else if (e < 0)
        avvisa(1, "the cab repeats no signal anywhere on the line: the repetition from " + metro(s) + " to " + metro(e) +
                      " lies before the line's first metre");
    else
        avvisa(0, "the cab repeats the signals from the line's first metre, not from " + metro(s) +
                      " as written: the repetition starts " + std::to_string(-s) +
                      " m before the line's start; table record 86 holds it as written");
}

}  // namespace strumento::regole_ferrovia
