#include "portdirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace {

#ifndef Q_OS_WIN
QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

QString permissionString(mode_t mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const mode_t bits[] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP, S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        text += (mode & bits[i]) ? QLatin1Char(letters[i]) : QLatin1Char('-');
    return text;
}

QString processName(pid_t pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString describeProcess(pid_t pid)
{
    const QString name = processName(pid);
    return name.isEmpty() ? QStringLiteral("process %1").arg(pid) : QStringLiteral("%1, process %2").arg(name).arg(pid);
}

bool processAlive(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Lock files hold the owner's pid as text. Most programs name them after
// the device ("LCK..ttyUSB0"); Qt uses the whole path given to it, less
// "/dev/", with '/' turned into '_'.
QString lockFileHolder(const QString &device, const QString &canonicalPath)
{
    QStringList names;
    for (const QString &path : {device, canonicalPath}) {
        QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
        names << name.replace(QLatin1Char('/'), QLatin1Char('_'));
    }
    names << QFileInfo(canonicalPath).fileName();
    names.removeDuplicates();

    const QStringList folders = {QStringLiteral("/run/lock"), QStringLiteral("/var/lock"),
                                 QStringLiteral("/var/lock/lockdev"), QStringLiteral("/tmp")};
    for (const QString &folder : folders) {
        for (const QString &name : names) {
            QFile lock(folder + QStringLiteral("/LCK..") + name);
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            const QByteArray firstLine = lock.readLine(64).trimmed();
            bool ok = false;
            const pid_t pid = firstLine.toInt(&ok);
            if (ok && pid != ::getpid() && processAlive(pid))
                return describeProcess(pid);
        }
    }
    return {};
}

// Looks through the open files of the processes this user may inspect.
QString processHolding(const QString &canonicalPath)
{
    const QByteArray wanted = QFile::encodeName(canonicalPath);
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pidText : pids) {
        bool ok = false;
        const pid_t pid = pidText.toInt(&ok);
        if (!ok || pid == ::getpid())
            continue;
        const QString fdFolder = QStringLiteral("/proc/%1/fd").arg(pid);
        const QStringList fds = QDir(fdFolder).entryList(QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : fds) {
            char target[512];
            const QByteArray link = QFile::encodeName(fdFolder + QLatin1Char('/') + fd);
            const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
            if (length > 0 && QByteArray(target, int(length)) == wanted)
                return describeProcess(pid);
        }
    }
    return {};
}

bool hasGroupNow(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[size_t(i)] == gid)
            return true;
    }
    return false;
}

bool listedInGroup(const passwd *user, gid_t gid)
{
    if (!user)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        if (groups[size_t(i)] == gid)
            return true;
    }
    return false;
}
#endif

// Adapter descriptions keyed the way devices are matched: by canonical path
// on Unix, by port name on Windows.
QHash<QString, QString> adapterDescriptions()
{
    QHash<QString, QString> result;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        QString text = info.description();
        const QString maker = info.manufacturer();
        if (!maker.isEmpty() && !text.contains(maker, Qt::CaseInsensitive))
            text = text.isEmpty() ? maker : QStringLiteral("%1 (%2)").arg(text, maker);
        if (text.isEmpty())
            continue;
#ifdef Q_OS_WIN
        result.insert(info.portName().toUpper(), text);
#else
        result.insert(canonical(info.systemLocation()), text);
#endif
    }
    return result;
}

} // namespace

QString PortDirectory::devicePath(int n)
{
#ifdef Q_OS_WIN
    return devicePath(n, QString());
#else
    return devicePath(n, n >= FirstLinkPort ? linkFolder() : QString());
#endif
}

QString PortDirectory::devicePath(int n, const QString &folder)
{
    if (n < FirstPort || n > LastPort)
        return {};
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return QStringLiteral("\\\\.\\COM%1").arg(n);
#else
    if (n <= 16)
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    if (n <= 32)
        return QStringLiteral("/dev/ttyUSB%1").arg(n - 17);
    if (n <= 40)
        return QStringLiteral("/dev/ttyACM%1").arg(n - 33);
    return folder + QLatin1Char('/') + portName(n);
#endif
}

QString PortDirectory::linkFolder()
{
#ifdef Q_OS_WIN
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/meter-setup/ports");
#endif
}

