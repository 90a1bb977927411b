#pragma once

#include "link/prompts.h"

#include <QTextStream>
#include <functional>

// The questions of the link and the setup as a terminal asks them: messages
// go to stderr with the program's name in front, the port is the one named
// on the command line, a time-out ends the run, and a yes/no question is
// asked only where someone can answer it.
class CliPrompts : public Prompts
{
public:
    struct Terminal
    {
        QTextStream *err = nullptr;
        // Whether a person reads stderr (progress shows) and can answer on stdin.
        bool errIsTerminal = false;
        bool inIsTerminal = false;
        // Reads one answer line from the terminal.
        std::function<QString()> readAnswer;
    };

    CliPrompts(Terminal terminal, int port);

    // Prints a message for the operator: "meter-cli: text".
    void say(const QString &text);

    bool timedOutOnce() const { return m_timedOut; }
    // Set by an interrupt: progress reports the run as cancelled.
    void setInterrupted(bool interrupted) { m_interrupted = interrupted; }

    std::optional<int> choosePort(const QList<PortEntry> &ports) override;
    TimeoutChoice timedOut(const QString &text, const QString &caption) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    void message(const QString &text) override;
    std::optional<QString> openFileName(const FileQuestion &question) override;
    std::optional<QString> saveFileName(const FileQuestion &question) override;
    void fileError(const QString &text) override;
    bool confirm(const QString &text) override;
    std::optional<QList<bool>> chooseSetupGroups(const QList<SetupGroup> &groups, qint64 msPerRead) override;
    std::unique_ptr<Progress> startProgress(const QString &title) override;
    bool showComparison(const QList<ComparisonRow> &rows, int writable, const QString &note) override;

private:
    Terminal m_terminal;
    int m_port;
    bool m_timedOut = false;
    bool m_interrupted = false;
};
