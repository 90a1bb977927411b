#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstance::SingleInstance(const QString &name) : m_name(name)
{
#ifndef Q_OS_WIN
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_path = QDir(folder).filePath(name + QStringLiteral(".lock"));
#endif
}

SingleInstance::~SingleInstance()
{
#ifdef Q_OS_WIN
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
#else
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
#endif
}

bool SingleInstance::acquire()
{
#ifdef Q_OS_WIN
    HANDLE existing = OpenMutexW(SYNCHRONIZE, FALSE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    if (existing) {
        CloseHandle(existing);
        return false;
    }
    m_handle = CreateMutexW(nullptr, TRUE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    return m_handle != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
#else
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return true; // no place for a lock: do not keep the operator out
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
#endif
}
