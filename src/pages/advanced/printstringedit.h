#pragma once

#include <QPlainTextEdit>

// The print-string field: several lines of at most 30 characters as the
// meter counts them (a line break is CR LF, two characters), and never a
// "*", which would end the command that carries the text. Typing, pasting
// and dropping are held to both; text set by the program is not.
class PrintStringEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit PrintStringEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Room left for new text once the selection is replaced.
    int room() const;
};
