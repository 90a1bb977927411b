#include "printstringedit.h"

#include "displaytext.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

PrintStringEdit::PrintStringEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab leaves the field like any other; a tab character has no place in it.
    setTabChangesFocus(true);
}

int PrintStringEdit::room() const
{
    return displaytext::PrintMaxLength - displaytext::printLength(toPlainText())
           + displaytext::printLength(textCursor().selectedText());
}

void PrintStringEdit::keyPressEvent(QKeyEvent *event)
{
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
    const bool inserts = lineBreak || (!typed.isEmpty() && typed.at(0).isPrint());
    if (inserts && (!displaytext::canSend(typed) || displaytext::printLength(typed) > room())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PrintStringEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() && (!displaytext::canSend(commit) || displaytext::printLength(commit) > room())) {
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void PrintStringEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!displaytext::canSend(text))
        return;
    // As much of the text as fits, never half a line break.
    int fits = 0;
    int length = 0;
    const int limit = room();
    for (const QChar c : text) {
        length += displaytext::printLength(QString(c));
        if (length > limit)
            break;
        ++fits;
    }
    if (fits > 0)
        insertPlainText(text.left(fits));
}
