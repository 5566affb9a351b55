// The station rules: two stations of one name, a station without a name,
// and a clock that starts the train after its first departure.
#include <cctype>
#include <string>
#include <unordered_map>

#include "check/regole_ferrovia_luoghi.h"
#include "model/orario.h"

namespace strumento::regole_ferrovia {

namespace {

using regole_interne::ora_scritta;
using regole_interne::tra_apici;

constexpr std::int64_t mezza_giornata = modello::orario::secondi_giorno / 2;

// A name as the driver tells one station from another: without the blanks
// around it, capitals and small letters alike.
std::string come_si_legge(const std::string& nome) {
    std::size_t a = 0, b = nome.size();
    while (a < b && regole_interne::spazio(nome[a])) ++a;
    while (b > a && regole_interne::spazio(nome[b - 1])) --b;
    std::string s = nome.substr(a, b - a);
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

std::string ora(std::int64_t t) {
    namespace o = modello::orario;
    return ora_scritta(o::ore_di(t), o::minuti_di(t), o::secondi_di(t));
}

void nomi(const coppia_compilata& c, const righe_treno& righe, const std::vector<stazione_posata>& stazioni,
          std::vector<problema>& p) {
    const auto& m = c.modello();
    std::unordered_map<std::string, const stazione_posata*> visti;
    for (const auto& s : stazioni) {
        const auto& v = s.voce(m);
        const riga_voce* r = righe.a(s.riga);
        const std::size_t campo_nome = r && r->indice("name") ? *r->indice("name") : 0;
        const std::string nome = come_si_legge(v.nome);
        if (nome.empty()) {
            p.push_back(avviso_treno(
                nome_stazione_senza_nome, r, s.riga, campo_nome,
                "the driver meets a station with no name at " + km(m, v.progressiva) +
                    ": its timetable line and its stop carry no name. A station's name is the rest of its row after "
                    "the seconds, and this row has nothing there"));
            continue;
        }
        const auto [prima, nuova] = visti.emplace(nome, &s);
        if (nuova) continue;
        const auto& w = prima->second->voce(m);
        p.push_back(avviso_treno(
            nome_stazione_ripetuta, r, s.riga, campo_nome,
            "the driver meets two stations named " + tra_apici(v.nome) + ", at " + km(m, w.progressiva) + " and at " +
                km(m, v.progressiva) + ": the timetable cannot tell them apart. Each station row stores its name as "
                "written, and nothing compares it with the names before it",
            {{quale_file::treno, prima->second->riga,
              "the station " + tra_apici(w.nome) + " at " + km(m, w.progressiva) + " has the name already"}}));
    }
}

// The first departure: the first station along the line with a time (0:00:00
// is no time: the rows of stations the train passes leave it so).
void orologio(const coppia_compilata& c, const righe_treno& righe, const std::vector<stazione_posata>& stazioni,
              std::vector<problema>& p) {
    const auto& m = c.modello();
    const auto& ripetizione = m.tabella[modello::record_ripetizione];
    const std::int64_t h = ripetizione.campo_10, mi = ripetizione.campo_11, se = ripetizione.campo_12;
    // A clock that is no time of day is time-range's.
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 || se > 59) return;
    const std::int64_t inizio = modello::orario::secondi(h, mi, se);
    for (const auto& s : stazioni) {
        const auto& v = s.voce(m);
        if (v.orario == 0) continue;
        // More than half a day after the departure is the evening before it:
        // a drive that runs past midnight.
        if (inizio > v.orario && inizio - v.orario <= mezza_giornata) {
            // The row that set the clock: the last one read, and the rows are read only now.
            const riga_voce* riga_orologio = nullptr;
            for (const auto& r : righe.file().righe)
                if (r.argomento() == "orologio") riga_orologio = &r;
            if (!riga_orologio) return;
            const std::int64_t ritardo = inizio - v.orario;
            p.push_back(avviso_treno(
                nome_orologio_tardo, riga_orologio, riga_orologio->riga, 0,
                "the train starts late: its clock starts at " + ora(inizio) + ", " + std::to_string(ritardo) +
                    " s after its departure from " + tra_apici(v.nome) + " at " + km(m, v.progressiva) + ", " +
                    ora(v.orario) + ". The clock is the time of day when the drive begins, and a station's time is "
                    "its departure",
                {{quale_file::treno, s.riga, "the first departure, " + tra_apici(v.nome) + " at " + ora(v.orario)}}));
        }
        return;
    }
}

}  // namespace

void avvisi_stazioni(const coppia_compilata& c, std::vector<problema>& p) {
    const righe_treno righe(c);
    const auto stazioni = stazioni_posate(c);
    nomi(c, righe, stazioni, p);
    orologio(c, righe, stazioni, p);
}

}  // namespace strumento::regole_ferrovia
