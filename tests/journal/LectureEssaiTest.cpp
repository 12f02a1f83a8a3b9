// The reading of saved runs: the program's own files and the text other
// tools write, and the refusals with their messages.
#include "card/sorties/ExempleMesures.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Cinetique::LireEssai;
using Cinetique::Point;

struct Format {
    const char* nom;
    std::string octets;
};

// The same three points, t = 0, 1, 2,5 s and p = 101 300, 101 500, 102 000 Pa,
// as each accepted format writes them.
const Format kFormats[] = {
    {"the program's save (layout 0: Windows-1252, CR, TAB, decimal comma, 4 digits, CR LF at the end)",
     "Date, en s\tTension sur la voie 1, en V\r0\t1,013E5\r1\t1,015E5\r2,5\t1,02E5\r\r\n"},
    {"the program's three-column layout (time, pressure, extent)",
     "Date, en s\tTension sur la voie 1, en V\tTension sur la voie 2, en V\r0\t1,013E5\t0\r1\t1,015E5\t8,2E-5\r"
     "2,5\t1,02E5\t2,9E-4\r"},
    {"semicolons, decimal point, header, LF", "temps (s);pression (Pa)\n0;101300\n1;101500\n2.5;102000\n"},
    {"commas, decimal point, no header, CRLF", "0,101300\r\n1,101500.0\r\n2.5,1.02e5\r\n"},
    {"commas, decimal comma in quotes, header", "\"t\",\"p\"\n\"0\",\"101300\"\n\"1\",\"101500\"\n\"2,5\",\"102000\"\n"},
    {"TAB, decimal comma, UTF-8 with its mark, no header", "\xEF\xBB\xBF" "0\t101300\n1\t101500\n2,5\t102000"},
    {"semicolons, decimal comma, Windows-1252 header, CR", "Dur\xE9\x65;Pression\r0;101300\r1;101500\r2,5;102000\r"},
    {"spaces around fields, extra columns, blank and empty lines, two header lines",
     "t;p;x\ns;Pa;mol\n\n 0 ; 101300 ;0\n;;\n1;101500;1\r\n\n2,5 ;102000;\n\n"},
};

void PrintTo(const Format& format, std::ostream* os)
{
    *os << format.nom;
}

class FormatAccepte : public testing::TestWithParam<Format> {};

