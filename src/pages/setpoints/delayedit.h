#pragma once

#include <QLineEdit>

class Prompts;

// A delay field "h:mm:ss": one optional hour digit and two required minute
// and second digits, an empty position shown as "_". Leaving it edited while
// a required digit is missing is refused with the toolkit's message and the
// focus comes back; Escape goes back to the text it had when the edit began.
// An edited field left complete says so through `left`.
class DelayEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DelayEdit(Prompts *prompts, QWidget *parent = nullptr);

    // The text with its empty positions as spaces, as the conversions take it.
    QString delayText() const;

signals:
    void left();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Prompts *m_prompts;
    QString m_entryText;
};
