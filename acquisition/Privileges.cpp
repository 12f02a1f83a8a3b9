#include "acquisition/Privileges.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#if NELVAR_REAL_PORTS
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "acquisition/RealPorts.h"
#endif

namespace {

// A user or group id given by sudo: a decimal number, not 0 (root), not -1.
bool ParseSudoId(const char* text, std::uint32_t& id)
{
    if (!text || *text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value == 0 || value >= 0xFFFFFFFFull) {
        return false;
    }
    id = static_cast<std::uint32_t>(value);
    return true;
}

// Which variables go. Qt reads plugin and module names and folders from
// many variables (QT_PLUGIN_PATH, QT_QPA_PLATFORM_PLUGIN_PATH,
// QT_QPA_GENERIC_PLUGINS, QT_STYLE_OVERRIDE, QT_IM_MODULE,
// QT_QPA_PLATFORMTHEME, QT_XCB_GL_INTEGRATION, QT_WAYLAND_*, QML import
// paths, ...), and new versions add more: every QT_ and QML variable goes,
// except these, which only scale the screen or turn accessibility on.
constexpr std::array<std::string_view, 8> kQtVariablesKept = {
    "QT_SCALE_FACTOR",
    "QT_SCREEN_SCALE_FACTORS",
    "QT_AUTO_SCREEN_SCALE_FACTOR",
    "QT_ENABLE_HIGHDPI_SCALING",
    "QT_SCALE_FACTOR_ROUNDING_POLICY",
    "QT_FONT_DPI",
    "QT_ACCESSIBILITY",
    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
};

// The libraries Qt's system plugins bring in load modules from folders that
// these name: GTK (through the GTK platform theme, Qt's choice on GNOME),
// GIO, GdkPixbuf, the OpenGL and Vulkan loaders, and glibc's character-set
// converters. They check only that the real and effective ids agree, which
// they do after the drop.
constexpr std::array<std::string_view, 20> kModuleVariables = {
    "GTK_MODULES",
    "GTK3_MODULES",
    "GTK_PATH",
    "GTK_EXE_PREFIX",
    "GTK_DATA_PREFIX",
    "GTK_IM_MODULE_FILE",
    "GIO_EXTRA_MODULES",
    "GIO_MODULE_DIR",
    "GDK_PIXBUF_MODULEDIR",
    "GDK_PIXBUF_MODULE_FILE",
    "LIBGL_DRIVERS_PATH",
    "__EGL_VENDOR_LIBRARY_DIRS",
    "__EGL_VENDOR_LIBRARY_FILENAMES",
    "GBM_BACKENDS_PATH",
    "VK_ICD_FILENAMES",
    "VK_DRIVER_FILES",
    "VK_ADD_DRIVER_FILES",
    "VK_LAYER_PATH",
    "VK_ADD_LAYER_PATH",
    "GCONV_PATH",
};

bool Contains(const auto& names, std::string_view name)
{
    for (const std::string_view entry : names) {
        if (entry == name) {
            return true;
        }
    }
    return false;
}

// QT_QPA_PLATFORM may stay when it only names platforms ("xcb",
// "wayland;xcb"): the plugin is then looked for in the system's folder only.
// Options after a colon can name files and folders: the variable goes.
bool PlatformNamesOnly(std::string_view value)
{
    bool nameStarted = false;
    for (const char c : value) {
        if (c == ';' && nameStarted) {
            nameStarted = false;
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            nameStarted = true;
        } else {
            return false;
        }
    }
    return nameStarted;
}

bool PluginVariable(std::string_view name, std::string_view value)
{
    if (name.starts_with("QT_") || name.starts_with("QML")) {
        if (name == "QT_QPA_PLATFORM") {
            return !PlatformNamesOnly(value);
        }
        return !Contains(kQtVariablesKept, name);
    }
    return Contains(kModuleVariables, name);
}

} // namespace

IdentityChoice ChooseIdentity(const StartIds& ids, const char* sudoUid, const char* sudoGid)
{
    if (ids.realUid != ids.effectiveUid || ids.realGid != ids.effectiveGid) {
        return {IdentityKind::RefuseSetuid, ids.realUid, ids.realGid};
    }
    if (ids.realUid != 0) {
        return {IdentityKind::KeepRealIds, ids.realUid, ids.realGid};
    }
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    if (ParseSudoId(sudoUid, uid) && ParseSudoId(sudoGid, gid)) {
        return {IdentityKind::ReturnToSudoUser, uid, gid};
    }
    return {IdentityKind::RefuseRootWithoutSudo, ids.realUid, ids.realGid};
}

std::vector<std::string> PluginVariables(const std::vector<std::string>& environment)
{
    std::vector<std::string> names;
    for (const std::string_view entry : environment) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            continue;
        }
        const std::string_view name = entry.substr(0, equals);
        if (PluginVariable(name, entry.substr(equals + 1)) && !Contains(names, name)) {
            names.emplace_back(name);
        }
    }
    return names;
}

