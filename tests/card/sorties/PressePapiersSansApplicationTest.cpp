// The Qt clipboard outside a graphical application: there is no clipboard to
// open, which the user sees as "Ne peut ouvrir le Presse-papiers".
#include "runtime/Exceptions.h"
#include "runtime/qt/QtPlatform.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

TEST(QtPlatformPressePapiers, without_any_application_the_clipboard_cannot_be_opened)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    QtPlatform plateForme;

    try {
        plateForme.PlaceOnClipboard("0\t0\r");
        FAIL() << "a text was placed without an application";
    } catch (const EClipboardException& erreur) {
        EXPECT_STREQ(erreur.what(), "Ne peut ouvrir le Presse-papiers");
    }
}

TEST(QtPlatformPressePapiers, a_non_graphical_application_has_no_clipboard_either)
{
    int argc = 1;
    char nom[] = "nelvar-test";
    char* argv[] = {nom, nullptr};
    QCoreApplication application(argc, argv);
    QtPlatform plateForme;

    EXPECT_THROW(plateForme.PlaceOnClipboard("0\t0\r"), EClipboardException);
}

} // namespace