TEST_P(FormatAccepte, gives_the_times_and_pressures_of_its_first_two_columns)
{
    const std::vector<Point> points = LireEssai(GetParam().octets);
    ASSERT_EQ(points.size(), 3u);
    const double t[] = {0, 1, 2.5};
    const double p[] = {101300, 101500, 102000};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(points[i].t, t[i]) << i;
        EXPECT_EQ(points[i].p, p[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(LectureEssai, FormatAccepte, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& info) { return "format" + std::to_string(info.index); });

TEST(LectureEssai, reads_the_example_run_the_program_ships_whole)
{
    const std::vector<Point> points = LireEssai(ExempleMesures::Contenu());
    ASSERT_EQ(points.size(), 300u);
    EXPECT_EQ(points[0].t, 0);
    EXPECT_EQ(points[0].p, 101300);
    EXPECT_EQ(points[4].t, 4.001);
    EXPECT_EQ(points[299].t, 299);
    EXPECT_EQ(points[299].p, 128800);
}

TEST(LectureEssai, reads_both_decimal_separators_whatever_the_process_separator)
{
    const char avant = DecimalSeparator();
    for (const char separateur : {',', '.'}) {
        SetDecimalSeparator(separateur);
        EXPECT_EQ(LireEssai("0;1,5\n2;3,25\n")[1].p, 3.25) << separateur;
        EXPECT_EQ(LireEssai("0;1.5\n2;3.25\n")[1].p, 3.25) << separateur;
        EXPECT_EQ(Cinetique::LireNombreVirguleOuPoint("0.25"), 0.25) << separateur;
        EXPECT_EQ(Cinetique::LireNombreVirguleOuPoint(" 0,25"), 0.25) << separateur;
    }
    SetDecimalSeparator(avant);
    EXPECT_THROW(Cinetique::LireNombreVirguleOuPoint("1,000.5"), EConvertError);
    EXPECT_THROW(Cinetique::LireNombreVirguleOuPoint("1E400"), EConvertError);
}

TEST(LectureEssai, keeps_times_as_read_in_their_order_for_the_analysis_to_judge)
{
    const std::vector<Point> points = LireEssai("0;1\n5;2\n5;3\n-1;4\n");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[3].t, -1);
}

const std::string kDeux = "il en faut deux, le temps (s) puis la pression (Pa).";
const std::string kVirgules = "virgules ambiguës : les colonnes sont séparées par des virgules et les nombres "
                              "semblent écrits avec une virgule décimale. Séparez les colonnes par des "
                              "tabulations ou des points-virgules, ou mettez les nombres entre guillemets.";

TEST(LectureEssai, refuses_what_is_not_a_run_with_a_message_saying_why)
{
    const std::pair<std::string, std::string> cas[] = {
        {"", "Le fichier est vide."},
        {"\xEF\xBB\xBF\r\n \n;;\n", "Le fichier est vide."},
        {"temps;pression\nabc;def\n", "Le fichier ne contient aucune ligne de nombres : " + kDeux},
        {"t\n0\n1\n", "Ligne 2 : une seule colonne ; " + kDeux},
        {"t;p\n0;101300\n\n1;1O1500\n", "Ligne 4 : « 1O1500 » n'est pas un nombre."},
        {"0;1E400\n", "Ligne 1 : « 1E400 » est un nombre trop grand."},
        {"0;1\n-1E400;2\n", "Ligne 2 : « -1E400 » est un nombre trop grand."},
        {"0\t1\n1\t-2,5E308\n", "Ligne 2 : « -2,5E308 » est un nombre trop grand."},
        {"0;1\n1;INF\n", "Ligne 2 : « INF » n'est pas un nombre."},
        {"0\t1,5\n1\t2.5\n",
         "Les nombres du fichier sont écrits avec des virgules et avec des points : le séparateur décimal est ambigu."},
        {"0,101300\n1,5,101500\n", "Ligne 2 : " + kVirgules},
        {"t,p\n0,5,1,013E5\n", "Ligne 2 : " + kVirgules},
        {"0,5,1,013E5\n1,5,1,015E5\n", "Ligne 1 : " + kVirgules},
        // Every line cut alike at its decimal commas: "05" and "075" are the marks.
        {"1,25,101300\n2,05,101500\n3,075,101700\n", "Ligne 2 : " + kVirgules},
        // Every line alike but one field more than the column names.
        {"t,p\n0,5,101300\n1,5,101500\n", "Ligne 2 : " + kVirgules},
        {"Date, en s\tTension sur la voie 2, en V\r0\t0\r1\t1E-5\r",
         "Ce tableau du programme contient l'avancement en mol, pas la pression : "
         "enregistrez ou copiez la pression en Pa."},
        {"Fr\xE9quence en Hz\tModule de la FFT\r0\t1,013\r0\t1,015\r",
         "Ce tableau du programme n'a pas de temps en première colonne (« Fréquence en Hz ») : "
         "enregistrez ou copiez la pression en Pa."},
        {std::string("\xFF\xFE" "0\0;\0" "1\0", 8),
         "Le fichier est codé en UTF-16 : enregistrez-le en UTF-8 ou en Windows-1252."},
    };
    for (const auto& [octets, message] : cas) {
        try {
            LireEssai(octets);
            ADD_FAILURE() << "accepted: " << octets;
        } catch (const EEssaiIllisible& e) {
            EXPECT_EQ(e.Message(), message) << octets;
        }
    }
}

} // namespace

