// The card component in front of a source that is not the card: one that
// only reads, says its rates and describes itself. The component's status
// follows what the source says; nothing of the card (port map, 8255) is
// asked of it.
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A source played by the test: the rate it announces, then either the
// reading or the failure it gives.
class SourceJouee final : public LecteurTensions {
public:
    Cadence cadence;
    Issue<LectureTensions> reponse = LectureTensions{};
    std::vector<std::pair<std::int32_t, double>> demandes; // (n, f) of each reading asked

    Issue<LectureTensions> Lire(std::int32_t nombre, double frequence) override
    {
        demandes.emplace_back(nombre, frequence);
        return reponse;
    }
    Cadence CadencePour(double) const override { return cadence; }
    std::string Description() const override { return "source de test"; }
};

struct EtatUnite {
    EtatUnite() { UDravoC::ReinitialiserEtatUnite(); }
    ~EtatUnite() { UDravoC::ReinitialiserEtatUnite(); }
};

TEST(SourceQuelconque, the_status_the_rate_and_the_voltages_follow_what_the_source_says)
{
    struct Cas {
        const char* nom;
        Cadence cadence;
        Issue<LectureTensions> reponse;
        std::vector<std::int32_t> codes; // what OnUsing was told
        std::string message;             // left in MessageErreur
        double frequence;                // left in Frequence
        double duree;                    // left in Duree
        double tension1;                 // left in TensionVoie1 (−1: unchanged)
    };
    const Cas cas[] = {
        {"reading", {15701.668302257114, true}, LectureTensions{15701.668302257114, 1.25, -1.25}, {0}, "",
         15701.668302257114, 314 / 15701.668302257114, 1.25},
        {"rate refused", {20000, false}, LectureTensions{19999, 0.5, 0}, {0, 5}, "Fréquence incorrecte", 19999,
         314 / 19999.0, 0.5},
        {"failure", {100, true}, Echec{"Le boîtier de mesure ne répond plus.", 7}, {0, 7},
         "Le boîtier de mesure ne répond plus.", 100, 3.14, -1},
        {"slow rate, then failure", {5, true}, Echec{"panne", 9}, {0, 4, 9}, "panne", 5, 62.8, -1},
    };
    for (const Cas& c : cas) {
        const EtatUnite etat;
        SourceJouee source;
        source.cadence = c.cadence;
        source.reponse = c.reponse;
        TDravoC carte(source);
        carte.TensionVoie1 = -1;
        std::vector<std::int32_t> codes;
        carte.OnUsing = [&codes](TDravoC& emetteur) { codes.push_back(emetteur.CodeErreur); };

        if (c.reponse) {
            carte.MesurerTensions(314, 15700);
        } else {
            try {
                carte.MesurerTensions(314, 15700);
                ADD_FAILURE() << c.nom << ": no exception";
            } catch (const ELectureImpossible& echec) {
                EXPECT_EQ(std::string(echec.what()), c.message) << c.nom;
            }
        }

        EXPECT_EQ(codes, c.codes) << c.nom;
        EXPECT_EQ(carte.MessageErreur, c.message) << c.nom;
        EXPECT_DOUBLE_EQ(carte.Frequence, c.frequence) << c.nom;
        EXPECT_DOUBLE_EQ(carte.Duree, c.duree) << c.nom;
        EXPECT_EQ(carte.TensionVoie1, c.tension1) << c.nom;
        EXPECT_EQ(carte.NombreDePointsDeMesure, 314) << c.nom;
        EXPECT_EQ(source.demandes, (std::vector<std::pair<std::int32_t, double>>{{314, 15700}})) << c.nom;
    }
}

} // namespace
