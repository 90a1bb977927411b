#include "delayedit.h"

#include "link/prompts.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {
const QChar MaskBlank = QLatin1Char('_');
} // namespace

DelayEdit::DelayEdit(Prompts *prompts, QWidget *parent) : QLineEdit(parent), m_prompts(prompts)
{
    setInputMask(QStringLiteral("0:99:99;") + MaskBlank);
    // Wide enough for "9:59:59" whole.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0:00:00")) + 14);
}

QString DelayEdit::delayText() const
{
    QString text = displayText();
    text.replace(MaskBlank, QLatin1Char(' '));
    return text;
}

void DelayEdit::focusInEvent(QFocusEvent *event)
{
    if (!isModified())
        m_entryText = text();
    QLineEdit::focusInEvent(event);
}

void DelayEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isModified()) {
        setText(m_entryText);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DelayEdit::focusOutEvent(QFocusEvent *event)
{
    // Only a move to another control leaves the field; a dialog or a menu
    // taking the focus for a while does not.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isModified()) {
        if (hasAcceptableInput()) {
            emit left();
        } else {
            // Refused: the focus comes back until the digits are complete
            // or Escape abandons the edit.
            QTimer::singleShot(0, this, [this]() { setFocus(Qt::OtherFocusReason); });
            if (m_prompts)
                m_prompts->error(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
        }
    }
    QLineEdit::focusOutEvent(event);
}
