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
