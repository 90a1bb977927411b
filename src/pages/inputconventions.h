#pragma once

#include <QObject>

class QLineEdit;
struct SharedFields;

// Input conventions of the numeric edit fields: `EnterAsTab` lets only
// digits, "-" and "." through and makes Enter move on like Tab; `Highlight`
// selects the first ten characters on entry and remembers the text in
// entryText, so a page can put it back when it refuses a value.
class InputConventions : public QObject
{
    Q_OBJECT
public:
    explicit InputConventions(SharedFields *shared, QObject *parent = nullptr);

    void bindEnterAsTab(QLineEdit *edit);
    void bindHighlight(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool enterAsTab(QLineEdit *edit, class QKeyEvent *key);
    void highlight(QLineEdit *edit);

    SharedFields *m_shared;
};
