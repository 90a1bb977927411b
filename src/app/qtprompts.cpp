#include "qtprompts.h"

#include "portselectdialog.h"
#include "setupdialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Message boxes carry the program's name as their caption.
const QString Caption = QStringLiteral("Korvane Meter Setup Utility");

// "Comma Seperated|*.CSV" as Qt writes a filter: "Comma Seperated (*.CSV)".
QString qtFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + QLatin1Char(')');
}

std::optional<QString> askFileName(QWidget *parent, const Prompts::FileQuestion &question, bool save)
{
    QFileDialog dialog(parent, question.title, QString(), qtFilter(question.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(question.defaultExtension);
    // The save dialog replaces an existing file without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<int> QtPrompts::choosePort(const QList<PortEntry> &ports)
{
    PortSelectDialog dialog(ports, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedPort();
}

Prompts::TimeoutChoice QtPrompts::timedOut(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, m_parent);
    // One role for all three keeps them in this order on every desktop; with
    // no escape button the box is answered, not closed.
    QAbstractButton *abort = box.addButton(QStringLiteral("&Abort"), QMessageBox::ActionRole);
    QAbstractButton *retry = box.addButton(QStringLiteral("&Retry"), QMessageBox::ActionRole);
    QAbstractButton *ignore = box.addButton(QStringLiteral("&Ignore"), QMessageBox::ActionRole);
    box.setDefaultButton(static_cast<QPushButton *>(retry));
    box.exec();
    if (box.clickedButton() == retry)
        return TimeoutChoice::Retry;
    if (box.clickedButton() == ignore)
        return TimeoutChoice::Ignore;
    return TimeoutChoice::Abort;
}

void QtPrompts::warning(const QString &text)
{
    QMessageBox::warning(m_parent, Caption, text);
}

void QtPrompts::error(const QString &text)
{
    QMessageBox::critical(m_parent, Caption, text);
}

void QtPrompts::message(const QString &text)
{
    // A plain box: no icon, OK.
    QMessageBox box(QMessageBox::NoIcon, Caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<QString> QtPrompts::openFileName(const FileQuestion &question)
{
    return askFileName(m_parent, question, false);
}

std::optional<QString> QtPrompts::saveFileName(const FileQuestion &question)
{
    return askFileName(m_parent, question, true);
}

void QtPrompts::fileError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("File Error"), text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.exec();
}

bool QtPrompts::confirm(const QString &text)
{
    return QMessageBox::question(m_parent, Caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

std::optional<QList<bool>> QtPrompts::chooseSetupGroups(const QList<SetupGroup> &groups, qint64 msPerRead)
{
    SetupGroupsDialog dialog(groups, msPerRead, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

std::unique_ptr<Prompts::Progress> QtPrompts::startProgress(const QString &title)
{
    return std::make_unique<SetupProgress>(title, m_parent);
}

bool QtPrompts::showComparison(const QList<ComparisonRow> &rows, int writable, const QString &note)
{
    ComparisonDialog dialog(rows, writable, note, m_parent);
    return dialog.exec() == QDialog::Accepted;
}
