// The topics of the reference that no single keyword holds (comments, the
// timetable, the clock, progressives, boards, categories) and the other
// names authors give the entries: plurals, English words, accents.
#include <algorithm>
#include <string>
#include <vector>

#include "reference/riferimento.h"
#include "reference/temi_interni.h"

namespace riferimento {

namespace {

using enum file_testo;

constexpr esempio_tema esempi_commenti[] = {
    {treno, "- stazioni della linea", true,
     "a comment: the field holds \"-\" and stands where a keyword field is expected"},
    {treno, "rallentamento-2,    7000,    60,  200, 0,  1,  60", true,
     "a comment too, though it looks like a row: the keyword field holds \"-\", so it is skipped; its values are "
     "then tested as keyword fields, match none and are skipped: the slowdown is lost without a word"},
    {treno, "- posizione, velocita", false,
     "not a comment all through: the comment field ends at the comma, and \"velocita\" is tested as a keyword field "
     "and read as a speed row, its values taken from the fields after it"},
    {treno, "# velocita massima", false,
     "no comment: \"#\" is an ordinary character, the field holds \"velocit\" and is read as a speed row"},
    {linea, "// curva a destra", false,
     "no comment: the field holds \"curva\" and is read as a curve, here one without a class digit (status 103)"},
    {treno, "- - -\n- nota\n- stazione di Borgo", false,
     "the third comment line in a row of the train file is tested as a keyword field although it holds \"-\": "
     "read as a station row"},
};

constexpr std::string_view testo_commenti =
    "A comment is a field, not a line. Where a reader expects a keyword field, a field that holds a \"-\" anywhere "
    "is skipped and the field after it is read in its place. A field ends at a comma or at the end of the line, so "
    "a comment line holds no comma: the text after one is tested as a keyword field of its own. Only so many "
    "comment fields are skipped in a row: 10 in the line description's general block, 2 in its body and in the "
    "train file; the field after those is tested as a keyword field even when it holds \"-\". Value fields are "
    "never comments: `-5` is a negative value, and a \"-\" in a station's name or a board's text is part of it. "
    "Nothing else makes a comment: `//`, `#` and `;` are ordinary characters. A field that holds no keyword is "
    "skipped all the same, so text without a \"-\" looks like a comment until it holds a keyword, which makes it a "
    "row. Everything before `[generale]` is skipped. check warns of comment text read as a row "
    "(`comment-keyword`) and of an unknown field (`unknown-keyword`).";

constexpr std::string_view testo_orario =
    "The timetable is the stations' times. Each `stazione` row ends with hours, minutes and seconds before the "
    "name: the compiler adds them up into seconds of the day, stored in the station's table record (`orario`), so "
    "7:60 is stored as 8:00. The time is the departure, and field 13 the dwell in seconds: the arrival is the "
    "departure less the dwell. A station the train passes has 0:00:00 and dwell 0; one of kind 25 or more has no "
    "stop cell. Station k of the train file goes into record k, in the order of the file, which must be their "
    "order along the line. check warns of a time earlier than a station's before it (`times-backwards`), of "
    "minutes or seconds of 60 or more (`time-range`) and of a clock after the first departure "
    "(`clock-after-departure`). The clock (`explain clock`) is the time of day at which the run starts; "
    "`explain stazione` gives every field of a station row and the built-in train sheet's evidence.";

constexpr std::string_view testo_orologio =
    "The clock is the time of day at which the run starts: the train file's `orologio` row, hours, minutes and "
    "seconds (`orologio, 7 15 0`: blanks may stand for the commas). The three are stored each as written in table "
    "record 86 (`campo_10` to `campo_12`); without an `orologio` row they stay 0, midnight. The compiler does not "
    "compare the clock with the timetable (`explain timetable`): check warns of a clock after the first departure, "
    "which makes the train start late (`clock-after-departure`), and of a clock that is no time of day "
    "(`time-range`).";

constexpr std::string_view testo_progressive =
    "A kilometric progressive gives the kilometre figures along the line, the figures beside the track. From its "
    "start (metres from the start of the line) the figure is its kilometric value (in metres: 350000 is km 350), "
    "increasing along the line, or decreasing when its direction code is 1. The line description's general block "
    "holds up to three, `progressiva chilometrica uno`, `due` and `tre`; the reader orders them by start into table "
    "records 81 to 83, which is the order `dump` shows. A line whose figures run one way throughout needs one: "
    "`progressiva chilometrica uno, 0, 350000, 0`. The kilometre boards' texts are not made from them: the author "
    "writes each (`explain boards`). `explain progressiva` gives the three entries and the ordering.";

constexpr std::string_view testo_cartelli =
    "Two kinds of board stand beside the track, each in a route cell of its own (a cell takes one object). The "
    "speed indicator board, `indicatori_vmax` in the line description's body, shows maximum speeds: three on each "
    "side, one for each category of train (`explain categories`), and a number of stripes. The kilometre board, "
    "`cartello_indicatore`, shows a text, usually its kilometre figure (`Km 6+400`). The compiler takes the "
    "train's speed limit only from the train file's `velocita` rows and never compares it with the boards. A "
    "speed board on a cell that already holds an object (status 21), or a kilometre board on one that holds a "
    "board (status 6), stops the reading of the line description; kilometre-board texts share table records 1 "
    "to 80 with the stations (status 10).";

constexpr std::string_view testo_categorie =
    "A speed indicator board (`indicatori_vmax`) gives three speeds on each side, a, b and c, one for each of "
    "three categories of train: speed a goes into the board cell's `valore_1`, b into `valore_2`, c into "
    "`valore_3`, the left speed / 5 in the hundreds and the right speed / 5 in the last two digits. The train file "
    "names no category: the train's speed limit is its own `velocita` rows (`explain velocita`).";

constexpr tema i_temi[] = {
    {"comments", "Comments", testo_commenti, esempi_commenti},
    {"timetable", "The timetable", testo_orario, {}},
    {"clock", "The clock", testo_orologio, {}},
    {"progressives", "Kilometric progressives", testo_progressive, {}},
    {"boards", "Boards", testo_cartelli, {}},
    {"categories", "Train categories of the speed boards", testo_categorie, {}},
};

// Other names for an entry: a topic's or a keyword's as the table names it.
struct altro_nome {
    std::string_view scritto;
    std::string_view argomento;
};
constexpr altro_nome altri_nomi[] = {
    {"comment", "comments"},          {"commento", "comments"},
    {"timetable", "timetable"},       {"orario", "timetable"},
    {"tabella oraria", "timetable"},  {"time", "timetable"},
    {"progressive", "progressives"},  {"chilometrica", "progressives"},
    {"kilometric progressive", "progressives"},
    {"kilometre", "progressives"},
    {"board", "boards"},              {"cartello", "boards"},
    {"category", "categories"},       {"categoria", "categories"},
    {"signal", "segnale"},            {"station", "stazione"},
    {"gradient", "pendenza"},         {"curve", "curva"},
    {"slowdown", "rallentamento"},    {"code point", "abbattimento"},
    {"speed", "velocita"},
    {"speed limit", "velocita"},      {"adhesion", "aderenza"},
    {"sand", "sabbia"},               {"coaches", "numero vetture"},
    {"coach", "numero vetture"},      {"vettura", "numero vetture"},
    {"braked mass", "percentuale massa frenata"},
    {"massa frenata", "percentuale massa frenata"},
    {"mountain", "montagna"},         {"length", "lunghezza percorso"},
    {"lunghezza", "lunghezza percorso"},
    {"repetition", "ripetizione segnali"},
    {"signal repetition", "ripetizione segnali"},
    {"ripetizione", "ripetizione segnali"},
    {"speed board", "indicatori_vmax"},
    {"speed indicator board", "indicatori_vmax"},
    {"indicatore", "indicatori_vmax"},
    {"kilometre board", "cartello_indicatore"},
    {"km board", "cartello_indicatore"},
};

// "velocità" as "velocita": the keywords are written without accents.
std::string senza_accenti(std::string_view s) {
    static constexpr std::pair<std::string_view, char> accentate[] = {
        {"\xC3\xA0", 'a'}, {"\xC3\xA8", 'e'}, {"\xC3\xA9", 'e'}, {"\xC3\xAC", 'i'}, {"\xC3\xB2", 'o'}, {"\xC3\xB9", 'u'}};
    std::string r;
    for (std::size_t i = 0; i < s.size();) {
        const auto a = std::find_if(std::begin(accentate), std::end(accentate),
                                    [&](const auto& x) { return s.substr(i).starts_with(x.first); });
        if (a == std::end(accentate)) {
            r += s[i++];
        } else {
            r += a->second;
            i += a->first.size();
        }
    }
    return r;
}

}  // namespace

std::span<const tema> temi() { return i_temi; }

std::vector<std::string> forme(std::string_view scritto) {
    std::string a = senza_accenti(scritto);
    for (auto& c : a)
        if (c == '-' || c == '_') c = ' ';
    std::vector<std::string> r{a};
    auto aggiungi = [&](std::string x) {
        if (std::find(r.begin(), r.end(), x) == r.end()) r.push_back(std::move(x));
    };
    if (a.size() < 3) return r;
    const char ultima = a.back();
    const std::string radice = a.substr(0, a.size() - 1);
    // English plurals; Italian plurals: -i of -e, -o and -a words, -e of -a words.
    if (ultima == 's') aggiungi(radice);
    if (ultima == 'i')
        for (const char* f : {"e", "o", "a"}) aggiungi(radice + f);
    if (ultima == 'e') aggiungi(radice + "a");
    return r;
}

std::string_view altro_nome_di(std::string_view forma) {
    for (const auto& n : altri_nomi)
        if (n.scritto == forma) return n.argomento;
    return {};
}

std::vector<std::string_view> tutti_gli_altri_nomi() {
    std::vector<std::string_view> r;
    for (const auto& n : altri_nomi) r.push_back(n.scritto);
    return r;
}

}  // namespace riferimento
