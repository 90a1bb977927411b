#pragma once

#include "link/prompts.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressDialog;

// "Save Meter Setup": a check box per group, and how long the reads of the
// chosen groups take.
class SetupGroupsDialog : public QDialog
{
    Q_OBJECT
public:
    SetupGroupsDialog(const QList<Prompts::SetupGroup> &groups, qint64 msPerRead, QWidget *parent = nullptr);
    QList<bool> chosen() const;

private:
    void showReadTime();

    QList<Prompts::SetupGroup> m_groups;
    qint64 m_msPerRead;
    QList<QCheckBox *> m_boxes;
    QLabel *m_readTime = nullptr;
};

// A progress window with a Cancel button for reads and writes of a setup.
class SetupProgress : public Prompts::Progress
{
public:
    SetupProgress(const QString &title, QWidget *parent);
    ~SetupProgress() override;
    bool update(int done, int total, const QString &what) override;

private:
    QProgressDialog *m_dialog;
    qint64 m_startedMs;
};

// "Compare Meter with Setup File": the table of registers, differences
// first and marked, and the button that writes them.
class ComparisonDialog : public QDialog
{
    Q_OBJECT
public:
    ComparisonDialog(const QList<Prompts::ComparisonRow> &rows, int writable, const QString &note,
                     QWidget *parent = nullptr);
};
