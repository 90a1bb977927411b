#pragma once

#include "serialline.h"

#include <QList>
#include <QString>
#include <optional>

// Every question the program asks a person goes through this one seam, so
// tests can answer them by script and record what was asked.
class Prompts
{
public:
    enum class TimeoutChoice { Abort, Retry, Ignore };

    // An open-file or save-file question. The filter is "Description|*.EXT";
    // a name given without an extension gets the default one.
    struct FileQuestion
    {
        QString title;
        QString filter;
        QString defaultExtension;
    };

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
    // The name of an existing file to open, or nothing on Cancel.
    virtual std::optional<QString> openFileName(const FileQuestion &question) = 0;
    // The name of a file to write (an existing one is replaced without
    // asking), or nothing on Cancel.
    virtual std::optional<QString> saveFileName(const FileQuestion &question) = 0;
    // "File Error" with OK and Cancel, either of which closes it.
    virtual void fileError(const QString &text) = 0;
};
