#pragma once

#include <QString>

// Lets one copy of the program run at a time. On Windows it is a named
// mutex; elsewhere an advisory lock on a file in the runtime folder, which
// the system releases when its owner ends, even when it was killed.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this process now holds the guard.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_name;
    QString m_path;
    void *m_handle = nullptr;
    int m_fd = -1;
};
