#include "SeparatorFixture.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <locale.h>
#include <unistd.h>

namespace {

// The separator at start is read once, on first use, so each case runs in a
// fresh child process (the "threadsafe" style re-executes the test binary),
// which sets the environment it names and exits 0 when the separator is the
// one expected. The test process's own environment is left alone. The child
// leaves through _exit: glibc keeps the LOCPATH search list of newlocale for
// the life of the process, and the leak check at exit would count it.
void ExpectSeparatorAtStart(const char* lcAll, const char* lang, char expected)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto poser = [](const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    EXPECT_EXIT(
        {
            poser("LC_ALL", lcAll);
            poser("LC_NUMERIC", nullptr);
            poser("LANG", lang);
            _exit(DecimalSeparator() == expected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << "LC_ALL=" << (lcAll ? lcAll : "(unset)") << " LANG=" << (lang ? lang : "(unset)");
}

TEST(SeparatorAtStart, is_the_comma_without_an_installed_regional_setting)
{
    ExpectSeparatorAtStart(nullptr, nullptr, ',');
    ExpectSeparatorAtStart("C", nullptr, ',');
    ExpectSeparatorAtStart("POSIX", nullptr, ',');
    ExpectSeparatorAtStart(nullptr, "C.UTF-8", ',');
    ExpectSeparatorAtStart("xx_NOWHERE.UTF-8", nullptr, ',');
}

// A locale with a point as its radix character, compiled into a temporary
// folder with localedef and found through LOCPATH. The child processes of the
// death tests inherit LOCPATH and reuse the folder of their parent.
class CompiledLocale {
public:
    CompiledLocale()
    {
        const char* existing = std::getenv("LOCPATH");
        if (existing && std::filesystem::exists(std::filesystem::path(existing) / kName)) {
            ready_ = true;
            return;
        }
        std::string model = ::testing::TempDir() + "numtext-locale-XXXXXX";
        if (!mkdtemp(model.data()))
            return;
        folder_ = model;
        const std::string command = "localedef -i en_US -f UTF-8 " + folder_ + "/" + kName + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        setenv("LOCPATH", folder_.c_str(), 1);
        ready_ = true;
    }
    ~CompiledLocale()
    {
        if (!folder_.empty()) {
            unsetenv("LOCPATH");
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }
    bool Ready() const { return ready_; }
    static constexpr const char* kName = "en_US.UTF-8";

private:
    std::string folder_;
    bool ready_ = false;
};

TEST(SeparatorAtStart, is_the_radix_character_of_the_regional_setting)
{
    CompiledLocale locale;
    if (!locale.Ready())
        GTEST_SKIP() << "localedef or the en_US locale source is not available";
    ExpectSeparatorAtStart(nullptr, CompiledLocale::kName, '.');
    ExpectSeparatorAtStart(CompiledLocale::kName, "C", '.');
    ExpectSeparatorAtStart("C", CompiledLocale::kName, ',');
}

using SeparatorAndCLocale = CommaSeparatorTest;

TEST_F(SeparatorAndCLocale, does_not_depend_on_the_process_c_locale)
{
    // Whatever C locale a library installs, the texts follow only the separator.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(FormatGeneral(0.5, 4, DecimalSeparator()), "0,5");
    EXPECT_EQ(ReadNumber("0,5", DecimalSeparator()), 0.5L);
    std::setlocale(LC_NUMERIC, before.c_str());
}

} // namespace
