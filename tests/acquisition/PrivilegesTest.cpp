// The identity the program takes around the real card's ports, and the
// environment variables it clears before the window system starts. Nothing
// here touches the test's own process.
#include "acquisition/Privileges.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <linux/capability.h>
#include <unistd.h>

namespace {

using enum IdentityKind;

struct IdentityCase {
    const char* started;
    StartIds ids; // real uid, effective uid, real gid, effective gid
    const char* sudoUid;
    const char* sudoGid;
    IdentityChoice expected;
};

TEST(Privileges, identity_for_each_way_of_starting)
{
    const IdentityCase cases[] = {
        {"user, file capability", {1000, 1000, 1000, 1000}, nullptr, nullptr, {KeepRealIds, 1000, 1000}},
        {"user, forged SUDO_* for group disk", {1000, 1000, 1000, 1000}, "1001", "6", {KeepRealIds, 1000, 1000}},
        {"user, forged SUDO_* of root", {1000, 1000, 1000, 1000}, "0", "0", {KeepRealIds, 1000, 1000}},
        {"sudo", {0, 0, 0, 0}, "1000", "1000", {ReturnToSudoUser, 1000, 1000}},
        {"sudo, other primary group", {0, 0, 0, 0}, "1000", "100", {ReturnToSudoUser, 1000, 100}},
        {"root, no sudo", {0, 0, 0, 0}, nullptr, nullptr, {RefuseRootWithoutSudo, 0, 0}},
        {"root, SUDO_UID only", {0, 0, 0, 0}, "1000", nullptr, {RefuseRootWithoutSudo, 0, 0}},
        {"root, sudo from root", {0, 0, 0, 0}, "0", "0", {RefuseRootWithoutSudo, 0, 0}},
        {"root, SUDO_GID of root", {0, 0, 0, 0}, "1000", "0", {RefuseRootWithoutSudo, 0, 0}},
        {"root, empty SUDO_*", {0, 0, 0, 0}, "", "", {RefuseRootWithoutSudo, 0, 0}},
        {"root in group disk, sudo", {0, 0, 6, 6}, "1000", "6", {ReturnToSudoUser, 1000, 6}},
        {"root, letters", {0, 0, 0, 0}, "1000x", "1000", {RefuseRootWithoutSudo, 0, 0}},
        {"root, blank before", {0, 0, 0, 0}, " 1000", "1000", {RefuseRootWithoutSudo, 0, 0}},
        {"root, sign", {0, 0, 0, 0}, "1000", "+1000", {RefuseRootWithoutSudo, 0, 0}},
        {"root, (uid_t)-1", {0, 0, 0, 0}, "4294967295", "1000", {RefuseRootWithoutSudo, 0, 0}},
        {"root, beyond 32 bits", {0, 0, 0, 0}, "4294968296", "1000", {RefuseRootWithoutSudo, 0, 0}},
        {"root, largest id", {0, 0, 0, 0}, "4294967294", "1000", {ReturnToSudoUser, 4294967294u, 1000}},
        {"setuid root, user", {1000, 0, 1000, 1000}, "1000", "6", {RefuseSetuid, 1000, 1000}},
        {"setgid, user", {1000, 1000, 1000, 6}, nullptr, nullptr, {RefuseSetuid, 1000, 1000}},
        {"setuid other user, root", {0, 1000, 0, 0}, "1000", "1000", {RefuseSetuid, 0, 0}},
        {"setgid, root", {0, 0, 0, 6}, "1000", "1000", {RefuseSetuid, 0, 0}},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.started);
        EXPECT_EQ(ChooseIdentity(c.ids, c.sudoUid, c.sudoGid), c.expected);
    }
}

TEST(Privileges, plugin_and_module_variables_are_cleared_and_the_others_kept)
{
    const struct {
        const char* entry;
        bool cleared;
    } cases[] = {
        {"QT_PLUGIN_PATH=/home/eleve/greffons", true},
        {"QT_QPA_PLATFORM_PLUGIN_PATH=/tmp/p", true},
        {"QT_QPA_GENERIC_PLUGINS=evdevmouse", true},
        {"QT_IM_MODULE=ibus", true},
        {"QT_QPA_PLATFORMTHEME=gtk3", true},
        {"QT_XCB_GL_INTEGRATION=xcb_egl", true},
        {"QT_WAYLAND_SHELL_INTEGRATION=x", true},
        {"QML2_IMPORT_PATH=/tmp/q", true},
        {"QT_QPA_PLATFORM=xcb:foo=/tmp/x", true},
        {"QT_QPA_PLATFORM=linuxfb:fb=/dev/fb0", true},
        {"QT_QPA_PLATFORM=;", true},
        {"GTK_MODULES=x", true},
        {"GTK_PATH=/tmp/g", true},
        {"GIO_EXTRA_MODULES=/tmp/g", true},
        {"LIBGL_DRIVERS_PATH=/tmp/d", true},
        {"__EGL_VENDOR_LIBRARY_FILENAMES=/tmp/e.json", true},
        {"VK_ICD_FILENAMES=/tmp/v.json", true},
        {"GCONV_PATH=/tmp/c", true},
        {"QT_QPA_PLATFORM=xcb", false},
        {"QT_QPA_PLATFORM=wayland;xcb", false},
        {"QT_SCALE_FACTOR=2", false},
        {"NELVAR_PORTS=reel", false},
        {"HOME=/home/eleve", false},
        {"GTK_THEME=Adwaita", false},
        {"MY_QT_PLUGIN_PATH=/tmp/p", false},
        {"QT_PLUGIN_PATH", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const std::string entry = c.entry;
        const std::vector<std::string> expected =
            c.cleared ? std::vector<std::string>{entry.substr(0, entry.find('='))} : std::vector<std::string>{};
        EXPECT_EQ(PluginVariables({entry}), expected);
    }
}

TEST(Privileges, each_variable_is_named_once_in_the_order_found)
{
    EXPECT_EQ(PluginVariables({"GTK_PATH=/a", "HOME=/h", "QT_PLUGIN_PATH=/b", "GTK_PATH=/c", "QT_IM_MODULE=x"}),
              (std::vector<std::string>{"GTK_PATH", "QT_PLUGIN_PATH", "QT_IM_MODULE"}));
}

#if NELVAR_REAL_PORTS
// The line of /proc/self/status that starts with `champ` ("CapBnd:\t...").
std::string LigneEtat(const std::string& champ)
{
    std::ifstream etat("/proc/self/status");
    for (std::string ligne; std::getline(etat, ligne);) {
        if (ligne.starts_with(champ))
            return ligne;
    }
    return "";
}

// In a child process, root through sudo gives up its privileges: the
// bounding set is then empty, so that no program it starts can regain a
// capability.
TEST(Privileges, giving_up_privileges_empties_the_bounding_set)
{
    if (::geteuid() != 0 || !(std::stoull(LigneEtat("CapEff:").substr(7), nullptr, 16) & (1ull << CAP_SETPCAP)))
        GTEST_SKIP() << "only root with CAP_SETPCAP shrinks the bounding set";
    const auto enfant = [] {
        GiveUpPrivileges({IdentityKind::ReturnToSudoUser, 65534, 65534});
        std::fprintf(stderr, "%s\n", LigneEtat("CapBnd:").c_str());
        std::exit(0);
    };
    EXPECT_EXIT(enfant(), ::testing::ExitedWithCode(0), "CapBnd:\t0000000000000000\n");
}
#endif

} // namespace
