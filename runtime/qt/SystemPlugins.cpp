#include "runtime/qt/SystemPlugins.h"

#include <QCoreApplication>
#include <QLibraryInfo>

void PinPluginsToSystemFolder()
{
    // Before the application exists, the plugin folder is the one Qt was
    // built with. Set now, the list replaces the one from the environment,
    // and Qt keeps it when the application is constructed.
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
}
