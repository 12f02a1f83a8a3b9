// nelvar --analyse as a user runs it: the built program, started with no
// display, no Qt platform and no regional setting, on files written in a
// temporary folder.
//
// The reference run: p = 100 000 + 3 000·(1 − exp(−0,04·t)) Pa plus a fixed
// Gaussian noise (σ = 15 Pa), rounded to the pascal, one point every 5 s from
// 0 to 120 s. Its rows were computed once with SciPy's curve_fit (analytic
// Jacobian, tolerances 1E-15, covariance scaled by SSR/(n − parameters)) and
// rounded to 6 significant digits; u(x finale) = √(u(p finale)² + s²)·V/(R·T)
// with s = 12,3308 Pa (the measured p0's noise), and with --origine the held
// first point is not one of the points fitted (24 points, 22 degrees of
// freedom).
#include "analyse/TexteResultat.h"
#include "commande/LigneCommande.h"
#include "kinetics/AnalyseCinetique.h"
#include "tests/support/Contenu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const kReference =
    "t (s);p (Pa)\n0;100012\n5;100564\n10;100978\n15;101341\n20;101658\n25;101922\n30;102103\n35;102243\n"
    "40;102383\n45;102504\n50;102608\n55;102668\n60;102723\n65;102774\n70;102820\n75;102840\n80;102878\n"
    "85;102904\n90;102943\n95;102932\n100;102960\n105;102940\n110;102976\n115;102973\n120;102968\n";

const std::string kEntete = "fichier\tpoints\tdebut (s)\tfin (s)\tk (s-1)\tu(k) (s-1)\tt1/2 (s)\tu(t1/2) (s)\t"
                            "t1/2 graphique (s)\tp initiale (Pa)\tp finale (Pa)\tu(p finale) (Pa)\tx finale (mol)\t"
                            "u(x finale) (mol)\tR2\tremarque\n";

struct Execution {
    int code = -1;
    std::string sortie;
    std::string erreurs;
};

std::string Guillemets(const std::string& texte)
{
    std::string resultat = "'";
    for (char c : texte)
        resultat += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return resultat + "'";
}

class LigneCommande : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-ligne-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        dossier_ = modele;
        essai_ = Ecrire("essai.csv", kReference);
    }
    void TearDown() override { std::system(("rm -rf " + Guillemets(dossier_)).c_str()); }

    std::string Ecrire(const std::string& nom, const std::string& octets)
    {
        std::ofstream(dossier_ + "/" + nom, std::ios::binary) << octets;
        return dossier_ + "/" + nom;
    }

    // The environment keeps only PATH and the sanitizers' options; the
    // standard output goes to `sortie`, by default a file read back.
    Execution Lancer(const std::vector<std::string>& arguments, std::string sortie = "")
    {
        if (sortie.empty())
            sortie = dossier_ + "/sortie";
        std::string commande = "env -i PATH=/usr/bin:/bin";
        for (char** variable = environ; *variable != nullptr; ++variable)
            for (const char* prefixe : {"ASAN_", "UBSAN_", "LSAN_"})
                if (std::string(*variable).starts_with(prefixe))
                    commande += " " + Guillemets(*variable);
        commande += " " + Guillemets(NELVAR_PROGRAMME);
        for (const std::string& argument : arguments)
            commande += " " + Guillemets(argument);
        commande += " </dev/null >" + Guillemets(sortie) + " 2>" + Guillemets(dossier_ + "/erreurs");
        const int etat = std::system(commande.c_str());
        return {WIFEXITED(etat) ? WEXITSTATUS(etat) : -1, Contenu(dossier_ + "/sortie"),
                Contenu(dossier_ + "/erreurs")};
    }

    std::string dossier_;
    std::string essai_;
};

