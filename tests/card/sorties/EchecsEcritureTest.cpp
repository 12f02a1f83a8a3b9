// Saves that fail: the error the user sees, the state left behind, and the
// earlier content of a file that a failed save must not destroy.
#include "SortiesCommun.h"

#include "card/sorties/ExempleMesures.h"
#include "runtime/FichierTexte.h"
#include "runtime/Processus.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr uid_t kPersonne = 65534; // the user and group nobody

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

// Ends a child process of a test with the verdict of its checks, their
// messages on its error output (which the parent shows).
[[noreturn]] void TerminerEnfant()
{
    const testing::TestResult* resultat = testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = 0; i < resultat->total_part_count(); ++i)
        std::fprintf(stderr, "%s\n", resultat->GetTestPartResult(i).message());
    std::exit(::testing::Test::HasFailure() ? 1 : 0);
}

// Caps the size of any file this process writes at `octets` bytes.
void LimiterTaille(rlim_t octets)
{
    rlimit limite{};
    ::getrlimit(RLIMIT_FSIZE, &limite);
    limite.rlim_cur = octets;
    ::setrlimit(RLIMIT_FSIZE, &limite);
}

// Runs `etapes` in a child process that starts as the program does
// (PreparerProcessus) and then has its files capped at `octets` bytes; the
// child ends with the verdict of its checks. A child killed by SIGXFSZ, as
// the program would be, fails the test.
[[noreturn]] void DemarrerSousLimite(rlim_t octets, const std::function<void()>& etapes)
{
    PreparerProcessus();
    LimiterTaille(octets);
    etapes();
    TerminerEnfant();
}

// Runs `etapes` in a child process as the user nobody when this one is the
// superuser, whom permissions do not stop; else as this user.
[[noreturn]] void EnUtilisateurOrdinaire(const std::function<void()>& etapes)
{
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kPersonne) != 0 || ::setuid(kPersonne) != 0)) {
        std::fprintf(stderr, "cannot become the user nobody: %s\n", std::strerror(errno));
        std::exit(2);
    }
    etapes();
    TerminerEnfant();
}

// Installs the seccomp filter `filtre` on this process's system calls.
template <std::size_t N>
bool InstallerFiltre(sock_filter (&filtre)[N])
{
    const sock_fprog programme{static_cast<unsigned short>(N), filtre};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &programme) == 0;
}

// Makes this process's file system look as one without unnamed files
// (O_TMPFILE refused with EOPNOTSUPP, as vfat or an older NFS answers), by a
// seccomp filter on openat. Returns false where the filter is refused.
bool SansFichiersSansNom()
{
    constexpr std::uint32_t kBitTmpfile = O_TMPFILE & ~O_DIRECTORY;
    sock_filter filtre[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])), // the flags' low word
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, kBitTmpfile, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return InstallerFiltre(filtre);
}

// Makes every fsync of this process fail with EIO, as a disk that lost the
// data does, by a seccomp filter. Returns false where the filter is refused.
bool FsyncEnEchec()
{
    sock_filter filtre[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return InstallerFiltre(filtre);
}

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

TEST_F(EchecsEcriture, file_size_limit_after_the_programs_start_up_fails_like_a_full_disk_and_leaves_no_file)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    RemplirLongueMesure();

    const auto etapes = [&] {
        const std::size_t descripteurs = DescripteursOuverts();
        AttendreErreurES([&] { P->EnregistrerMesures(1024, 0); }, 112, "Erreur E/S 112");
        AttendreErreurES([&] { P->EnregistrerNouveauFichier(1024, 0); }, 112);
        EXPECT_EQ(UDravoC::NumeroFichier, 2) << "the failed save uses its number up";
        EXPECT_EQ(DescripteursOuverts(), descripteurs) << "a failed write leaves its file open";
    };
    EXPECT_EXIT(DemarrerSousLimite(1000, etapes), ::testing::ExitedWithCode(0), "");

    // The earlier file is intact; neither a cut-short Mesures2.txt nor a
    // temporary file is left.
    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
}

TEST_F(EchecsEcriture, folder_created_by_a_failed_save_goes_and_the_next_save_places_the_example)
{
    RemplirLongueMesure();
    const auto etapes = [&] { AttendreErreurES([&] { P->EnregistrerMesures(1024, 0); }, 112); };
    EXPECT_EXIT(DemarrerSousLimite(1000, etapes), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(Valeurs()));

    P->EnregistrerMesures(1024, 0);

    EXPECT_EQ(LireFichier(Valeurs() + "/Exemple.txt"), std::string(ExempleMesures::Contenu()));
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
}

TEST_F(EchecsEcriture, link_put_in_place_of_the_last_file_is_replaced_and_never_followed)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    const std::string autre = racine_ + "/autre.txt";
    EcrireFichier(autre, "le fichier d'un autre");
    fs::remove(Numerote(1));
    fs::create_symlink(autre, Numerote(1));

    P->EnregistrerMesures(kPointsExemple, 0);

    EXPECT_EQ(LireFichier(autre), "le fichier d'un autre");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Numerote(1))));
    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
}

