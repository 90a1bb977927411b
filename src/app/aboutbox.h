#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>

class QLabel;
class QPlainTextEdit;

// The About box: a drawn picture, the maker's contact lines and the
// program's version. Made once at start-up; a click on the picture (or
// Escape) closes it, and it can be shown again with the same text.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    static constexpr QSize ClientSize{406, 320};
    static constexpr QSize PictureSize{400, 157};

    explicit AboutBox(QWidget *parent = nullptr);

    // Shows the box modally without blocking the caller: the window behind
    // takes no input, while its timers and exchanges go on.
    void showModal();

    QStringList lines() const;

    // The text under `key` in the program file's version information
    // ("FileVersion" gives the four-part version); empty when there is none.
    static QString versionInfo(const QString &key);
    static QImage picture();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_image = nullptr;
    QPlainTextEdit *m_memo = nullptr;
};