TEST(LectureJournal, gives_the_real_times_the_tick_times_and_the_conditions_and_passes_over_a_cut_last_line)
{
    const std::string journal =
        "# format : journal d'essai nelvar 1\n# début : 2026-12-07 14:03:52 +0100\n# source : carte simulée\n"
        "# poste : SALLE2-PC07\n# volume (L) : 0.25\n# température (°C) : 21.5\n# coefficient (Pa/V) : 100000\n# p et - p : oui\n"
        "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\ttension voie 1 (V)\t"
        "tension voie 2 (V)\n"
        "0\t0\t101325.00000000001\t0\t1.01325\t-1.01325\n"
        "1.00013\t1.0002\t101400\t7.7e-06\t1.014\t-1.014\n"
        "2.00026\t5.1\t101500\t1.8e-05\t1.015\t-1.015\n"
        "3.00039\t6.1\t1016"; // the reading in progress when the program was killed
    const Cinetique::Enregistrement e = Cinetique::LireEnregistrement(journal);
    EXPECT_TRUE(e.journal);
    const Point points[] = {{0, 101325.00000000001}, {1.0002, 101400}, {5.1, 101500}};
    ASSERT_EQ(e.points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(e.points[i].t, points[i].t) << i;
        EXPECT_EQ(e.points[i].p, points[i].p) << i;
    }
    EXPECT_EQ(e.tempsTicks, (std::vector<double>{0, 1.00013, 2.00026}));
    EXPECT_EQ(e.conditions.volume, 0.25);
    EXPECT_EQ(e.conditions.temperature, 21.5);
    EXPECT_EQ(e.conditions.coefficient, 100000);
    EXPECT_EQ(e.conditions.source, "carte simulée");
    EXPECT_EQ(e.conditions.poste, "SALLE2-PC07");
    EXPECT_TRUE(e.conditions.pEtMoinsP);
    EXPECT_EQ(e.conditions.debut, std::chrono::system_clock::from_time_t(1796648632));
}

TEST(LectureJournal, refuses_a_number_out_of_range_in_any_column_and_any_header_value)
{
    const std::string entete = "# format : journal d'essai nelvar 1\n# début : 2026-12-07 14:03:52 +0100\n"
                               "# source : carte simulée\n# volume (L) : 0.25\n# température (°C) : 20\n"
                               "# coefficient (Pa/V) : 100000\n# p et - p : non\n";
    const std::string colonnes = "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\t"
                                 "tension voie 1 (V)\ttension voie 2 (V)\n";
    const std::string lecture = "0\t0\t101325\t0\t1.01325\t0\n";
    const std::string trop = " est un nombre trop grand.";
    // The reading's six columns in turn, on its second line (line 10).
    for (int colonne = 0; colonne < 6; ++colonne) {
        std::string ligne;
        for (int c = 0; c < 6; ++c)
            ligne += (c ? "\t" : "") + std::string(c == colonne ? "-1e400" : "1");
        try {
            Cinetique::LireEnregistrement(entete + colonnes + lecture + ligne + "\n");
            ADD_FAILURE() << "accepted column " << colonne;
        } catch (const EEssaiIllisible& e) {
            EXPECT_EQ(e.Message(), "Ligne 10 : « -1e400 »" + trop) << colonne;
        }
    }
    // The header's numbers: volume, temperature, coefficient (lines 4 to 6).
    for (const auto& [avant, apres, numero] : {std::tuple{"0.25\n", "1e999\n", 4}, {"20\n", "1e999\n", 5},
                                               {"100000\n", "1e999\n", 6}}) {
        std::string texte = entete;
        texte.replace(texte.find(std::string(" : ") + avant), std::string(avant).size() + 3,
                      std::string(" : ") + apres);
        try {
            Cinetique::LireEnregistrement(texte + colonnes + lecture);
            ADD_FAILURE() << "accepted header line " << numero;
        } catch (const EEssaiIllisible& e) {
            EXPECT_EQ(e.Message(), "Ligne " + std::to_string(numero) + " : « 1e999 »" + trop);
        }
    }
}

// A time column headed with its unit is read in that unit: the second row's
// date, 1.5 units after the first, in seconds.
TEST(LectureEssaiUnites, a_time_header_names_the_unit_its_dates_are_read_in)
{
    const std::pair<const char*, double> cas[] = {
        {"t (s)", 1.5},     {"t (ms)", 0.0015}, {"t (min)", 90},
        {"temps [h]", 5400}, {"t (j)", 129600}, {"t (d)", 129600},
    };
    for (const auto& [entete, secondes] : cas) {
        const std::vector<Point> points = LireEssai(std::string(entete) + ";p (Pa)\n0;100000\n1,5;100500\n");
        ASSERT_EQ(points.size(), 2u) << entete;
        EXPECT_DOUBLE_EQ(points[1].t - points[0].t, secondes) << entete;
    }
}
