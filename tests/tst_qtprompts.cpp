#include "app/qtprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>

// The real message boxes: what they show, answered by a click.
class QtPromptsTest : public QObject
{
    Q_OBJECT

private:
    struct Seen
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QStringList buttons; // left to right
    };

    // Records the next modal box and clicks the button captioned `answer`.
    static void answerNextBox(Seen *seen, const QString &answer)
    {
        QTimer::singleShot(0, qApp, [seen, answer]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen->icon = box->icon();
            seen->caption = box->windowTitle();
            QList<QAbstractButton *> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(),
                      [](QAbstractButton *a, QAbstractButton *b) { return a->x() < b->x(); });
            for (QAbstractButton *b : buttons) {
                const QString text = b->text().remove(QLatin1Char('&'));
                seen->buttons << text;
                if (text == answer)
                    b->click();
            }
        });
    }

private slots:
    void timeOutBoxReadsAbortRetryIgnore_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Prompts::TimeoutChoice>("choice");
        QTest::newRow("abort") << "Abort" << Prompts::TimeoutChoice::Abort;
        QTest::newRow("retry") << "Retry" << Prompts::TimeoutChoice::Retry;
        QTest::newRow("ignore") << "Ignore" << Prompts::TimeoutChoice::Ignore;
    }
    void timeOutBoxReadsAbortRetryIgnore()
    {
        QFETCH(QString, answer);
        QFETCH(Prompts::TimeoutChoice, choice);
        QtPrompts prompts;
        Seen seen;
        answerNextBox(&seen, answer);
        QCOMPARE(
            prompts.timedOut(QStringLiteral("Timed out waiting for reply"), QStringLiteral("Communications Error")),
            choice);
        QCOMPARE(seen.buttons, (QStringList{"Abort", "Retry", "Ignore"}));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.caption, QStringLiteral("Communications Error"));
    }

    void plainMessageHasNoIcon()
    {
        QtPrompts prompts;
        Seen seen;
        answerNextBox(&seen, QStringLiteral("OK"));
        prompts.message(QStringLiteral("Application Already Running"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList{"OK"});
    }
};

QTEST_MAIN(QtPromptsTest)
#include "tst_qtprompts.moc"
