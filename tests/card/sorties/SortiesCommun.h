#pragma once
// What the output tests share: a card that is never read, a desktop that
// records the clipboard and answers the save dialog, a fresh program state
// with its own temporary working folder, and the worked example's table.
#include "card/UDravoC.h"
#include "tests/acquisition/support/EmptyBus.h"
#include "tests/support/SharedTempDir.h"
#include "runtime/Exceptions.h"
#include "runtime/Platform.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <stdlib.h>

// The desktop as the tests see it: the texts placed on the clipboard, the
// requests made to the save dialog, the questions before replacing a file,
// and the user's answers.
class FauxBureau final : public Platform {
public:
    std::vector<std::string> textesPlaces;
    bool pressePapiersRefuse = false;
    std::vector<SaveDialogRequest> demandes;
    std::deque<std::optional<std::string>> nomsTapesAvant; // the first dialogs' answers, in order
    std::optional<std::string> nomTape;                    // then this one; nothing: the user cancels
    std::vector<std::string> questions;                    // the files the user was asked to replace
    std::deque<bool> reponses;                             // the answers, in order; past them "Oui"

    void PlaceOnClipboard(const std::string& textUtf8) override
    {
        if (pressePapiersRefuse)
            throw EClipboardException();
        textesPlaces.push_back(textUtf8);
    }

    // As Qt's file dialog answers: a name typed without folder is in the
    // folder shown, and the default suffix is added when the name typed has
    // no "." at all.
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest& request) override
    {
        demandes.push_back(request);
        std::optional<std::string> tape = nomTape;
        if (!nomsTapesAvant.empty()) {
            tape = nomsTapesAvant.front();
            nomsTapesAvant.pop_front();
        }
        if (!tape)
            return std::nullopt;
        std::string nom = *tape;
        if (nom.empty() || nom.front() != '/')
            nom = request.initialFolder + "/" + nom;
        const std::string base = nom.substr(nom.rfind('/') + 1);
        if (!request.defaultSuffix.empty() && base.find('.') == std::string::npos)
            nom += "." + request.defaultSuffix;
        return nom;
    }

    bool ConfirmReplace(const std::string& fileName) override
    {
        questions.push_back(fileName);
        if (reponses.empty())
            return true;
        const bool oui = reponses.front();
        reponses.pop_front();
        return oui;
    }

    bool OpenAddress(const std::string&) override { return false; }
};

// The text of the worked example: five points, layout 0, separator comma.
inline const std::string kTexteExemple = "Date, en s\tTension sur la voie 1, en V\r"
                                         "0\t1,013E5\r"
                                         "1\t1,014E5\r"
                                         "2\t1,015E5\r"
                                         "3\t1,017E5\r"
                                         "4,001\t1,018E5\r";
inline constexpr std::uint16_t kPointsExemple = 5;
inline constexpr double kPeriode = 1.00013; // s between two points of a run

// The text of a table before any run: the header and one row 0, 0.
inline const std::string kTexteAvantMesure = "Date, en s\tTension sur la voie 1, en V\r0\t0\r";

inline std::string LireFichier(const std::string& nom)
{
    std::ifstream flux(nom, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(flux), std::istreambuf_iterator<char>());
}

inline void EcrireFichier(const std::string& nom, const std::string& contenu)
{
    std::ofstream(nom, std::ios::binary) << contenu;
}

// The names in a folder (empty when it does not exist).
inline std::set<std::string> Contenu(const std::string& dossier)
{
    std::set<std::string> noms;
    std::error_code erreur;
    for (const auto& entree : std::filesystem::directory_iterator(dossier, erreur))
        noms.insert(entree.path().filename().string());
    return noms;
}

// Each test starts as a fresh program start whose working folder is a new,
// empty temporary folder; the commands' preparation (Frequence = 1 / Periode)
// is done.
class SortiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UDravoC::ReinitialiserEtatUnite();
        std::string modele = (SharedTempDir() / "nelvar-sorties-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modele.data()), nullptr);
        racine_ = modele;
        P = std::make_unique<TDravoC>(ports_, &bureau_);
        UDravoC::RepertoireCourant = racine_ + "/";
        P->Frequence = 1 / kPeriode;
    }

    void TearDown() override
    {
        P.reset();
        std::error_code erreur;
        std::filesystem::remove_all(racine_, erreur);
        UDravoC::ReinitialiserEtatUnite();
    }

    void RemplirExemple()
    {
        const long double pressions[] = {101325, 101402, 101523, 101671, 101788};
        for (std::size_t i = 0; i < std::size(pressions); ++i)
            P->MesuresVoie1[i] = pressions[i];
    }

    std::string Valeurs() const { return racine_ + "/Valeurs"; }
    std::string Numerote(int numero) const { return Valeurs() + "/Mesures" + std::to_string(numero) + ".txt"; }

    EmptyBus ports_;
    FauxBureau bureau_;
    std::string racine_;
    std::unique_ptr<TDravoC> P;
};
