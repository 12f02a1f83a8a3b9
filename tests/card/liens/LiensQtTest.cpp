// The author links on the Qt desktop service: the URL that QDesktopServices
// receives for each address. A URL handler registered for the scheme takes
// the place of the desktop's applications, so nothing is launched.
#include "card/Adresses.h"
#include "card/UDravoC.h"
#include "runtime/qt/QtPlatform.h"
#include "tests/acquisition/support/FakePorts.h"

#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class UrlRecorder : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

// Takes the schemes of the test from the desktop while it lives.
class Handlers {
public:
    explicit Handlers(UrlRecorder& recorder)
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "Open");
    }
    ~Handlers()
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    Handlers(const Handlers&) = delete;
    Handlers& operator=(const Handlers&) = delete;

private:
    static constexpr const char* kSchemes[] = {"https", "mailto", "file"};
};

} // namespace

TEST(LiensQt, the_two_menu_addresses_reach_the_desktop_as_web_page_and_mail_link)
{
    UDravoC::ReinitialiserEtatUnite();
    UrlRecorder recorder;
    Handlers handlers(recorder);
    FakePorts ports;
    QtPlatform platform;
    TDravoC P(ports, &platform);

    P.AccederAuSite(kAdresseSite);
    P.EcrireAuteur(kAdresseCourrielMailto);

    ASSERT_EQ(recorder.urls.size(), 2u);
    EXPECT_EQ(recorder.urls[0].toString(), QStringLiteral("https://nelvar.example.org/"));
    EXPECT_EQ(recorder.urls[1].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(recorder.urls[1].path(), QStringLiteral("auteur@nelvar.example.org"));
    EXPECT_EQ(recorder.urls[1].toString(), QStringLiteral("mailto:auteur@nelvar.example.org"));
    UDravoC::ReinitialiserEtatUnite();
}

TEST(LiensQt, an_address_without_a_scheme_is_opened_as_a_file_of_the_current_folder)
{
    // As a shell's open operation does with a bare name: the bare mailbox is
    // no mail link, which is why the menu passes the mailto: form.
    UrlRecorder recorder;
    Handlers handlers(recorder);
    QtPlatform platform;

    EXPECT_TRUE(platform.OpenAddress(kAdresseCourriel));
    EXPECT_TRUE(platform.OpenAddress("/tmp/Valeurs/Mesures 1.txt"));

    ASSERT_EQ(recorder.urls.size(), 2u);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(QDir::current().absoluteFilePath(QString::fromLatin1(kAdresseCourriel))));
    EXPECT_EQ(recorder.urls[1], QUrl::fromLocalFile(QStringLiteral("/tmp/Valeurs/Mesures 1.txt")));
}

TEST(LiensQt, addresses_with_a_scheme_are_handed_over_as_written)
{
    UrlRecorder recorder;
    Handlers handlers(recorder);
    QtPlatform platform;

    platform.OpenAddress("https://nelvar.example.org/mode-d-emploi?page=2#voies");
    platform.OpenAddress("mailto:auteur@nelvar.example.org?subject=Nelvar");
    platform.OpenAddress("file:///tmp/Valeurs/Mesures1.txt");

    ASSERT_EQ(recorder.urls.size(), 3u);
    EXPECT_EQ(recorder.urls[0].toString(), QStringLiteral("https://nelvar.example.org/mode-d-emploi?page=2#voies"));
    EXPECT_EQ(recorder.urls[1].toString(), QStringLiteral("mailto:auteur@nelvar.example.org?subject=Nelvar"));
    EXPECT_EQ(recorder.urls[2].toLocalFile(), QStringLiteral("/tmp/Valeurs/Mesures1.txt"));
}

#include "LiensQtTest.moc"
