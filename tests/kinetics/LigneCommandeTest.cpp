// nelvar --analyse as a user runs it: the built program, started with no
// display and no Qt platform set, on runs written in a temporary folder.
//
// The reference run: p = 100 000 + 3 000·(1 − exp(−0,04·t)) Pa plus a fixed
// Gaussian noise (σ = 15 Pa), one point every 5 s from 0 to 120 s. Its
// reference results were computed once with SciPy's curve_fit (trust-region
// least squares, tolerances 1E-15, covariance scaled by SSR/(n − p)) on the
// same model, and are kept here rounded to 6 significant digits, as the
// program writes them (decimal comma without regional setting).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const kReference =
    "t (s);p (Pa)\n"
    "0;100012\n5;100564\n10;100978\n15;101341\n20;101658\n25;101922\n30;102103\n35;102243\n40;102383\n"
    "45;102504\n50;102608\n55;102668\n60;102723\n65;102774\n70;102820\n75;102840\n80;102878\n85;102904\n"
    "90;102943\n95;102932\n100;102960\n105;102940\n110;102976\n115;102973\n120;102968\n";

const char* const kEntete = "fichier\tpoints\tdebut (s)\tfin (s)\tk (s-1)\tu(k) (s-1)\tt1/2 (s)\tu(t1/2) (s)\t"
                            "t1/2 graphique (s)\tp initiale (Pa)\tp finale (Pa)\tu(p finale) (Pa)\tx finale (mol)\t"
                            "u(x finale) (mol)\tR2\tremarque";

struct Execution {
    int code = -1;
    std::vector<std::string> lignes; // stdout, split at "\n"
    std::string sortie;
    std::string erreurs;
};

std::string Contenu(const std::string& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    std::ostringstream texte;
    texte << fichier.rdbuf();
    return texte.str();
}

std::vector<std::string> Decouper(const std::string& texte, char separateur)
{
    std::vector<std::string> parties;
    std::size_t debut = 0;
    for (std::size_t fin; (fin = texte.find(separateur, debut)) != std::string::npos; debut = fin + 1)
        parties.push_back(texte.substr(debut, fin - debut));
    parties.push_back(texte.substr(debut));
    return parties;
}

class LigneCommande : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-ligne-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        dossier_ = modele;
    }
    void TearDown() override { std::system(("rm -rf '" + dossier_ + "'").c_str()); }

    std::string Ecrire(const std::string& nom, const std::string& octets)
    {
        const std::string chemin = dossier_ + "/" + nom;
        std::ofstream(chemin, std::ios::binary) << octets;
        return chemin;
    }

    // Runs nelvar with `arguments` in an environment that names no display,
    // no Qt platform and no regional setting (the sanitizers' options kept).
    Execution Lancer(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> environnement = {"PATH=/usr/bin:/bin"};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string v = *variable;
            if (v.starts_with("ASAN_") || v.starts_with("UBSAN_") || v.starts_with("LSAN_"))
                environnement.push_back(v);
        }
        std::vector<char*> argv = {const_cast<char*>(NELVAR_PROGRAMME)};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& v : environnement)
            envp.push_back(v.data());
        envp.push_back(nullptr);

        const std::string sortie = dossier_ + "/sortie", erreurs = dossier_ + "/erreurs";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, sortie.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, erreurs.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        Execution execution;
        const int lance = posix_spawn(&pid, NELVAR_PROGRAMME, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(lance, 0);
        int etat = 0;
        if (lance != 0 || waitpid(pid, &etat, 0) != pid)
            return execution;
        execution.code = WIFEXITED(etat) ? WEXITSTATUS(etat) : 128 + WTERMSIG(etat);
        execution.sortie = Contenu(sortie);
        execution.erreurs = Contenu(erreurs);
        execution.lignes = Decouper(execution.sortie, '\n');
        return execution;
    }

    std::string dossier_;
};

TEST_F(LigneCommande, writes_the_header_then_the_runs_results_in_the_program_number_format)
{
    const std::string essai = Ecrire("essai.csv", kReference);
    const Execution e = Lancer({"--analyse", "--volume", "0,25", "--temperature=20", essai});
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.erreurs, "");
    ASSERT_EQ(e.lignes.size(), 3u) << e.sortie;
    EXPECT_EQ(e.lignes[0], kEntete);
    const std::vector<std::string> attendu = {
        essai, "25", "0", "120",
        "0,0397453",  // k
        "0,000289894", // u(k)
        "17,4397",     // t1/2
        "0,127202",    // u(t1/2)
        "17,6371",     // t1/2 read on the points, linearly interpolated
        "100012",      // pa fitted
        "103004",      // p∞
        "4,86856",     // u(p∞)
        "0,0003071",   // x∞ = (p∞ − p0)·V/(R·T): trailing zeros dropped
        "4,99647E-7",  // u(x∞), scientific below 0,0001
        "0,999797",    // R²
        "",            // no remark
    };
    EXPECT_EQ(Decouper(e.lignes[1], '\t'), attendu);
    EXPECT_EQ(e.lignes[2], "");
}

