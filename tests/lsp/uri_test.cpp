// file:// URIs as editors write them on both systems, and back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "lsp/uri.h"

namespace {

using lsp::stile_percorso;

TEST(Uri, DaUriAPercorso) {
    struct caso {
        const char* uri;
        stile_percorso stile;
        std::optional<std::string> percorso;
    };
    const caso casi[] = {
        {"file:///home/ada/Lago_linea.txt", stile_percorso::posix, "/home/ada/Lago_linea.txt"},
        {"file:///home/ada/linee%20nuove/Citt%C3%A0_linea.txt", stile_percorso::posix,
         "/home/ada/linee nuove/Città_linea.txt"},
        {"FILE:///tmp/x", stile_percorso::posix, "/tmp/x"},
        {"file://localhost/tmp/x", stile_percorso::posix, "/tmp/x"},
        {"file:///C:/Linee/Lago_linea.txt", stile_percorso::windows, "C:/Linee/Lago_linea.txt"},
        {"file:///c%3A/Linee/Lago_linea.txt", stile_percorso::windows, "c:/Linee/Lago_linea.txt"},
        {"file://server/condivisa/Lago_linea.txt", stile_percorso::windows, "//server/condivisa/Lago_linea.txt"},
        {"file:///tmp/a%2", stile_percorso::posix, std::nullopt},
        {"file:///tmp/a%zz", stile_percorso::posix, std::nullopt},
        {"untitled:Untitled-1", stile_percorso::posix, std::nullopt},
        {"file://", stile_percorso::posix, std::nullopt},
    };
    for (const auto& c : casi) EXPECT_EQ(lsp::percorso_da_uri(c.uri, c.stile), c.percorso) << c.uri;
}

TEST(Uri, DaPercorsoAUriEIndietro) {
    struct caso {
        const char* percorso;
        stile_percorso stile;
        const char* uri;
    };
    const caso casi[] = {
        {"/home/ada/linee nuove/Città_linea.txt", stile_percorso::posix,
         "file:///home/ada/linee%20nuove/Citt%C3%A0_linea.txt"},
        {"/a/100%#?.txt", stile_percorso::posix, "file:///a/100%25%23%3F.txt"},
        {"C:\\Linee\\Lago_linea.txt", stile_percorso::windows, "file:///C:/Linee/Lago_linea.txt"},
        {"\\\\server\\condivisa\\x.txt", stile_percorso::windows, "file://server/condivisa/x.txt"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(lsp::uri_da_percorso(c.percorso, c.stile), c.uri) << c.percorso;
        std::string atteso = c.percorso;
        if (c.stile == stile_percorso::windows)
            for (auto& x : atteso)
                if (x == '\\') x = '/';
        EXPECT_EQ(lsp::percorso_da_uri(c.uri, c.stile), atteso) << c.uri;
    }
}

TEST(Uri, IlFileAccantoTieneLaCartellaComeLEditorLaScrive) {
    EXPECT_EQ(lsp::uri_accanto("file:///c%3A/Linee/Lago_3-.txt", "Lago_linea.txt"),
              "file:///c%3A/Linee/Lago_linea.txt");
    EXPECT_EQ(lsp::uri_accanto("file:///a/Città_3-.txt", "Città linea.txt"), "file:///a/Citt%C3%A0%20linea.txt");
    EXPECT_EQ(lsp::nome_da_uri("file:///a/Citt%C3%A0_linea.txt"), "Città_linea.txt");
}

}  // namespace
