#pragma once

#include "serialline.h"

#include <QList>
#include <QString>
#include <memory>
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

    // A group of registers a setup can be saved without.
    struct SetupGroup
    {
        QString name;
        int reads = 0;
    };

    // One register of a comparison of the meter with a setup file.
    struct ComparisonRow
    {
        QString page;
        QString setting;
        QString reg;
        QString meter;
        QString file;
        bool differs = false;
    };

    // A run of steps the operator watches and may cancel.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        // Shows `done` of `total` and what is being done; false once the
        // operator has cancelled.
        virtual bool update(int done, int total, const QString &what) = 0;
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
    // A question answered Yes (true) or No.
    virtual bool confirm(const QString &text) = 0;

    // "Save Meter Setup": which groups to read, each chosen at first; the
    // answer says for each group whether it is read, nothing on Cancel.
    // `msPerRead` lets the dialog say how long the reads take.
    virtual std::optional<QList<bool>> chooseSetupGroups(const QList<SetupGroup> &groups, qint64 msPerRead) = 0;
    // Starts a progress window with a Cancel button, titled `title`; it
    // closes when the returned object goes.
    virtual std::unique_ptr<Progress> startProgress(const QString &title) = 0;
    // The comparison of the meter with a setup file. With `writable` above
    // 0 it offers "Write N Differences to Meter"; true when that was pressed.
    // `note` is a line shown under the table.
    virtual bool showComparison(const QList<ComparisonRow> &rows, int writable, const QString &note) = 0;
};
