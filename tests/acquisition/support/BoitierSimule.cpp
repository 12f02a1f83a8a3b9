#include "tests/acquisition/support/BoitierSimule.h"

#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string Ligne(std::FILE* flux)
{
    char tampon[256];
    if (!std::fgets(tampon, sizeof tampon, flux))
        return "";
    std::string ligne(tampon);
    if (!ligne.empty() && ligne.back() == '\n')
        ligne.pop_back();
    return ligne;
}

} // namespace

BoitierSimule::BoitierSimule(const std::string& programme, const std::string& capteur, int a0mV)
{
    int versEnfant[2];
    int depuisEnfant[2];
    if (::pipe2(versEnfant, O_CLOEXEC) != 0 || ::pipe2(depuisEnfant, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, versEnfant[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, depuisEnfant[1], STDOUT_FILENO);
    const std::string a0 = std::to_string(a0mV);
    const char* arguments[] = {programme.c_str(), "--sensor", capteur.c_str(), "--a0", a0.c_str(), nullptr};
    const int erreur = posix_spawn(&pid_, programme.c_str(), &actions, nullptr, const_cast<char**>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(versEnfant[0]);
    ::close(depuisEnfant[1]);
    entree_ = ::fdopen(versEnfant[1], "w");
    sortie_ = ::fdopen(depuisEnfant[0], "r");
    if (erreur != 0)
        throw std::runtime_error("cannot start " + programme);
    chemin_ = Ligne(sortie_);
    if (chemin_.empty())
        throw std::runtime_error(programme + " gave no terminal");
}

BoitierSimule::~BoitierSimule()
{
    Debrancher();
    std::fclose(sortie_);
}

bool BoitierSimule::Commande(const std::string& ligne)
{
    if (!entree_ || std::fprintf(entree_, "%s\n", ligne.c_str()) < 0 || std::fflush(entree_) != 0)
        return false;
    return Ligne(sortie_) == "ok";
}

void BoitierSimule::Debrancher()
{
    if (!entree_)
        return;
    // End of its input ends the simulator.
    std::fclose(entree_);
    entree_ = nullptr;
    int etat = 0;
    ::waitpid(pid_, &etat, 0);
}
