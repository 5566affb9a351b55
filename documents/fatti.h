// What the driver's documents take from an author's pair: the stations and
// their timetable, the speed limits, the slowdowns, the kilometre boards,
// the line's kilometric progressives and the braked-mass percentage, each
// as its row gives it, read as check reads the rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strumento::documenti {

struct stazione_coppia {
    std::int64_t metro = 0;
    std::string nome;          // UTF-8, as written
    std::int32_t orario = 0;   // seconds of the day; 0: no time given
    std::int32_t sosta = 0;    // seconds (the row's field 13)
    bool con_orario() const { return orario != 0; }
};

struct limite_coppia {
    std::int64_t metro = 0;
    std::int64_t velocita = 0;  // km/h
};

struct rallentamento_coppia {
    std::int64_t inizio = 0;
    std::int64_t velocita = 0;
    std::int64_t lunghezza = 0;
};

struct cartello_coppia {
    std::int64_t metro = 0;
    std::string testo;  // UTF-8, as written
};

struct progressiva_coppia {
    std::int64_t inizio = 0;    // position on the route, m
    std::int64_t valore = 0;    // kilometre figure there, m
    bool decrescente = false;   // direction code 1
};

struct fatti_coppia {
    std::vector<stazione_coppia> stazioni;
    std::vector<limite_coppia> limiti;
    std::vector<rallentamento_coppia> rallentamenti;
    std::vector<cartello_coppia> cartelli;
    std::vector<progressiva_coppia> progressive;  // those in use, by start
    std::optional<std::int64_t> massa_frenata;    // percent
};

// The rows of the two texts (bytes as on disk) the documents draw on, in the
// order of the files; positions as written.
fatti_coppia leggi_fatti(const std::string& linea, const std::string& treno);

// The kilometre figure, in metres, of a position on the route: from the
// progressive in force there (the last one starting at or before it), or
// the position itself when the line gives none.
std::int64_t chilometrica(const fatti_coppia& f, std::int64_t metro);

// The last whole-kilometre milestone a train running along the route passes
// at or before the position, in kilometres: the figure rounded down where
// the figures grow, up where they fall.
std::int64_t ultimo_cippo(const fatti_coppia& f, std::int64_t metro);

// A kilometre figure as the documents write it: "348.000".
std::string km_testo(std::int64_t metri);

// A name as the sheet's header writes a place: each word capitalised.
std::string come_nome(const std::string& maiuscolo);

// A name in capitals, as the sheet's rows write a station.
std::string in_maiuscolo(const std::string& nome);

}  // namespace strumento::documenti