TEST_F(LigneCommande, origine_holds_the_curve_at_the_runs_first_point)
{
    const std::string essai = Ecrire("essai.txt", kReference);
    const Execution e = Lancer({"--analyse", "--origine", essai});
    EXPECT_EQ(e.code, 0);
    ASSERT_EQ(e.lignes.size(), 3u) << e.sortie << e.erreurs;
    const std::vector<std::string> champs = Decouper(e.lignes[1], '\t');
    ASSERT_EQ(champs.size(), 16u);
    // k, u(k), t1/2, p initiale (the first point), p finale, u(p finale);
    // no extent without V and T.
    EXPECT_EQ(champs[4], "0,0397512");
    EXPECT_EQ(champs[5], "0,000222786");
    EXPECT_EQ(champs[6], "17,4371");
    EXPECT_EQ(champs[9], "100012");
    EXPECT_EQ(champs[10], "103005");
    EXPECT_EQ(champs[11], "4,54973");
    EXPECT_EQ(champs[12], "");
    EXPECT_EQ(champs[13], "");
}

TEST_F(LigneCommande, the_interval_options_choose_the_points_analysed)
{
    const std::string essai = Ecrire("essai.txt", kReference);
    const Execution e = Lancer({"--analyse", "--debut=20.0", "--fin", "100,0", essai});
    EXPECT_EQ(e.code, 0);
    ASSERT_EQ(e.lignes.size(), 3u) << e.sortie << e.erreurs;
    const std::vector<std::string> champs = Decouper(e.lignes[1], '\t');
    ASSERT_EQ(champs.size(), 16u);
    EXPECT_EQ(champs[1], "17");
    EXPECT_EQ(champs[2], "20");
    EXPECT_EQ(champs[3], "100");
}

TEST_F(LigneCommande, a_file_that_fails_gives_one_line_on_stderr_and_exit_code_2_while_the_others_print)
{
    const std::string essai = Ecrire("essai.txt", kReference);
    const std::string absent = dossier_ + "/absent.txt";
    const std::string uneColonne = Ecrire("une colonne.txt", "0\n1\n2\n");
    const std::string troisPoints = Ecrire("court.txt", "0;100000\n1;100100\n2;100150\n");
    const Execution e = Lancer({"--analyse", absent, essai, uneColonne, troisPoints, essai});
    EXPECT_EQ(e.code, 2);
    ASSERT_EQ(e.lignes.size(), 4u) << e.sortie;
    EXPECT_EQ(e.lignes[0], kEntete);
    EXPECT_TRUE(e.lignes[1].starts_with(essai + "\t25\t0\t120\t0,0397453\t")) << e.lignes[1];
    EXPECT_EQ(e.lignes[2], e.lignes[1]);
    const std::vector<std::string> erreurs = Decouper(e.erreurs, '\n');
    ASSERT_EQ(erreurs.size(), 4u) << e.erreurs;
    EXPECT_EQ(erreurs[0], absent + " : Fichier introuvable.");
    EXPECT_EQ(erreurs[1], uneColonne
                              + " : Ligne 1 : une seule colonne ; il en faut deux, le temps (s) puis la pression (Pa).");
    // The analysis's own refusal: too few points.
    EXPECT_TRUE(erreurs[2].starts_with(troisPoints + " : ")) << erreurs[2];
    EXPECT_GT(erreurs[2].size(), troisPoints.size() + 3);
    EXPECT_EQ(erreurs[3], "");
}

TEST_F(LigneCommande, help_is_written_in_french_and_exits_0)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"--analyse", "--help"}}) {
        const Execution e = Lancer(arguments);
        EXPECT_EQ(e.code, 0);
        EXPECT_TRUE(e.sortie.starts_with("Usage : nelvar --analyse [options] FICHIER...\n")) << e.sortie;
        EXPECT_NE(e.sortie.find("  --origine           la courbe part du premier point"), std::string::npos);
        EXPECT_EQ(e.erreurs, "");
    }
}

TEST_F(LigneCommande, a_wrong_command_line_exits_2_with_a_message_and_no_output)
{
    const std::string essai = Ecrire("essai.txt", kReference);
    const std::pair<std::vector<std::string>, std::string> cas[] = {
        {{"--analyse"}, "nelvar : aucun fichier à analyser (voir nelvar --help).\n"},
        {{"--analyse", "--vitesse", "2", essai}, "nelvar : option inconnue « --vitesse » (voir nelvar --help).\n"},
        {{"--analyse", essai, "--fin"}, "nelvar : l'option --fin attend une valeur (voir nelvar --help).\n"},
        {{"--analyse", "--volume", "0,2.5", essai},
         "nelvar : --volume : « 0,2.5 » n'est pas un nombre (voir nelvar --help).\n"},
    };
    for (const auto& [arguments, message] : cas) {
        const Execution e = Lancer(arguments);
        EXPECT_EQ(e.code, 2);
        EXPECT_EQ(e.erreurs, message);
        EXPECT_EQ(e.sortie, "");
    }
}

} // namespace