// A command line as it was read, in words: its mode, the options given and
// the files, or the refusal's message.
std::string Lu(const std::vector<std::string>& arguments)
{
    const Issue<Cinetique::Commande> lue = Cinetique::LireLigneDeCommande(arguments);
    if (!lue)
        return "refus : " + lue.Message();
    const char* const modes[] = {"fenêtre", "aide", "analyse", "rapport", "classe"};
    std::ostringstream texte;
    texte << modes[static_cast<int>(lue->mode)];
    const Cinetique::Options& o = lue->options;
    for (const auto& [nom, valeur] : {std::pair{" volume=", o.volume}, {" temperature=", o.temperature},
                                      {" debut=", o.debut}, {" fin=", o.fin}})
        if (valeur)
            texte << nom << *valeur;
    if (o.origineFixee)
        texte << " origine";
    for (const double t : o.exclus)
        texte << " exclu=" << t;
    if (lue->pdf)
        texte << " pdf=" << *lue->pdf;
    for (const std::string& fichier : lue->fichiers)
        texte << " [" << fichier << "]";
    return texte.str();
}

TEST(LectureLigneDeCommande, every_option_takes_its_value_after_a_space_or_an_equals_sign)
{
    struct Cas {
        std::vector<std::string> mode;
        std::string option, valeur, lu, manquante;
    };
    const Cas cas[] = {
        {{"--analyse"}, "--volume", "0,25", "analyse volume=0.25 [e.txt]", "l'option --volume attend une valeur"},
        {{"--analyse"}, "--temperature", "-5", "analyse temperature=-5 [e.txt]",
         "l'option --temperature attend une valeur"},
        {{"--analyse"}, "--debut", "2.5", "analyse debut=2.5 [e.txt]", "l'option --debut attend une valeur"},
        {{"--analyse"}, "--fin", "100,5", "analyse fin=100.5 [e.txt]", "l'option --fin attend une valeur"},
        {{"--analyse"}, "--exclure", "25;50,5", "analyse exclu=25 exclu=50.5 [e.txt]",
         "l'option --exclure attend des dates, en s"},
        {{}, "--rapport", "cr.pdf", "rapport pdf=cr.pdf [e.txt]", "l'option --rapport attend le nom du fichier PDF"},
        {{"--classe"}, "--pdf", "SORTIE.pdf", "classe pdf=SORTIE.pdf [e.txt]",
         "l'option --pdf attend le nom du fichier PDF"},
    };
    for (const Cas& c : cas) {
        std::vector<std::string> espace = c.mode, egal = c.mode, manquante = c.mode;
        espace.insert(espace.end(), {c.option, c.valeur, "e.txt"});
        egal.insert(egal.end(), {c.option + "=" + c.valeur, "e.txt"});
        manquante.insert(manquante.end(), {"e.txt", c.option});
        EXPECT_EQ(Lu(espace), c.lu) << c.option;
        EXPECT_EQ(Lu(egal), c.lu) << c.option;
        EXPECT_EQ(Lu(manquante), "refus : " + c.manquante);
    }
}

TEST(LectureLigneDeCommande, one_mode_is_chosen_and_only_qt_options_reach_the_window)
{
    const std::pair<std::vector<std::string>, std::string> cas[] = {
        {{}, "fenêtre"},
        {{"-platform", "offscreen", "--style=fusion", "-reverse", "--qwindowgeometry", "640x480", "-sync"}, "fenêtre"},
        {{"--analyze", "e.txt"}, "refus : option inconnue « --analyze »"},
        {{"-platform", "offscreen", "--volume", "2"}, "refus : option inconnue « --volume »"},
        {{"--platform=offscreen", "-stile", "fusion"}, "refus : option inconnue « -stile »"},
        {{"e.txt", "--help", "--analyze"}, "aide"},
        {{"--analyse", "--origine", "--", "--fin", "-"}, "analyse origine [--fin] [-]"},
        {{"--analyse", "--origine=oui", "e.txt"}, "refus : l'option --origine ne prend pas de valeur"},
        {{"--analyse", "--rapport=cr.pdf", "--exclure=3", "e.txt"}, "rapport exclu=3 pdf=cr.pdf [e.txt]"},
        {{"--rapport", "cr.pdf", "--origine", "e.txt"}, "refus : l'option --origine ne s'applique pas au compte rendu"},
        {{"--rapport", "cr.pdf", "a.txt", "b.txt"}, "refus : le compte rendu se fait pour un seul fichier"},
        {{"--rapport=", "e.txt"}, "refus : l'option --rapport attend le nom du fichier PDF"},
        {{"--rapport", "cr.pdf"}, "refus : aucun fichier à analyser"},
        {{"--rapport", "cr.pdf", "--classe", "d"}, "refus : option inconnue avec --classe « --rapport »"},
        {{"--classe", "--pdf="}, "refus : l'option --pdf attend le nom du fichier PDF"},
        {{"--", "--analyse"}, "fenêtre"},
    };
    for (const auto& [arguments, lu] : cas)
        EXPECT_EQ(Lu(arguments), lu) << (arguments.empty() ? "" : arguments.front());
}

