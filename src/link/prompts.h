#pragma once

#include "serialline.h"

#include <QList>
#include <QString>
#include <optional>

// What a file dialog shows: its title, its filter ("Name|*.EXT") and the
// extension added to a name typed without one.
struct FileQuestion
{
    QString title;
    QString filter;
    QString defaultExtension;
};

// Every question the program asks a person goes through this one seam, so
// tests can answer them by script and record what was asked.
class Prompts
{
public:
    enum class TimeoutChoice { Abort, Retry, Ignore };

    virtual ~Prompts() = default;

    // "Select Port": returns the chosen port number, or nothing on Cancel.
    virtual std::optional<int> choosePort(const QList<PortEntry> &ports) = 0;
    // "Communications Error" with Abort, Retry and Ignore.
    virtual TimeoutChoice timedOut(const QString &text, const QString &caption) = 0;
    // Warning icon and OK.
    virtual void warning(const QString &text) = 0;
    // The standard error box for a failed handler.
    virtual void error(const QString &text) = 0;
    // A plain message box with OK.
    virtual void message(const QString &text) = 0;
    // A file to read, or nothing on Cancel.
    virtual std::optional<QString> openFileName(const FileQuestion &question) = 0;
    // A file to write, or nothing on Cancel; an existing file is replaced
    // without asking.
    virtual std::optional<QString> saveFileName(const FileQuestion &question) = 0;
    // The "File Error" box with OK and Cancel.
    virtual void fileError(const QString &text) = 0;
};