QList<PortEntry> PortDirectory::list() const
{
    QList<PortEntry> entries;
    QHash<QString, QString> descriptions;
    bool descriptionsRead = false;
    const QString folder = linkFolder();

    for (int n = FirstPort; n <= LastPort; ++n) {
        const QString path = devicePath(n, folder);
#ifndef Q_OS_WIN
        // Most numbers have no device behind them; stat() rules them out
        // without the cost of an open attempt. stat() follows links, so a
        // dangling link is skipped here as well.
        struct stat info
        {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
            continue;
#endif
        QSerialPort port;
        port.setPortName(path);
        bool busy = false;
        if (port.open(QIODevice::ReadWrite))
            port.close();
        else if (port.error() == QSerialPort::PermissionError)
            busy = true;
        else
            continue;

        if (!descriptionsRead) {
            descriptions = adapterDescriptions();
            descriptionsRead = true;
        }
        PortEntry entry;
        entry.number = n;
        entry.busy = busy;
#ifdef Q_OS_WIN
        entry.device = portName(n);
        entry.description = descriptions.value(portName(n));
#else
        const QString target = canonical(path);
        entry.device = QFileInfo(path).isSymLink() ? QStringLiteral("%1 -> %2").arg(path, target) : path;
        entry.description = descriptions.value(target);
#endif
        entries.append(entry);
    }
    return entries;
}

OpenFailureFacts PortDirectory::gatherOpenFailureFacts(const QString &device, QSerialPort::SerialPortError error,
                                                       const QString &systemReason)
{
    OpenFailureFacts facts;
    facts.device = device;
    facts.error = error;
    facts.systemReason = systemReason;
#ifdef Q_OS_WIN
    facts.exists = error != QSerialPort::DeviceNotFoundError;
    facts.accessible = error != QSerialPort::PermissionError;
#else
    const QFileInfo link(device);
    if (link.isSymLink())
        facts.linkTarget = link.symLinkTarget();
    const QByteArray path = QFile::encodeName(device);
    struct stat info
    {};
    if (::stat(path.constData(), &info) != 0) {
        facts.exists = false;
        return facts;
    }
    facts.accessible = ::access(path.constData(), R_OK | W_OK) == 0;
    if (facts.accessible) {
        // Another program that set TIOCEXCL makes every further open fail
        // with EBUSY; Qt reports that as a permission problem.
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        else
            facts.exclusive = errno == EBUSY;
    }
    const QString target = canonical(device);
    facts.holder = lockFileHolder(device, target);
    if (facts.holder.isEmpty())
        facts.holder = processHolding(target);

    facts.permissions = permissionString(info.st_mode);
    facts.groupMayReadWrite = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (const group *owner = ::getgrgid(info.st_gid))
        facts.groupName = QString::fromLocal8Bit(owner->gr_name);
    else
        facts.groupName = QString::number(info.st_gid);
    const passwd *user = ::getpwuid(::geteuid());
    if (user)
        facts.userName = QString::fromLocal8Bit(user->pw_name);
    facts.inGroupNow = hasGroupNow(info.st_gid);
    facts.inGroupDatabase = facts.inGroupNow || listedInGroup(user, info.st_gid);
#endif
    return facts;
}

int PortDirectory::portNumberOf(const QString &device)
{
    const QString wanted = QFileInfo(device).absoluteFilePath();
    for (int n = FirstPort; n <= LastPort; ++n) {
        if (devicePath(n) == wanted)
            return n;
    }
    return 0;
}

QString PortDirectory::holderOf(const QString &device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    return QString();
#else
    const QString target = canonical(device);
    const QString holder = lockFileHolder(device, target);
    return holder.isEmpty() ? processHolding(target) : holder;
#endif
}

QString PortDirectory::explainOpenFailure(const OpenFailureFacts &f)
{
    QString text = QStringLiteral("The serial port %1 could not be opened.").arg(f.device);
    if (!f.systemReason.isEmpty())
        text += QStringLiteral("\nThe system reports: %1").arg(f.systemReason);
    text += QStringLiteral("\n\n");

    if (!f.exists) {
        if (!f.linkTarget.isEmpty())
            return text
                   + QStringLiteral("It is a link to %1, which does not exist. Check that the "
                                    "device is connected, or point the link at the right device.")
                         .arg(f.linkTarget);
        return text
               + QStringLiteral("The device does not exist. Check that the converter is "
                                "plugged in, or choose another port.");
    }

    const bool refused = f.error == QSerialPort::PermissionError || f.exclusive;
    if (refused && (f.accessible || f.exclusive || !f.holder.isEmpty())) {
        const QString who = f.holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(f.holder);
        return text
               + QStringLiteral("The port is in use by another program%1. Close that program, "
                                "or choose another port.")
                     .arg(who);
    }

    if (f.error == QSerialPort::PermissionError) {
        const QString user = f.userName.isEmpty() ? QStringLiteral("your account")
                                                  : QStringLiteral("the account \"%1\"").arg(f.userName);
        QString userAtStart = user;
        userAtStart[0] = userAtStart[0].toUpper();
        if (!f.groupMayReadWrite)
            return text
                   + QStringLiteral("The permissions of the device (%1, group \"%2\") do not let "
                                    "%3 read and write it, and joining the group would not "
                                    "change that. Ask an administrator to give %3 access to the "
                                    "device, for example with a udev rule that sets its group "
                                    "and mode.")
                         .arg(f.permissions, f.groupName, user);
        if (!f.inGroupDatabase)
            return text
                   + QStringLiteral("The device belongs to the group \"%1\" (%2), and %3 is not a "
                                    "member of it. Ask an administrator to add it, for example "
                                    "with: sudo usermod -aG %1 %4\n"
                                    "A user who has just been added to the group must log out "
                                    "and log in again before the change takes effect.")
                         .arg(f.groupName, f.permissions, user,
                              f.userName.isEmpty() ? QStringLiteral("$USER") : f.userName);
        if (!f.inGroupNow)
            return text
                   + QStringLiteral("The device belongs to the group \"%1\", and %2 has been added "
                                    "to it, but this login session started before that. Log out "
                                    "and log in again (or restart the computer) so the new group "
                                    "membership takes effect.")
                         .arg(f.groupName, user);
        return text
               + QStringLiteral("%1 is a member of the group \"%2\" that owns the device (%3), "
                                "but access is still refused. Ask an administrator to check the "
                                "device's access rights.")
                     .arg(userAtStart, f.groupName, f.permissions);
    }

    return text
           + QStringLiteral("Check that the device is a working serial port, or choose "
                            "another port.");
}

QString PortDirectory::explainOpenFailure(const QString &device, QSerialPort::SerialPortError error,
                                          const QString &systemReason)
{
    return explainOpenFailure(gatherOpenFailureFacts(device, error, systemReason));
}
