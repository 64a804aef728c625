#include "bookcare/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace TemporaryFiles {

namespace {

// A few slots are plenty: a command writes one book at a time.
constexpr int Slots = 4;
constexpr size_t PathBytes = 4096;

struct Slot {
    char path[PathBytes];
    char journal[PathBytes];
    volatile sig_atomic_t used;
};
Slot remembered[Slots];

bool fill(char *target, const QByteArray &path, const char *suffix)
{
    if (size_t(path.size()) + std::strlen(suffix) >= PathBytes)
        return false;
    std::memcpy(target, path.constData(), size_t(path.size()));
    std::strcpy(target + path.size(), suffix);
    return true;
}

void onSignal(int signal)
{
    removeAll();
    std::signal(signal, SIG_DFL);
    raise(signal);
}

} // namespace

void add(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    for (Slot &slot : remembered) {
        if (slot.used)
            continue;
        if (fill(slot.path, encoded, "") && fill(slot.journal, encoded, "-journal"))
            slot.used = 1;
        return;
    }
}

void forget(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    for (Slot &slot : remembered)
        if (slot.used && encoded == slot.path)
            slot.used = 0;
}

void removeAll()
{
    for (Slot &slot : remembered) {
        if (!slot.used)
            continue;
        unlink(slot.path);
        unlink(slot.journal);
    }
}

namespace {

QString hostTag()
{
    QString host = QSysInfo::machineHostName();
    host.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    return host;
}

} // namespace

QString ownerTag()
{
    return QStringLiteral("%1-%2").arg(hostTag()).arg(qint64(getpid()));
}

void removeStale(const QString &folder)
{
    static const QRegularExpression temporary(
        QStringLiteral(R"(^\..+\.([A-Za-z0-9]*)-(\d+)\.[0-9a-f]{32}\.tmp(-journal)?$)"));
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = temporary.match(name);
        if (!match.hasMatch() || match.captured(1) != hostTag())
            continue;
        const pid_t pid = pid_t(match.captured(2).toLongLong());
        if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH)
            QFile::remove(dir.filePath(name));
    }
}

void removeOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

} // namespace TemporaryFiles