TEST_F(LigneCommande, writes_the_header_then_each_runs_results_in_the_program_number_format)
{
    const std::pair<std::vector<std::string>, std::string> cas[] = {
        // u(p∞) 4,88250 loses its trailing zero; u(x∞) is below 0,0001.
        {{"--analyse", "--volume", "0,25", "--temperature=20", essai_},
         "25\t0\t120\t0,0397391\t0,000290703\t17,4424\t0,127596\t17,6342\t100013\t103004\t4,8825\t0,000307062\t"
         "1,36107E-6\t0,999796\t"},
        // The curve held at the first point; no extent without V and T.
        {{"--analyse", "--origine", essai_},
         "24\t0\t120\t0,039749\t0,00022844\t17,4381\t0,100218\t17,6336\t100012\t103004\t4,66503\t\t\t0,999689\t"},
        // The interval's 17 points, values read with a point or a comma.
        {{"--analyse", "--debut=20.0", "--fin", "100,0", essai_},
         "17\t20\t100\t0,0384442\t0,000819968\t18,0299\t0,384556\t18,3658\t101668\t103016\t9,03929\t\t\t0,999284\t"},
    };
    for (const auto& [arguments, ligne] : cas) {
        const Execution e = Lancer(arguments);
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.erreurs, "");
        EXPECT_EQ(e.sortie, kEntete + essai_ + "\t" + ligne + "\n");
    }
    // A run cut before its plateau: the remark's sentence in the last field.
    const Execution e = Lancer({"--analyse", "--fin", "30", essai_});
    const std::string remarque = Cinetique::TexteRemarque({.genre = Cinetique::Remarque::PlateauNonAtteint}, ',');
    EXPECT_TRUE(e.sortie.ends_with("\t" + remarque + "\n")) << e.sortie;
}

TEST_F(LigneCommande, a_file_that_fails_gives_one_line_on_stderr_and_exit_code_2_while_the_others_print)
{
    const std::string absent = dossier_ + "/absent.txt";
    const std::string uneColonne = Ecrire("une colonne.txt", "0\n1\n2\n");
    const std::string troisPoints = Ecrire("court.txt", "0;100000\n1;100100\n2;100150\n");
    const Execution e = Lancer({"--analyse", absent, essai_, dossier_, uneColonne, troisPoints, essai_});
    EXPECT_EQ(e.code, 2);
    const std::string ligne = essai_ + "\t25\t0\t120\t0,0397391\t0,000290703\t17,4424\t0,127596\t17,6342\t100013\t"
                              "103004\t4,8825\t\t\t0,999796\t\n";
    EXPECT_EQ(e.sortie, kEntete + ligne + ligne);
    const std::string attendu = absent + " : Fichier introuvable.\n" + dossier_
                                + " : C'est un dossier, pas un fichier.\n" + uneColonne
                                + " : Ligne 1 : une seule colonne ; il en faut deux, le temps (s) puis la pression (Pa).\n"
                                + troisPoints + " : ";
    EXPECT_TRUE(e.erreurs.starts_with(attendu)) << e.erreurs;
    // The analysis's own refusal (too few points) on one line, the last one.
    EXPECT_GT(e.erreurs.size(), attendu.size() + 1);
    EXPECT_EQ(e.erreurs.find('\n', attendu.size()), e.erreurs.size() - 1) << e.erreurs;
}

