// Pinned before the application exists, Qt's plugin folders ignore
// QT_PLUGIN_PATH and keep the system's folder once the application is
// constructed. Its own process: the application is constructed here.
#include "runtime/qt/SystemPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SystemPlugins, the_environment_folder_is_not_searched_after_construction)
{
    QTemporaryDir userFolder;
    ASSERT_TRUE(userFolder.isValid());
    const QString folder = QDir(userFolder.path()).canonicalPath();
    qputenv("QT_PLUGIN_PATH", folder.toLocal8Bit());

    PinPluginsToSystemFolder();
    char name[] = "nelvar";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const QCoreApplication application(argc, argv);

    const QStringList paths = QCoreApplication::libraryPaths();
    EXPECT_FALSE(paths.contains(folder)) << paths.join(' ').toStdString();
    ASSERT_FALSE(paths.isEmpty());
    EXPECT_EQ(paths.first(), QLibraryInfo::path(QLibraryInfo::PluginsPath));
}

} // namespace