TEST_F(EchecsEcriture, writable_file_in_a_folder_closed_to_the_user_is_written_in_place)
{
    // A teacher's shared folder (mode 555): one file anybody may write, one
    // only its owner may.
    const std::string partage = racine_ + "/partage";
    fs::create_directory(partage);
    EcrireFichier(partage + "/cahier.txt", "ancien");
    EcrireFichier(partage + "/prof.txt", "du professeur");
    fs::permissions(partage + "/cahier.txt", fs::perms(0666));
    fs::permissions(partage + "/prof.txt", fs::perms(::geteuid() == 0 ? 0644 : 0444));
    fs::permissions(partage, fs::perms(0555));
    fs::permissions(racine_, fs::perms(0755));
    RemplirExemple();
    UDravoC::NomDernierFichier = partage + "/cahier.txt";

    const auto etapes = [&] {
        P->EnregistrerMesures(kPointsExemple, 0);
        bureau_.nomTape = partage + "/prof.txt";
        AttendreErreurES([&] { P->EnregistrerMesuresSous(1, 0); }, 5, "Accès au fichier refusé");
    };
    EXPECT_EXIT(EnUtilisateurOrdinaire(etapes), ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(LireFichier(partage + "/cahier.txt"), kTexteExemple + "\r\n");
    EXPECT_EQ(LireFichier(partage + "/prof.txt"), "du professeur");
    EXPECT_EQ(Contenu(partage), (std::set<std::string>{"cahier.txt", "prof.txt"}));
    fs::permissions(partage, fs::perms(0755)); // so that the test folder can be removed
}

TEST_F(EchecsEcriture, file_system_without_unnamed_files_names_the_file_without_replacing_and_leaves_no_temporary)
{
    fs::create_directories(Valeurs());
    EcrireFichier(Numerote(2), "mesure d'hier");
    RemplirExemple();

    const auto etapes = [&] {
        ASSERT_TRUE(SansFichiersSansNom()) << std::strerror(errno);
        P->EnregistrerNouveauFichier(kPointsExemple, 0);
        P->EnregistrerNouveauFichier(kPointsExemple, 0); // 2 is taken: 3
        P->EnregistrerMesures(1, 0);                     // replaces Mesures3.txt
        RemplirLongueMesure();
        LimiterTaille(1000);
        AttendreErreurES([&] { P->EnregistrerNouveauFichier(1024, 0); }, 112);
        bureau_.nomTape = Numerote(3);
        AttendreErreurES([&] { P->EnregistrerMesuresSous(1024, 0); }, 112);
    };
    EXPECT_EXIT(DemarrerSousLimite(RLIM_INFINITY, etapes), ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
    EXPECT_EQ(LireFichier(Numerote(2)), "mesure d'hier");
    EXPECT_EQ(LireFichier(Numerote(3)), "Date, en s\tTension sur la voie 1, en V\r0\t1,013E5\r\r\n");
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Mesures1.txt", "Mesures2.txt", "Mesures3.txt"}));
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

// A teacher's shared folder (mode 555) holding one file anybody may write,
// with the content `contenu`; returns the file's name.
std::string FichierDansDossierFerme(const std::string& racine, const std::string& contenu)
{
    const std::string fichier = racine + "/partage/cahier.txt";
    fs::create_directory(racine + "/partage");
    EcrireFichier(fichier, contenu);
    fs::permissions(fichier, fs::perms(0666));
    fs::permissions(racine + "/partage", fs::perms(0555));
    fs::permissions(racine, fs::perms(0755));
    return fichier;
}

TEST_F(EchecsEcriture, flush_to_the_disk_that_fails_is_a_failed_save_and_leaves_the_earlier_file)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    P->MesuresVoie1[0] = 0;
    const auto etapes = [&] {
        ASSERT_TRUE(FsyncEnEchec()) << std::strerror(errno);
        AttendreErreurES([&] { P->EnregistrerMesures(kPointsExemple, 0); }, 29, "Erreur E/S 29"); // replacing
        AttendreErreurES([&] { P->EnregistrerNouveauFichier(kPointsExemple, 0); }, 29);          // a new file
    };
    EXPECT_EXIT(DemarrerSousLimite(RLIM_INFINITY, etapes), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(LireFichier(Numerote(1)), kTexteExemple + "\r\n");
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
}

TEST_F(EchecsEcriture, flush_to_the_disk_that_fails_after_a_write_in_place_is_a_failed_save)
{
    UDravoC::NomDernierFichier = FichierDansDossierFerme(racine_, "ancien");
    RemplirExemple();
    const auto surPlace = [&] {
        ASSERT_TRUE(FsyncEnEchec()) << std::strerror(errno);
        AttendreErreurES([&] { P->EnregistrerMesures(kPointsExemple, 0); }, 29);
    };
    EXPECT_EXIT(EnUtilisateurOrdinaire(surPlace), ::testing::ExitedWithCode(0), "");
    fs::permissions(racine_ + "/partage", fs::perms(0755)); // so that the test folder can be removed
}

TEST_F(EchecsEcriture, shorter_table_written_in_place_leaves_nothing_of_the_longer_one)
{
    const std::string cahier = FichierDansDossierFerme(racine_, kTexteExemple + "\r\n");
    UDravoC::NomDernierFichier = cahier;
    RemplirExemple();

    EXPECT_EXIT(EnUtilisateurOrdinaire([&] { P->EnregistrerMesures(1, 0); }), ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(LireFichier(cahier), "Date, en s\tTension sur la voie 1, en V\r0\t1,013E5\r\r\n");
    fs::permissions(racine_ + "/partage", fs::perms(0755));
}

} // namespace
