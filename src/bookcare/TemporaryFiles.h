#pragma once

#include <QString>

// The temporary book files that exist at the moment (with their journals),
// so that a process killed by a signal can remove them first. Its handler
// may call removeAll(): it only unlinks, it allocates nothing.
namespace TemporaryFiles {

void add(const QString &path);
void forget(const QString &path);

// Async-signal-safe: unlinks every remembered file and its "-journal".
void removeAll();

// "HOST-PID" of this process, for the names of its temporary files.
QString ownerTag();
// Removes the temporary books (".NAME.HOST-PID.ID.tmp") and their journals
// in folder that a process of this host left behind when it died (kill -9).
void removeStale(const QString &folder);

// Installs handlers of SIGINT, SIGTERM, SIGHUP and SIGXFSZ that call
// removeAll() and then end the process by the same signal.
void removeOnSignals();

} // namespace TemporaryFiles
