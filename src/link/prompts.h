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
};
