// The author links of the card component: the status they leave, the
// notification they send, and the address that reaches the open service.
#include "card/Adresses.h"
#include "card/UDravoC.h"
#include "runtime/Platform.h"
#include "tests/acquisition/support/FakePorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every address it is asked to open, and the events around them.
class FakePlatform final : public Platform {
public:
    explicit FakePlatform(std::vector<std::string>& journal) : journal_(journal) {}

    void PlaceOnClipboard(const std::string&) override { journal_.push_back("clipboard"); }
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest&) override
    {
        journal_.push_back("save dialog");
        return std::nullopt;
    }
    bool ConfirmReplace(const std::string&) override
    {
        journal_.push_back("replace question");
        return false;
    }
    bool OpenAddress(const std::string& address) override
    {
        journal_.push_back("open " + address);
        opened.push_back(address);
        return accepts;
    }

    bool accepts = true;
    std::vector<std::string> opened;

private:
    std::vector<std::string>& journal_;
};

class Liens : public ::testing::Test {
protected:
    Liens() { UDravoC::ReinitialiserEtatUnite(); }
    ~Liens() override { UDravoC::ReinitialiserEtatUnite(); }

    std::vector<std::string> journal;
    FakePorts ports;
    FakePlatform platform{journal};
    TDravoC P{ports, &platform};
};

using Link = bool (TDravoC::*)(const std::string&);
constexpr Link kLinks[] = {&TDravoC::AccederAuSite, &TDravoC::EcrireAuteur};

} // namespace

TEST(Adresses, the_web_page_the_mailbox_and_its_mailto_link)
{
    EXPECT_STREQ(kAdresseSite, "https://nelvar.example.org/");
    EXPECT_STREQ(kAdresseCourriel, "auteur@nelvar.example.org");
    EXPECT_STREQ(kAdresseCourrielMailto, "mailto:auteur@nelvar.example.org");
    EXPECT_EQ(kAdresseCourrielMailtoTexte.size(), 33u); // 32 characters and the terminating zero
}

TEST_F(Liens, both_links_hand_any_address_over_byte_for_byte)
{
    // Blanks, accents (UTF-8), a bare mailbox and an empty address: none is
    // completed, trimmed or encoded on the way.
    const std::vector<std::string> addresses = {
        " https://exemple.example.org/a b?x=1&y=é ",
        "auteur@nelvar.example.org",
        "/home/élève/Valeurs/Mesures1.txt",
        "",
    };
    for (const Link link : kLinks) {
        platform.opened.clear();
        for (const std::string& address : addresses)
            (P.*link)(address);
        EXPECT_EQ(platform.opened, addresses);
    }
}

TEST_F(Liens, each_link_clears_and_announces_the_status_then_opens_and_tells_whether_the_address_opened)
{
    // Only the open service is used: no port, clipboard, dialog or question.
    ports.ClearAccesses();
    P.OnUsing = [this](TDravoC& sender) {
        journal.push_back("using, code " + std::to_string(sender.CodeErreur) + ", message '" + sender.MessageErreur + "'");
    };
    for (const bool accepts : {true, false}) {
        platform.accepts = accepts;
        for (const Link link : kLinks) {
            SCOPED_TRACE(accepts ? "accepted" : "refused");
            journal.clear();
            P.CodeErreur = 6;
            P.MessageErreur = "erreur précédente";

            bool opened = !accepts;
            EXPECT_NO_THROW(opened = (P.*link)("https://nelvar.example.org/"));

            EXPECT_EQ(opened, accepts);
            EXPECT_EQ(journal, (std::vector<std::string>{"using, code 0, message ''", "open https://nelvar.example.org/"}));
            EXPECT_EQ(P.CodeErreur, 0);
            EXPECT_EQ(P.MessageErreur, "");
        }
    }
    EXPECT_TRUE(ports.Accesses().empty());
}

TEST(LiensSansPlateForme, a_component_without_desktop_services_still_clears_and_announces)
{
    UDravoC::ReinitialiserEtatUnite();
    FakePorts ports;
    TDravoC P(ports);
    int announcements = 0;
    P.OnUsing = [&announcements](TDravoC&) { ++announcements; };
    for (const Link link : kLinks) {
        P.CodeErreur = 4;
        P.MessageErreur = "Durée d'une mesure de tension supérieure à 60 secondes";

        EXPECT_FALSE((P.*link)(kAdresseSite)) << "nothing opens an address here";

        EXPECT_EQ(P.CodeErreur, 0);
        EXPECT_EQ(P.MessageErreur, "");
    }
    EXPECT_EQ(announcements, 2);
    UDravoC::ReinitialiserEtatUnite();
}
