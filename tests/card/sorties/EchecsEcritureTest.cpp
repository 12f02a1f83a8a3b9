// Saves that fail: the error the user sees, the state left behind, and the
// earlier content of a file that a failed save must not destroy.
#include "SortiesCommun.h"

#include "card/FichierTexte.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {


// Runs `operation` and returns the input/output error it raised.
template <class Operation>
std::optional<EInOutError> ErreurES(Operation operation)
{
    try {
        operation();
    } catch (const EInOutError& erreur) {
        return erreur;
    }
    return std::nullopt;
}

// Runs `operation` and checks that it raised the input/output error `code`,
// with `message` when one is given.
template <class Operation>
void AttendreErreurES(Operation operation, int code, const char* message = nullptr)
{
    const std::optional<EInOutError> erreur = ErreurES(operation);
    ASSERT_TRUE(erreur) << "no input/output error";
    EXPECT_EQ(erreur->ErrorCode(), code);
    if (message != nullptr) {
        EXPECT_EQ(erreur->Message(), message);
    }
}

std::size_t DescripteursOuverts()
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entree : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// Caps the size of any file the process writes; a write beyond it fails
// with EFBIG instead of raising SIGXFSZ.
class LimiteTailleFichiers {
public:
    explicit LimiteTailleFichiers(rlim_t octets)
    {
        ::getrlimit(RLIMIT_FSIZE, &ancienne_);
        ancienSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{octets, ancienne_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTailleFichiers()
    {
        ::setrlimit(RLIMIT_FSIZE, &ancienne_);
        std::signal(SIGXFSZ, ancienSignal_);
    }
    LimiteTailleFichiers(const LimiteTailleFichiers&) = delete;
    LimiteTailleFichiers& operator=(const LimiteTailleFichiers&) = delete;

private:
    rlimit ancienne_{};
    void (*ancienSignal_)(int) = SIG_DFL;
};

// A small tmpfs mounted on `point` for the life of the object (the
// superuser only); Monte() says whether the mount took place.
class PetitDisque {
public:
    PetitDisque(std::string point, const char* options) : point_(std::move(point))
    {
        monte_ = ::mount("tmpfs", point_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options) == 0;
        erreur_ = monte_ ? 0 : errno;
    }
    ~PetitDisque()
    {
        if (monte_)
            ::umount2(point_.c_str(), MNT_DETACH);
    }
    PetitDisque(const PetitDisque&) = delete;
    PetitDisque& operator=(const PetitDisque&) = delete;

    bool Monte() const { return monte_; }
    const char* Erreur() const { return std::strerror(erreur_); }

    // Fills the disk to its last byte.
    void Remplir() const
    {
        const int fd = ::open((point_ + "/remplissage").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const std::string bloc(4096, 'x');
        for (std::size_t taille = bloc.size(); taille > 0;) {
            if (::write(fd, bloc.data(), taille) < 0)
                taille /= 2; // the last blocks of the disk are smaller
        }
        ::close(fd);
    }

private:
    std::string point_;
    bool monte_ = false;
    int erreur_ = 0;
};

class EchecsEcriture : public SortiesTest {
protected:
    void TearDown() override
    {
        disque_.reset(); // unmounted before the test folder is removed
        SortiesTest::TearDown();
    }

    // A run of 1024 points: a text of some 15 000 bytes.
    void RemplirLongueMesure()
    {
        for (int i = 0; i < 1024; ++i)
            P->MesuresVoie1[static_cast<std::size_t>(i)] = 101325 + 7 * i;
    }

    // Mounts a 64 KiB disk in the test folder and makes it the program's
    // folder; false where mounting is refused (the superuser only).
    bool SurPetitDisque()
    {
        point_ = racine_ + "/petit-disque";
        fs::create_directory(point_);
        disque_.emplace(point_, "size=64k");
        if (!disque_->Monte())
            return false;
        UDravoC::RepertoireCourant = point_ + "/";
        return true;
    }

    std::string point_;
    std::optional<PetitDisque> disque_;
};

// A copy of a small program, kept running (reading a pipe we hold) for the
// life of the object.
class ProgrammeEnCours {
public:
    ProgrammeEnCours(const std::string& original, std::string copie) : copie_(std::move(copie))
    {
        std::error_code erreur;
        if (!fs::copy_file(original, copie_, erreur))
            return;
        fs::permissions(copie_, fs::perms(0755), erreur);
        if (::pipe2(tube_, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, tube_[0], STDIN_FILENO);
        char* arguments[] = {copie_.data(), nullptr};
        // Returns once the child has started the program (or failed to).
        lance_ = ::posix_spawn(&pid_, copie_.c_str(), &actions, nullptr, arguments, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(tube_[0]);
    }
    ~ProgrammeEnCours()
    {
        if (tube_[1] >= 0)
            ::close(tube_[1]); // end of its input: the program ends
        if (lance_)
            ::waitpid(pid_, nullptr, 0);
    }
    ProgrammeEnCours(const ProgrammeEnCours&) = delete;
    ProgrammeEnCours& operator=(const ProgrammeEnCours&) = delete;

    bool Lance() const { return lance_; }

private:
    std::string copie_;
    int tube_[2] = {-1, -1};
    pid_t pid_ = 0;
    bool lance_ = false;
};

TEST(CodeErreurES, system_errors_map_onto_the_documented_codes)
{
    struct Cas {
        int errnum;
        int code;
    };
    const Cas table[] = {
        {ENOENT, 3}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {ELOOP, 3}, {EINVAL, 3}, {EILSEQ, 3},
        {EACCES, 5}, {EPERM, 5}, {EROFS, 5}, {EISDIR, 5},
        {EMFILE, 4}, {ENFILE, 4},
        {ENOSPC, 112}, {EDQUOT, 112}, {EFBIG, 112},
        {ETXTBSY, 32}, {EBUSY, 32},
        {EIO, 29}, {ENXIO, 29}, {EMLINK, 29},
    };
    for (const Cas& cas : table)
        EXPECT_EQ(FichierTexte::CodeErreurES(cas.errnum), cas.code) << std::strerror(cas.errnum);
    EXPECT_EQ(EInOutError(29).Message(), "Erreur E/S 29");
}

TEST_F(EchecsEcriture, file_named_valeurs_gives_nom_de_fichier_incorrect_and_each_save_uses_up_its_number)
{
    EcrireFichier(Valeurs(), "pas un dossier");

    AttendreErreurES([&] { P->EnregistrerMesures(1, 0); }, 3, "Nom de fichier incorrect");
    EXPECT_EQ(UDravoC::NumeroFichier, 1);
    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(1));

    AttendreErreurES([&] { P->EnregistrerMesures(1, 0); }, 3);
    EXPECT_EQ(UDravoC::NumeroFichier, 2);

    fs::remove(Valeurs());
    P->EnregistrerMesures(1, 0);
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures3.txt"}));
}

TEST_F(EchecsEcriture, name_in_a_missing_folder_is_kept_as_last_name_and_the_next_save_takes_a_number)
{
    bureau_.nomTape = racine_ + "/absent/essai.txt";

    AttendreErreurES([&] { P->EnregistrerMesuresSous(1, 0); }, 3);
    EXPECT_EQ(UDravoC::NomDernierFichier, racine_ + "/absent/essai.txt");
    EXPECT_FALSE(fs::exists(racine_ + "/absent"));

    P->EnregistrerMesures(1, 0);
    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(1));
}

TEST_F(EchecsEcriture, read_only_file_is_refused_and_left_unchanged_even_for_the_superuser)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    fs::permissions(Numerote(1), fs::perms(0444));
    P->MesuresVoie1[0] = 0;

    AttendreErreurES([&] { P->EnregistrerMesures(kPointsExemple, 0); }, 5, "Accès au fichier refusé");

    bureau_.nomTape = Numerote(1);
    AttendreErreurES([&] { P->EnregistrerMesuresSous(kPointsExemple, 0); }, 5);

    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
    EXPECT_EQ(fs::status(Numerote(1)).permissions(), fs::perms(0444));
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
}

TEST_F(EchecsEcriture, folder_chosen_as_file_is_refused)
{
    const std::string dossier = racine_ + "/dossier.txt";
    fs::create_directory(dossier);
    bureau_.nomTape = dossier;

    AttendreErreurES([&] { P->EnregistrerMesuresSous(1, 0); }, 5);
    EXPECT_TRUE(Contenu(dossier).empty());
    EXPECT_EQ(Contenu(racine_), (std::set<std::string>{"dossier.txt"}));
}

TEST_F(EchecsEcriture, full_device_gives_erreur_es_112)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    // The last file written is now a device that is always full.
    UDravoC::NomDernierFichier = "/dev/full";

    AttendreErreurES([&] { P->EnregistrerMesures(1, 0); }, 112, "Erreur E/S 112");
    EXPECT_TRUE(fs::is_character_file("/dev/full")) << "the device was written, not replaced";
}

TEST_F(EchecsEcriture, full_disk_leaves_the_earlier_file_intact)
{
    if (!SurPetitDisque())
        GTEST_SKIP() << "cannot mount a tmpfs here (superuser only): " << disque_->Erreur();
    const std::string premier = point_ + "/Valeurs/Mesures1.txt";
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    disque_->Remplir();
    RemplirLongueMesure();

    AttendreErreurES([&] { P->EnregistrerMesures(1024, 0); }, 112, "Erreur E/S 112");
    EXPECT_EQ(LireFichier(premier), kTexteExemple + "\r\n");
    EXPECT_EQ(Contenu(point_ + "/Valeurs"), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
}

TEST_F(EchecsEcriture, example_never_takes_the_room_of_the_save_that_creates_the_folder)
{
    if (!SurPetitDisque())
        GTEST_SKIP() << "cannot mount a tmpfs here (superuser only): " << disque_->Erreur();
    // Room for the measurement (one block) but not for the example as well.
    const std::string reserve = point_ + "/reserve";
    EcrireFichier(reserve, std::string(4096, 'r'));
    disque_->Remplir();
    fs::remove(reserve);
    RemplirExemple();

    P->EnregistrerMesures(kPointsExemple, 0);

    EXPECT_EQ(LireFichier(point_ + "/Valeurs/Mesures1.txt"), kTexteExemple + "\r\n");
    EXPECT_EQ(Contenu(point_ + "/Valeurs"), (std::set<std::string>{"Mesures1.txt"}))
        << "an example cut short is removed";
}

TEST_F(EchecsEcriture, file_size_limit_fails_like_a_full_disk_and_closes_the_file)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    RemplirLongueMesure();
    const std::size_t descripteurs = DescripteursOuverts();
    constexpr rlim_t kLimite = 1000;

    std::optional<EInOutError> remplacement;
    std::optional<EInOutError> nouveau;
    {
        LimiteTailleFichiers limite(kLimite);
        remplacement = ErreurES([&] { P->EnregistrerMesures(1024, 0); });
        nouveau = ErreurES([&] { P->EnregistrerNouveauFichier(1024, 0); });
    }

    // The earlier file is intact and the temporary file gone.
    ASSERT_TRUE(remplacement);
    EXPECT_EQ(remplacement->ErrorCode(), 112);
    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
    // A new numbered file keeps what was written before the failure.
    ASSERT_TRUE(nouveau);
    EXPECT_EQ(nouveau->ErrorCode(), 112);
    EXPECT_EQ(UDravoC::NumeroFichier, 2);
    EXPECT_EQ(fs::file_size(Numerote(2)), kLimite);
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt", "Mesures2.txt"}));
    EXPECT_EQ(DescripteursOuverts(), descripteurs) << "a failed write leaves its file open";
}

TEST_F(EchecsEcriture, file_of_a_running_program_gives_erreur_es_32_and_stays_as_it_was)
{
    const std::string fichier = racine_ + "/programme.bin";
    ProgrammeEnCours programme("/bin/cat", fichier);
    if (!programme.Lance())
        GTEST_SKIP() << "cannot start a copy of /bin/cat";
    if (const int fd = ::open(fichier.c_str(), O_WRONLY | O_CLOEXEC); fd >= 0) {
        ::close(fd);
        GTEST_SKIP() << "this system lets a running program's file be written";
    }
    const std::string avant = LireFichier(fichier);
    bureau_.nomTape = fichier;

    AttendreErreurES([&] { P->EnregistrerMesuresSous(1, 0); }, 32, "Erreur E/S 32");
    EXPECT_EQ(LireFichier(fichier), avant);
    EXPECT_EQ(Contenu(racine_), (std::set<std::string>{"programme.bin"}));
}

} // namespace
