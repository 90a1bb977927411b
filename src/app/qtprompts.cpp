#include "qtprompts.h"

#include "portselectdialog.h"

#include <QMessageBox>

namespace {
// Message boxes carry the program's name as their caption.
const QString Caption = QStringLiteral("Korvane Meter Setup Utility");
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
