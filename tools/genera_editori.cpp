// genera_editori: writes the keyword parts of the editors' grammars (the VS
// Code TextMate grammars, the Vim syntax files, the Notepad++ user-defined
// languages) from the readers' own keyword tables and the reference's
// headers, so that a keyword added to a reader reaches every editor.
//
//   genera_editori DIR            writes the files under DIR (editors/)
//   genera_editori --verifica DIR exits 1, naming them, when the files
//                                 under DIR differ from what it would write
//   genera_editori --parole       one line per keyword entry: file, case,
//                                 the texts the field must contain
//
// A program of the source tree, not a subcommand of scenario_tool: authors
// never need it, and the grammars' text stays out of the shipped tool.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "line_reader/lettore_linea.h"
#include "platform/file_atomico.h"
#include "platform/leggi_binario.h"
#include "reference/riferimento.h"
#include "train_reader/lettore_treno.h"

namespace fs = std::filesystem;

namespace {

// One keyword entry as the grammars need it, whichever reader it is from.
struct voce {
    std::string_view prima;
    std::string_view seconda;
    bool ignora_maiuscole;
};

// The two files, each with its language's names in the three editors.
struct lingua {
    riferimento::file_testo file;
    std::string_view id;         // VS Code language id and TextMate scope suffix
    std::string_view vim;        // Vim filetype
    std::string_view nome;       // shown by the editors
    std::vector<voce> voci;
    std::vector<std::string_view> intestazioni;
};

std::vector<lingua> lingue() {
    lingua linea{riferimento::file_testo::linea, "scenario-linea", "scenario_linea", "Scenario line description",
                 {}, {}};
    for (const auto& p : lettura::parole_linea()) linea.voci.push_back({p.prima, p.seconda, p.ignora_maiuscole});
    lingua treno{riferimento::file_testo::treno, "scenario-treno", "scenario_treno", "Scenario train file", {}, {}};
    for (const auto& p : lettura::parole_treno()) treno.voci.push_back({p.prima, p.seconda, p.ignora_maiuscole});
    for (auto* l : {&linea, &treno})
        for (const auto& s : riferimento::sezioni())
            if (s.file == l->file) l->intestazioni.push_back(s.intestazione);
    return {std::move(linea), std::move(treno)};
}

// A text as a literal inside a regular expression (both Oniguruma and Vim
// with \V-free magic patterns take a backslash before these).
std::string letterale_regex(std::string_view t) {
    std::string r;
    for (const char c : t) {
        if (std::string_view(".*+?^$()[]{}|\\/~").find(c) != std::string_view::npos) r += '\\';
        r += c;
    }
    return r;
}

std::string json_stringa(std::string_view t) {
    std::string r = "\"";
    for (const char c : t) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    return r + "\"";
}

// The text of a header between its brackets.
std::string_view dentro(std::string_view intestazione) {
    return intestazione.substr(1, intestazione.size() - 2);
}

// ---- VS Code: a TextMate grammar per file -------------------------------
//
// A row's first field is its keyword field. A field holding "-" is a
// comment (the readers skip it); a field that holds every text of an entry
// is that keyword; a field in brackets is a header. Value fields are numbers,
// or names when they hold a letter.

std::string textmate_parola(const voce& v) {
    const std::string campo = "[^,\\r\\n]*";
    std::string test = "(?=" + campo + letterale_regex(v.prima) + ")";
    if (!v.seconda.empty()) test += "(?=" + campo + letterale_regex(v.seconda) + ")";
    if (v.ignora_maiuscole) test = "(?i:" + test + ")";
    return "^[ \\t]*(" + test + campo + ")";
}

std::string textmate(const lingua& l) {
    std::string parole;
    for (const auto& v : l.voci) {
        if (!parole.empty()) parole += ",\n";
        parole += "        { \"match\": " + json_stringa(textmate_parola(v)) +
                  ", \"captures\": { \"1\": { \"name\": \"keyword.other.scenario\" } } }";
    }
    std::string note;
    for (const auto& h : l.intestazioni) note += std::string(note.empty() ? "" : "|") + letterale_regex(dentro(h));
    const std::string s = std::string(l.id);
    return "{\n"
           "  \"$comment\": \"Written by genera_editori from the readers' keyword tables: edit the generator, not this file.\",\n"
           "  \"name\": " + json_stringa(l.nome) + ",\n"
           "  \"scopeName\": \"source." + s + "\",\n"
           "  \"patterns\": [\n"
           "    { \"include\": \"#commento\" },\n"
           "    { \"include\": \"#parole\" },\n"
           "    { \"include\": \"#intestazioni\" },\n"
           "    { \"include\": \"#valori\" }\n"
           "  ],\n"
           "  \"repository\": {\n"
           "    \"commento\": {\n"
           "      \"match\": \"^[ \\\\t]*[^,\\\\r\\\\n]*-.*$\",\n"
           "      \"name\": \"comment.line.scenario\"\n"
           "    },\n"
           "    \"parole\": {\n"
           "      \"patterns\": [\n" + parole + "\n"
           "      ]\n"
           "    },\n"
           "    \"intestazioni\": {\n"
           "      \"patterns\": [\n"
           "        {\n"
           "          \"match\": " + json_stringa("^[ \\t]*(\\[)(?i:(" + note + "))(\\])[ \\t]*$") + ",\n"
           "          \"captures\": {\n"
           "            \"1\": { \"name\": \"punctuation.definition.section.scenario\" },\n"
           "            \"2\": { \"name\": \"entity.name.section.scenario\" },\n"
           "            \"3\": { \"name\": \"punctuation.definition.section.scenario\" }\n"
           "          }\n"
           "        },\n"
           "        {\n"
           "          \"match\": \"^[ \\\\t]*\\\\[[^,\\\\r\\\\n]*\\\\][ \\\\t]*$\",\n"
           "          \"name\": \"meta.header.unknown.scenario\"\n"
           "        }\n"
           "      ]\n"
           "    },\n"
           "    \"valori\": {\n"
           "      \"patterns\": [\n"
           "        { \"match\": \",\", \"name\": \"punctuation.separator.scenario\" },\n"
           "        {\n"
           "          \"match\": \"(?<=,)[ \\\\t]*([^,\\\\r\\\\n]*[A-Za-z\\\\x{80}-\\\\x{10FFFF}][^,\\\\r\\\\n]*)\",\n"
           "          \"captures\": { \"1\": { \"name\": \"string.unquoted.name.scenario\" } }\n"
           "        },\n"
           "        { \"match\": \"(?<![\\\\w.])-?[0-9]+\\\\b\", \"name\": \"constant.numeric.scenario\" }\n"
           "      ]\n"
           "    }\n"
           "  }\n"
           "}\n";
}

// ---- Vim: a syntax file per file type -----------------------------------
//
// The same rules in Vim's patterns. Items that start at the same column are
// decided by the last one defined, so the keyword field's kinds come last,
// the comment after the keywords (a field with "-" is skipped, keyword or not).

std::string vim_parola(const voce& v) {
    const std::string campo = "[^,]*";
    std::string test = "\\%(" + campo + letterale_regex(v.prima) + "\\)\\@=";
    if (!v.seconda.empty()) test += "\\%(" + campo + letterale_regex(v.seconda) + "\\)\\@=";
    return std::string(v.ignora_maiuscole ? "\\c" : "\\C") + "^\\s*\\zs" + test + campo;
}

std::string vim(const lingua& l) {
    std::string parole;
    for (const auto& v : l.voci) parole += "syntax match scenarioParola /" + vim_parola(v) + "/\n";
    std::string note;
    for (const auto& h : l.intestazioni)
        note += std::string(note.empty() ? "" : "\\|") + letterale_regex(dentro(h));
    return "\" Vim syntax file for the " + std::string(l.nome) +
           ".\n"
           "\" Written by genera_editori from the readers' keyword tables: edit the\n"
           "\" generator, not this file.\n"
           "if exists('b:current_syntax')\n"
           "  finish\n"
           "endif\n"
           "\n"
           "syntax case match\n"
           "\" Values: numbers, and names where a value holds a letter.\n"
           "syntax match scenarioNumero /\\%([[:alnum:]_.]\\)\\@<!-\\=\\d\\+\\>/\n"
           "syntax match scenarioNome /\\%(,\\s*\\)\\@<=\\%([^,]*[^,[:digit:][:space:][:punct:]]\\)\\@=[^, \\t][^,]*/\n"
           "syntax match scenarioSeparatore /,/\n"
           "\" The row's first field: a header, a keyword, a comment.\n"
           "syntax match scenarioIntestazioneIgnota /^\\s*\\[[^,]*\\]\\s*$/\n"
           "syntax match scenarioIntestazione /\\c^\\s*\\[\\%(" + note + "\\)\\]\\s*$/\n" +
           parole +
           "syntax match scenarioCommento /^\\s*[^,]*-.*$/\n"
           "\n"
           "highlight default link scenarioNumero Number\n"
           "highlight default link scenarioNome String\n"
           "highlight default link scenarioSeparatore Delimiter\n"
           "highlight default link scenarioIntestazione Title\n"
           "highlight default link scenarioParola Keyword\n"
           "highlight default link scenarioCommento Comment\n"
           "\n"
           "let b:current_syntax = '" + std::string(l.vim) + "'\n";
}

// ---- Notepad++: user-defined languages ----------------------------------
//
// UDL matches words, not fields: every text an entry's field must contain is
// a keyword in prefix mode ("curva" colours "curvad4", "velocit" colours
// "velocita"), matched with case as written, since the case-sensitive
// entries of the readers ("progressiva", "sfondo") would otherwise be shown
// in capitals the reader does not take. A comment is a row that starts with "-".

std::string xml_testo(std::string_view t) {
    std::string r;
    for (const char c : t) {
        if (c == '&') r += "&amp;";
        else if (c == '<') r += "&lt;";
        else if (c == '>') r += "&gt;";
        else if (c == '"') r += "&quot;";
        else r += c;
    }
    return r;
}

std::vector<std::string_view> parole_udl(const lingua& l) {
    std::vector<std::string_view> r;
    for (const auto& v : l.voci)
        for (const auto t : {v.prima, v.seconda})
            if (!t.empty() && std::find(r.begin(), r.end(), t) == r.end()) r.push_back(t);
    return r;
}

std::string udl_lingua(const lingua& l) {
    std::string parole;
    for (const auto t : parole_udl(l)) parole += std::string(parole.empty() ? "" : " ") + xml_testo(t);
    // Named as the Vim file types: short, and usable as a key in the LSP
    // plugin's configuration.
    std::string s = "    <UserLang name=\"" + xml_testo(l.vim) + "\" ext=\"\" udlVersion=\"2.1\">\n";
    s += "        <Settings>\n"
         "            <Global caseIgnored=\"no\" allowFoldOfComments=\"no\" foldCompact=\"no\" forcePureLC=\"2\" "
         "decimalSeparator=\"0\" />\n"
         "            <Prefix Keywords1=\"yes\" Keywords2=\"no\" Keywords3=\"no\" Keywords4=\"no\" Keywords5=\"no\" "
         "Keywords6=\"no\" Keywords7=\"no\" Keywords8=\"no\" />\n"
         "        </Settings>\n"
         "        <KeywordLists>\n"
         "            <Keywords name=\"Comments\">00- 01 02((EOL)) 03 04</Keywords>\n";
    for (const auto* n : {"Numbers, prefix1", "Numbers, prefix2", "Numbers, extras1", "Numbers, extras2",
                          "Numbers, suffix1", "Numbers, suffix2", "Numbers, range"})
        s += std::string("            <Keywords name=\"") + n + "\"></Keywords>\n";
    s += "            <Keywords name=\"Operators1\">,</Keywords>\n"
         "            <Keywords name=\"Operators2\"></Keywords>\n";
    for (const auto* n : {"Folders in code1, open", "Folders in code1, middle", "Folders in code1, close",
                          "Folders in code2, open", "Folders in code2, middle", "Folders in code2, close",
                          "Folders in comment, open", "Folders in comment, middle", "Folders in comment, close"})
        s += std::string("            <Keywords name=\"") + n + "\"></Keywords>\n";
    s += "            <Keywords name=\"Keywords1\">" + parole + "</Keywords>\n";
    for (int k = 2; k <= 8; ++k) s += "            <Keywords name=\"Keywords" + std::to_string(k) + "\"></Keywords>\n";
    // Headers are the first delimiter, from "[" to "]".
    std::string delimitatori = "00[ 01 02]";
    for (int k = 3; k < 24; ++k) delimitatori += (k < 10 ? " 0" : " ") + std::to_string(k);
    s += "            <Keywords name=\"Delimiters\">" + delimitatori + "</Keywords>\n"
         "        </KeywordLists>\n"
         "        <Styles>\n";
    struct stile {
        std::string nome;
        std::string_view colore;
        int carattere;  // 1 bold, 2 italic
    };
    std::vector<stile> stili = {{"DEFAULT", "000000", 0}, {"COMMENTS", "008000", 2}, {"LINE COMMENTS", "008000", 2},
                                {"NUMBERS", "FF8000", 0}, {"KEYWORDS1", "0000FF", 1}};
    for (int k = 2; k <= 8; ++k) stili.push_back({"KEYWORDS" + std::to_string(k), "000000", 0});
    stili.push_back({"OPERATORS", "808080", 0});
    for (const auto* n : {"FOLDER IN CODE1", "FOLDER IN CODE2", "FOLDER IN COMMENT"}) stili.push_back({n, "000000", 0});
    stili.push_back({"DELIMITERS1", "800080", 1});
    for (int k = 2; k <= 8; ++k) stili.push_back({"DELIMITERS" + std::to_string(k), "000000", 0});
    for (const auto& st : stili)
        s += "            <WordsStyle name=\"" + st.nome + "\" fgColor=\"" + std::string(st.colore) +
             "\" bgColor=\"FFFFFF\" colorStyle=\"1\" fontName=\"\" fontStyle=\"" + std::to_string(st.carattere) +
             "\" nesting=\"0\" />\n";
    s += "        </Styles>\n"
         "    </UserLang>\n";
    return s;
}

std::string udl(const std::vector<lingua>& ls) {
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
        "<!-- Notepad++ user-defined languages for the scenario's line description and train file.\n"
        "     Written by genera_editori from the readers' keyword tables: edit the generator, not this file. -->\n"
        "<NotepadPlus>\n";
    for (const auto& l : ls) s += udl_lingua(l);
    return s + "</NotepadPlus>\n";
}

std::vector<std::pair<fs::path, std::string>> file_generati() {
    const auto ls = lingue();
    std::vector<std::pair<fs::path, std::string>> r;
    for (const auto& l : ls) {
        r.push_back({fs::path("vscode") / "syntaxes" / (std::string(l.id) + ".tmLanguage.json"), textmate(l)});
        r.push_back({fs::path("vim") / "syntax" / (std::string(l.vim) + ".vim"), vim(l)});
    }
    r.push_back({fs::path("notepad++") / "scenario.udl.xml", udl(ls)});
    return r;
}

int uso() {
    std::cerr << "usage: genera_editori DIR | --verifica DIR | --parole\n";
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> argomenti(argv + 1, argv + argc);
    if (argomenti.size() == 1 && argomenti[0] == "--parole") {
        for (const auto& l : lingue())
            for (const auto& v : l.voci)
                std::cout << (l.file == riferimento::file_testo::linea ? "linea" : "treno") << ' '
                          << (v.ignora_maiuscole ? "i" : "c") << ' ' << v.prima
                          << (v.seconda.empty() ? "" : " ") << v.seconda << "\n";
        return 0;
    }
    const bool verifica = argomenti.size() == 2 && argomenti[0] == "--verifica";
    if (!verifica && argomenti.size() != 1) return uso();
    const fs::path cartella(argomenti.back());
    int diversi = 0;
    for (const auto& [nome, testo] : file_generati()) {
        const fs::path destinazione = cartella / nome;
        if (verifica) {
            std::string presente;
            try {
                presente = piattaforma::leggi_binario(destinazione);
            } catch (const std::exception&) {
            }
            if (presente != testo) {
                std::cerr << destinazione.string() << " differs from the keyword tables: run make editors\n";
                ++diversi;
            }
            continue;
        }
        fs::create_directories(destinazione.parent_path());
        piattaforma::scrivi_file_atomico(destinazione, testo);
    }
    return diversi == 0 ? 0 : 1;
}