TEST_F(LigneCommande, a_journal_is_analysed_on_its_real_times_with_its_own_volume_and_temperature)
{
    // The reference run as a journal: its real times are the reference's
    // times (5 s apart), its tick times 1 s apart, its V and T 0,25 L and
    // 20 °C.
    std::string journal = "# format : journal d'essai nelvar 1\n# début : 2026-12-07 14:03:52 +0100\n"
                          "# source : carte simulée\n# volume (L) : 0.25\n# température (°C) : 20\n"
                          "# coefficient (Pa/V) : 100000\n# p et - p : oui\n"
                          "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\t"
                          "tension voie 1 (V)\ttension voie 2 (V)\n";
    std::istringstream reference(kReference);
    std::string ligne;
    std::getline(reference, ligne); // its header
    for (int i = 0; std::getline(reference, ligne); ++i) {
        const std::string t = ligne.substr(0, ligne.find(';'));
        journal += std::to_string(i) + "\t" + t + "\t" + ligne.substr(ligne.find(';') + 1) + "\t0\t1\t-1\n";
    }
    const std::string chemin = Ecrire("essai_2026-12-07_14-03-52.txt", journal);
    const std::string resultats = "25\t0\t120\t0,0397391\t0,000290703\t17,4424\t0,127596\t17,6342\t100013\t"
                                  "103004\t4,8825\t0,000307062\t1,36107E-6\t0,999796\t\n";
    const Execution e = Lancer({"--analyse", chemin});
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.erreurs, "");
    EXPECT_EQ(e.sortie, kEntete + chemin + "\t" + resultats);
    // The options given still override the file's.
    const Execution autre = Lancer({"--analyse", "--temperature", "100", chemin});
    EXPECT_EQ(autre.code, 0);
    EXPECT_NE(autre.sortie, e.sortie);
    EXPECT_EQ(autre.sortie, Lancer({"--analyse", "--volume", "0,25", "--temperature", "100", essai_}).sortie
                                .replace(kEntete.size(), essai_.size(), chemin));
}

TEST_F(LigneCommande, help_is_written_in_french_and_a_wrong_command_line_exits_2_with_a_message)
{
    const std::pair<std::vector<std::string>, std::string> cas[] = {
        {{"--analyse"}, "aucun fichier à analyser"},
        {{"--analyse", "--vitesse", "2", essai_}, "option inconnue « --vitesse »"},
        {{"--analyse", essai_, "--fin"}, "l'option --fin attend une valeur"},
        {{"--analyse", "--volume", "0,2.5", essai_}, "--volume : « 0,2.5 » n'est pas un nombre"},
        {{"--analyse", "--exclure", "25,x", essai_}, "--exclure : « x » n'est pas un nombre"},
        {{"--analyse", essai_, "--exclure"}, "l'option --exclure attend des dates, en s"},
        // A mistyped mode is told, and the window (no display here) not opened.
        {{"--analyze", essai_}, "option inconnue « --analyze »"},
    };
    for (const auto& [arguments, message] : cas) {
        const Execution e = Lancer(arguments);
        EXPECT_EQ(e.code, 2);
        EXPECT_EQ(e.erreurs, "nelvar : " + message + " (voir nelvar --help).\n");
        EXPECT_EQ(e.sortie, "");
    }
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--help"}, {"--analyse", "--help"}}) {
        const Execution e = Lancer(arguments);
        EXPECT_EQ(e.code, 0);
        EXPECT_TRUE(e.sortie.starts_with("Utilisation : nelvar --analyse [options] FICHIER...\n")) << e.sortie;
        EXPECT_NE(e.sortie.find("  --origine           la courbe part du premier point"), std::string::npos);
        EXPECT_NE(e.sortie.find("  --exclure T1,T2...  exclut les points aux dates T1, T2... (en s)"),
                  std::string::npos);
        EXPECT_EQ(e.erreurs, "");
    }
}