#if NELVAR_REAL_PORTS

// Why the program clears these variables itself, though it runs with
// privileges: with the file capability, exec marks the process for secure
// execution (AT_SECURE), and glibc's dynamic loader then ignores
// LD_LIBRARY_PATH, loads LD_PRELOAD libraries only from the system's folders
// and only when marked setuid, and removes LD_*, GCONV_PATH, NLSPATH,
// LOCPATH, TMPDIR and the like from the environment before main(). Started
// through sudo, the environment is reset and LD_* always removed. But Qt and
// the libraries its plugins load have variables of their own, and they
// honour them once the real and effective ids agree, that is after the
// drop, while the port grant lasts. Children the program starts (the shell
// opening a link) do not inherit the ports: ioperm grants end at fork.
void ClearPluginVariables()
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        environment.emplace_back(*entry);
    }
    for (const std::string& name : PluginVariables(environment)) {
        unsetenv(name.c_str());
    }
}

namespace {

constexpr int kExitPrivilegesKept = 2;

[[noreturn]] void StopWithPrivileges()
{
    std::fputs("nelvar : impossible d'abandonner les privilèges ; arrêt.\n", stderr);
    std::_Exit(kExitPrivilegesKept);
}

// Shrinking the bounding set takes CAP_SETPCAP: root through sudo has it,
// the file capability alone (CAP_SYS_RAWIO) does not, so this is done before
// the ids change and as far as the kernel allows. No-new-privileges, set
// after the drop in every case, already keeps any exec from gaining a
// capability.
void DropBoundingSet()
{
    for (int capability = 0; prctl(PR_CAPBSET_READ, capability, 0, 0, 0) >= 0; ++capability) {
        if (prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) {
            return;
        }
    }
}

bool DropCapabilities()
{
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capset, &header, data) != 0) {
        return false;
    }
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0); // absent before Linux 4.3: nothing to clear
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    for (const auto& set : data) {
        if (set.effective != 0 || set.permitted != 0 || set.inheritable != 0) {
            return false;
        }
    }
    return true;
}

// From root through sudo to the invoking user, with that user's groups,
// home and runtime folder.
bool TakeSudoUser(uid_t uid, gid_t gid)
{
    // Still root: let the user's process use a real-time priority for the reads.
    const rlimit realtime{RealPorts::kRealtimePriority, RealPorts::kRealtimePriority};
    setrlimit(RLIMIT_RTPRIO, &realtime);

    const passwd* user = getpwuid(uid);
    const bool groupsSet = user ? initgroups(user->pw_name, gid) == 0 : setgroups(0, nullptr) == 0;
    if (!groupsSet || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0) {
        return false;
    }
    if (user) {
        setenv("HOME", user->pw_dir, 1);
        setenv("USER", user->pw_name, 1);
        setenv("LOGNAME", user->pw_name, 1);
    }
    const std::string runtimeDir = "/run/user/" + std::to_string(uid);
    struct stat info {};
    if (stat(runtimeDir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == uid) {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    }
    return true;
}

// The saved ids too: a setuid program keeps the owner's id there.
bool HasOnlyIds(uid_t uid, gid_t gid)
{
    uid_t real = 0;
    uid_t effective = 0;
    uid_t saved = 0;
    gid_t realGroup = 0;
    gid_t effectiveGroup = 0;
    gid_t savedGroup = 0;
    return getresuid(&real, &effective, &saved) == 0 && getresgid(&realGroup, &effectiveGroup, &savedGroup) == 0
           && real == uid && effective == uid && saved == uid && realGroup == gid && effectiveGroup == gid
           && savedGroup == gid;
}

} // namespace

void GiveUpPrivileges(const IdentityChoice& identity)
{
    const auto uid = static_cast<uid_t>(identity.uid);
    const auto gid = static_cast<gid_t>(identity.gid);
    DropBoundingSet();
    bool taken = false;
    switch (identity.kind) {
    case IdentityKind::ReturnToSudoUser:
        taken = TakeSudoUser(uid, gid);
        break;
    case IdentityKind::KeepRealIds:
    case IdentityKind::RefuseSetuid:
        // Back to the real ids, the saved ones included. The supplementary
        // groups are the user's own already: setuid and setgid do not
        // change them.
        taken = setresgid(gid, gid, gid) == 0 && setresuid(uid, uid, uid) == 0;
        break;
    case IdentityKind::RefuseRootWithoutSudo:
        break; // no identity to take: never asked, and stopped if it were

    }
    if (!taken || !HasOnlyIds(uid, gid) || !DropCapabilities() || (uid != 0 && setuid(0) == 0)
        || prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) != 1) {
        StopWithPrivileges();
    }
}

#endif
