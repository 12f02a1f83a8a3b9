#pragma once
// Qt's plugins from the system's folder only, for a process that holds
// hardware ports after giving up its privileges: call before the
// QApplication exists, once the plugin variables of the environment are
// cleared (acquisition/Privileges.h).
//
// What Qt still trusts is the program's own folder: when the application is
// constructed, Qt adds it to the plugin folders and reads a qt.conf found
// there, and no setting prevents either. The program must therefore sit in
// a folder that only root can write (/usr/bin).
void PinPluginsToSystemFolder();
