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

TEST(Adresses, the_mailto_form_is_the_scheme_followed_by_the_bare_mailbox)
{
    const std::string mailbox = kAdresseCourriel;
    const std::string link = kAdresseCourrielMailto;

    EXPECT_EQ(link, "mailto:" + mailbox);
    EXPECT_EQ(mailbox.find(':'), std::string::npos) << "the mailbox carries no scheme of its own";
    EXPECT_EQ(kAdresseCourrielMailtoTexte.back(), '\0');
    EXPECT_EQ(kAdresseCourrielMailtoTexte.size(), link.size() + 1);
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

TEST_F(Liens, the_status_is_cleared_and_announced_before_the_address_is_opened)
{
    for (const Link link : kLinks) {
        journal.clear();
        P.CodeErreur = 6;
        P.MessageErreur = "erreur précédente";
        P.OnUsing = [this](TDravoC& sender) {
            journal.push_back("using, code " + std::to_string(sender.CodeErreur) + ", message '" + sender.MessageErreur + "'");
        };

        (P.*link)("https://nelvar.example.org/");

        EXPECT_EQ(journal, (std::vector<std::string>{"using, code 0, message ''", "open https://nelvar.example.org/"}));
    }
}

TEST_F(Liens, a_refused_address_is_told_to_the_caller_and_changes_nothing_else)
{
    for (const bool accepts : {true, false}) {
        platform.accepts = accepts;
        for (const Link link : kLinks) {
            P.CodeErreur = 5;
            P.MessageErreur = "Fréquence incorrecte";

            bool opened = !accepts;
            EXPECT_NO_THROW(opened = (P.*link)("auteur@nelvar.example.org"));

            EXPECT_EQ(opened, accepts);
            EXPECT_EQ(P.CodeErreur, 0);
            EXPECT_EQ(P.MessageErreur, "");
        }
    }
    EXPECT_EQ(platform.opened.size(), 4u);
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

TEST_F(Liens, the_links_touch_neither_the_card_nor_the_clipboard_nor_the_files)
{
    ports.ClearAccesses();

    P.AccederAuSite(kAdresseSite);
    P.EcrireAuteur(kAdresseCourrielMailto);

    EXPECT_TRUE(ports.Accesses().empty());
    EXPECT_EQ(journal, (std::vector<std::string>{std::string("open ") + kAdresseSite, std::string("open mailto:") + kAdresseCourriel}));
}
