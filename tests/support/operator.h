#pragma once

#include "rig.h"

#include <QWidget>

class QAbstractButton;
class QLineEdit;

// Does what an operator does with the window: opens tabs, picks options,
// presses buttons, types into fields and leaves them, and reads the wire.
// Controls are looked for on the current page first, then in the window.
class Operator
{
public:
    explicit Operator(Rig &rig);

    // Shows the window and makes it active, so fields take the focus.
    void showWindow();
    // Clicks the page's tab; the page-change frame has run when it returns.
    void openTab(PageId page);

    // Clicks the visible button (push, radio, check or tool button) whose
    // caption is `caption`, "&" shown as itself. Fails the test when none is.
    void press(const QString &caption);
    // Picks an option by its caption; the same click as press().
    void pick(const QString &caption) { press(caption); }
    // Picks option `digit` of a code page's digit group (1 to 3).
    void pick(int code, int group, int digit);

    // Focuses the field as a click would, replaces its text by typing it and
    // leaves it for the next control with Tab.
    void typeAndLeave(const QString &objectName, const QString &text);
    // Focuses the field as a click would and types `text` over its contents.
    QLineEdit *type(const QString &objectName, const QString &text);
    // Leaves the focused field for the next control (Tab).
    void leave();

    // Commands the meter received since the last clearWire(), probes left out.
    QStringList wire() const { return m_rig.commands(); }
    void clearWire() { m_rig.meter.clearLog(); }

    template<typename T>
    T *find(const QString &objectName) const
    {
        if (QWidget *current = currentPage()) {
            if (T *found = current->findChild<T *>(objectName))
                return found;
        }
        return m_rig.window->findChild<T *>(objectName);
    }
    QAbstractButton *button(const QString &caption) const;

private:
    QWidget *currentPage() const;

    Rig &m_rig;
};