TEST_F(LigneCommande, an_output_that_cannot_be_written_is_a_failure_whatever_was_asked)
{
    // A full disk behind the standard output: /dev/full refuses every write.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--analyse", essai_}, {"--analyse", "--fin", "60", essai_, essai_},
          {"--help"}, {"--analyse", "--help"}}) {
        const Execution e = Lancer(arguments, "/dev/full");
        EXPECT_EQ(e.code, 2) << arguments.back();
        EXPECT_EQ(e.erreurs, "nelvar : écriture impossible sur la sortie standard.\n") << arguments.back();
    }
}

TEST_F(LigneCommande, excluded_dates_give_the_fit_of_the_file_without_them_and_are_listed)
{
    std::string sans = kReference;
    for (const std::string ligne : {"25;101922\n", "50;102608\n"})
        sans.erase(sans.find(ligne), ligne.size());
    const std::string attendu = Lancer({"--analyse", Ecrire("sans.csv", sans)}).sortie;
    const std::string numeros = attendu.substr(attendu.rfind("sans.csv\t") + 9);
    for (const std::string exclure : {"--exclure=25,50", "--exclure=25;50,0"}) {
        const Execution e = Lancer({"--analyse", exclure, essai_});
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.sortie, kEntete + essai_ + "\t" + numeros.substr(0, numeros.size() - 1)
                                + "Points exclus à la demande : t = 25 s, 50 s.\n");
    }
}

// nelvar --classe on a class folder: the journal of a bench (the reference
// run, with its computer, V and T) and the reference run saved as text, the
// factor typed in classe.tsv; a note and a run still being written are left
// out and listed. The numbers are the reference's SciPy values above.
TEST_F(LigneCommande, the_class_synthesis_writes_one_row_a_run_lists_what_it_left_out_and_exits_0)
{
    const std::string classe = dossier_ + "/classe";
    ASSERT_EQ(::mkdir(classe.c_str(), 0755), 0);
    std::string journal = "# format : journal d'essai nelvar 1\n# début : 2026-12-07 14:03:52 +0100\n"
                          "# source : carte simulée\n# poste : SALLE2-PC07\n# volume (L) : 0.25\n"
                          "# température (°C) : 20\n# coefficient (Pa/V) : 100000\n# p et - p : oui\n"
                          "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\t"
                          "tension voie 1 (V)\ttension voie 2 (V)\n";
    std::istringstream reference(kReference);
    std::string ligne;
    std::getline(reference, ligne);
    for (int i = 0; std::getline(reference, ligne); ++i)
        journal += std::to_string(i) + "\t" + ligne.substr(0, ligne.find(';')) + "\t" + ligne.substr(ligne.find(';') + 1)
                   + "\t0\t1\t-1\n";
    const std::string bench = Ecrire("classe/essai_2026-12-07_14-03-52_SALLE2-PC07.txt", journal);
    const std::string texte = Ecrire("classe/essai.csv", kReference);
    const std::string notes = Ecrire("classe/notes.txt", "0\n1\n2\n");
    const std::string enCours = Ecrire("classe/.essai_2026-12-07_15-00-00_PC01.txt.tmp", journal.substr(0, 400));
    Ecrire("classe/classe.tsv", "fichier\tconcentration (mol/L)\nessai_2026-12-07_14-03-52_SALLE2-PC07.txt\t0,1\n");

    const std::string entete = "fichier\tposte\tdébut\ttempérature (°C)\tvolume (L)\tconcentration (mol/L)\tpoints\t"
                               "k (s-1)\tu(k) (s-1)\tt1/2 (s)\tu(t1/2) (s)\tx finale (mol)\tu(x finale) (mol)\tremarque\n";
    const std::string numeros = "25\t0,0397391\t0,000290703\t17,4424\t0,127596";
    const Execution e = Lancer({"--classe", classe});
    EXPECT_EQ(e.code, 0);
    // The start in local time (no zone given: UTC), without its offset.
    EXPECT_EQ(e.sortie, entete + bench + "\tSALLE2-PC07\t2026-12-07 13:03:52\t20\t0,25\t0,1\t" + numeros
                            + "\t0,000307062\t1,36107E-6\t\n" + texte + "\t\t\t\t\t\t" + numeros + "\t\t\t\n\n");
    EXPECT_EQ(e.erreurs, enCours + " : essai en cours d'écriture (fichier temporaire), ignoré.\n" + notes
                             + " : Ligne 1 : une seule colonne ; il en faut deux, le temps (s) puis la pression (Pa).\n");
    // A file given stays as given, and takes the factor of its folder's classe.tsv.
    EXPECT_EQ(Lancer({"--classe", texte}).sortie, entete + texte + "\t\t\t\t\t\t" + numeros + "\t\t\t\n\n");
    EXPECT_EQ(Lancer({"--classe", essai_}).sortie, "fichier\tposte\tdébut\ttempérature (°C)\tvolume (L)\tfacteur"
                                                   + entete.substr(entete.find("\tpoints")) + essai_ + "\t\t\t\t\t\t"
                                                   + numeros + "\t\t\t\n\n");
}

