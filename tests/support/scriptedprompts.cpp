#include "scriptedprompts.h"

std::optional<int> ScriptedPrompts::choosePort(const QList<PortEntry> &ports)
{
    offeredPorts = ports;
    asked.append({QStringLiteral("port"), QString()});
    return portAnswer;
}

Prompts::TimeoutChoice ScriptedPrompts::timedOut(const QString &text, const QString &caption)
{
    asked.append({QStringLiteral("timeout"), text});
    lastTimeoutCaption = caption;
    if (whileTimeoutOpen)
        whileTimeoutOpen();
    return timeoutAnswers.isEmpty() ? TimeoutChoice::Abort : timeoutAnswers.takeFirst();
}

void ScriptedPrompts::warning(const QString &text)
{
    asked.append({QStringLiteral("warning"), text});
}

void ScriptedPrompts::error(const QString &text)
{
    asked.append({QStringLiteral("error"), text});
}

void ScriptedPrompts::message(const QString &text)
{
    asked.append({QStringLiteral("message"), text});
}

std::optional<QString> ScriptedPrompts::openFileName(const FileQuestion &question)
{
    asked.append({QStringLiteral("open"), question.title});
    lastFileQuestion = question;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

std::optional<QString> ScriptedPrompts::saveFileName(const FileQuestion &question)
{
    asked.append({QStringLiteral("save"), question.title});
    lastFileQuestion = question;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

void ScriptedPrompts::fileError(const QString &text)
{
    asked.append({QStringLiteral("fileError"), text});
}

bool ScriptedPrompts::confirm(const QString &text)
{
    asked.append({QStringLiteral("confirm"), text});
    return !confirmAnswers.isEmpty() && confirmAnswers.takeFirst();
}

std::optional<QList<bool>> ScriptedPrompts::chooseSetupGroups(const QList<SetupGroup> &groups, qint64)
{
    asked.append({QStringLiteral("groups"), QString()});
    offeredGroups = groups;
    if (groupAnswer)
        return *groupAnswer;
    return QList<bool>(groups.size(), true);
}

namespace {
class ScriptedProgress : public Prompts::Progress
{
public:
    ScriptedProgress(ScriptedPrompts *prompts) : m_prompts(prompts) {}
    bool update(int done, int, const QString &what) override
    {
        m_prompts->progressSteps.append(what);
        return m_prompts->cancelProgressAt < 0 || done < m_prompts->cancelProgressAt;
    }

private:
    ScriptedPrompts *m_prompts;
};
} // namespace

std::unique_ptr<Prompts::Progress> ScriptedPrompts::startProgress(const QString &title)
{
    asked.append({QStringLiteral("progress"), title});
    return std::make_unique<ScriptedProgress>(this);
}

bool ScriptedPrompts::showComparison(const QList<ComparisonRow> &rows, int writable, const QString &note)
{
    asked.append({QStringLiteral("comparison"), note});
    comparisons.append(rows);
    comparisonNotes.append(note);
    comparisonWritable.append(writable);
    return !comparisonAnswers.isEmpty() && comparisonAnswers.takeFirst();
}

int ScriptedPrompts::count(const QString &kind) const
{
    return int(std::count_if(asked.begin(), asked.end(), [&kind](const Question &q) { return q.kind == kind; }));
}

QStringList ScriptedPrompts::texts(const QString &kind) const
{
    QStringList out;
    for (const Question &q : asked) {
        if (q.kind == kind)
            out.append(q.text);
    }
    return out;
}
