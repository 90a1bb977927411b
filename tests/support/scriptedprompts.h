#pragma once

#include "link/prompts.h"

#include <QList>
#include <QString>
#include <functional>

// Answers every question from a script and records what was asked.
class ScriptedPrompts : public Prompts
{
public:
    struct Question
    {
        // "port", "timeout", "warning", "error", "message", "open", "save",
        // "fileError"; a file question's text is its title.
        QString kind;
        QString text;
    };

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

    int count(const QString &kind) const;
    QStringList texts(const QString &kind) const;

    QList<Question> asked;
    QList<PortEntry> offeredPorts;
    std::optional<int> portAnswer = 41;
    // Answers to the time-out dialog in order; Abort once they run out.
    QList<TimeoutChoice> timeoutAnswers;
    // Runs while the time-out dialog is open, before it is answered.
    std::function<void()> whileTimeoutOpen;
    QString lastTimeoutCaption;
    // Answers to the open-file and save-file questions in order; Cancel once
    // they run out.
    QList<std::optional<QString>> fileAnswers;
    FileQuestion lastFileQuestion;
    // Answers to confirm() in order; No once they run out.
    QList<bool> confirmAnswers;
    // The groups offered last, and the answer: every group unless set.
    QList<SetupGroup> offeredGroups;
    std::optional<std::optional<QList<bool>>> groupAnswer;
    // A progress window cancels once `done` reaches this (-1: never).
    int cancelProgressAt = -1;
    QStringList progressSteps; // "what" of every update, in order
    // The comparisons shown, and the answers in order (Write = true);
    // Close once they run out.
    QList<QList<ComparisonRow>> comparisons;
    QStringList comparisonNotes;
    QList<int> comparisonWritable;
    QList<bool> comparisonAnswers;
};
