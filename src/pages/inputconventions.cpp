#include "inputconventions.h"

#include "page.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {
const char *const FilterProperty = "enterAsTab";
const char *const HighlightProperty = "highlight";
} // namespace

InputConventions::InputConventions(SharedFields *shared, QObject *parent) : QObject(parent), m_shared(shared) {}

void InputConventions::bindEnterAsTab(QLineEdit *edit)
{
    edit->setProperty(FilterProperty, true);
    edit->installEventFilter(this);
}

void InputConventions::bindHighlight(QLineEdit *edit)
{
    edit->setProperty(HighlightProperty, true);
    edit->installEventFilter(this);
}

bool InputConventions::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return false;
    if (event->type() == QEvent::KeyPress && edit->property(FilterProperty).toBool())
        return enterAsTab(edit, static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn && edit->property(HighlightProperty).toBool()) {
        // Only focus coming from another control starts an entry: the window
        // being activated again or a popup closing keeps the one in progress.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            highlight(edit);
    }
    return false;
}

bool InputConventions::enterAsTab(QLineEdit *edit, QKeyEvent *key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &tab);
        return true;
    }
    // Keys that type no character (Delete, arrows, Home, End), shortcuts and
    // the focus keys Tab and Shift+Tab pass untouched.
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab
        || (key->modifiers() & Qt::ControlModifier))
        return false;
    const QChar c = text.at(0);
    const bool allowed =
        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.');
    return !allowed;
}

void InputConventions::highlight(QLineEdit *edit)
{
    m_shared->entryText = edit->text();
    // Selected after the focus change has settled, so a mouse click's own
    // cursor placement does not undo it at once.
    QTimer::singleShot(0, edit, [edit]() { edit->setSelection(0, 10); });
}
