// The title of a real program file copied under other names: the probe
// program prints the title it derives from its own file, as the program does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string TitreDeLaCopie(const std::string& nom)
{
    namespace fs = std::filesystem;
    const fs::path dossier = fs::temp_directory_path() / ("nelvar-titre-" + std::to_string(::getpid()));
    fs::create_directories(dossier);
    const fs::path copie = dossier / nom;
    fs::copy_file(NELVAR_SONDE_TITRE, copie, fs::copy_options::overwrite_existing);

    std::string sortie;
    if (FILE* tube = ::popen(("'" + copie.string() + "'").c_str(), "r")) {
        char tampon[256];
        while (std::fgets(tampon, sizeof tampon, tube))
            sortie += tampon;
        ::pclose(tube);
    }
    fs::remove_all(dossier);
    return sortie;
}

} // namespace

TEST(TitreCopie, program_copied_under_another_name_is_titled_from_that_name)
{
    EXPECT_EQ(TitreDeLaCopie("MESURE.V2.EXE"), "Mesure\n");
    EXPECT_EQ(TitreDeLaCopie("mESURE.EXE"), "mesure\n");
}
