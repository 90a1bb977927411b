#include "qtprompts.h"

#include "portselectdialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
// Message boxes carry the program's name as their caption.
const QString Caption = QStringLiteral("Korvane Meter Setup Utility");

// "Name|*.EXT|Other|*.X" as Qt writes it: "Name (*.EXT);;Other (*.X)".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> askFileName(QWidget *parent, const FileQuestion &question, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, question.title, QString(), qtFilter(question.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(question.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
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
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, m_parent);
    switch (box.exec()) {
    case QMessageBox::Retry:
        return TimeoutChoice::Retry;
    case QMessageBox::Ignore:
        return TimeoutChoice::Ignore;
    default:
        return TimeoutChoice::Abort;
    }
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
    QMessageBox::information(m_parent, Caption, text);
}

std::optional<QString> QtPrompts::openFileName(const FileQuestion &question)
{
    return askFileName(m_parent, question, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFileName(const FileQuestion &question)
{
    return askFileName(m_parent, question, QFileDialog::AcceptSave);
}

void QtPrompts::fileError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("File Error"), text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