TEST_F(LigneCommande, the_class_synthesis_exits_2_when_no_run_was_read_or_the_command_line_is_wrong)
{
    const std::string vide = dossier_ + "/vide";
    ASSERT_EQ(::mkdir(vide.c_str(), 0755), 0);
    const std::string absent = dossier_ + "/absent";
    const std::string notes = Ecrire("notes.txt", "0\n1\n2\n");
    struct Cas {
        std::vector<std::string> arguments;
        std::string erreurs;
    };
    const Cas cas[] = {
        {{"--classe", vide}, "nelvar : aucun essai n'a pu être lu.\n"},
        {{"--classe", absent},
         absent + " : « " + absent + " » est introuvable : ni dossier ni fichier de ce nom.\nnelvar : aucun essai n'a pu être lu.\n"},
        {{"--classe", notes},
         notes + " : Ligne 1 : une seule colonne ; il en faut deux, le temps (s) puis la pression (Pa).\n"
                 "nelvar : aucun essai n'a pu être lu.\n"},
        {{"--classe"}, "nelvar : aucun dossier ni fichier pour la synthèse de la classe (voir nelvar --help).\n"},
        {{"--classe", "--volume", "2", vide}, "nelvar : option inconnue avec --classe « --volume » (voir nelvar --help).\n"},
        {{"--classe", vide, "--pdf"}, "nelvar : l'option --pdf attend le nom du fichier PDF (voir nelvar --help).\n"},
    };
    for (const Cas& c : cas) {
        const Execution e = Lancer(c.arguments);
        EXPECT_EQ(e.code, 2) << c.arguments.back();
        EXPECT_EQ(e.erreurs, c.erreurs);
    }
    // A folder with a run, but the standard output refuses every write.
    const Execution plein = Lancer({"--classe", essai_}, "/dev/full");
    EXPECT_EQ(plein.code, 2);
    EXPECT_EQ(plein.erreurs, "nelvar : écriture impossible sur la sortie standard.\n");
    const Execution aide = Lancer({"--classe", "--help"});
    EXPECT_EQ(aide.code, 0);
    EXPECT_NE(aide.sortie.find("nelvar --classe [--pdf SORTIE.pdf] DOSSIER|FICHIER...\n"), std::string::npos);
}

} // namespace
