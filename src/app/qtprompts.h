#pragma once

#include "link/prompts.h"

class QWidget;

// The dialogs a person answers: Qt message boxes and the port selection.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

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
    QWidget *m_parent = nullptr;
};
