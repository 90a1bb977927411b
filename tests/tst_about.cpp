#include "rig.h"

#include "app/aboutbox.h"
#include "app/meterface.h"
#include "app/splashwindow.h"

#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

// The About box opened from the Help menu, and the splash window.
class AboutTest : public QObject
{
    Q_OBJECT

private:
    static QAction *aboutAction(Rig &rig) { return rig.window->findChild<QAction *>(QStringLiteral("About1")); }

private slots:
    void tenLinesEveryTime()
    {
        Rig rig;
        rig.window->show();
        AboutBox *box = rig.window->findChild<AboutBox *>();
        QVERIFY(box);
        QVERIFY(!box->isVisible());
        QStringList first;
        for (int opening = 0; opening < 2; ++opening) {
            aboutAction(rig)->trigger();
            QVERIFY(box->isVisible());
            QVERIFY(box->isModal());
            const QStringList lines = box->lines();
            QCOMPARE(lines.size(), 10);
            QCOMPARE(lines.at(4), QString());
            QCOMPARE(lines.at(8), QString());
            QCOMPARE(lines.at(9), QStringLiteral("Version: 1.0.0.1"));
            QCOMPARE(lines.at(0), QStringLiteral("Korvane Instruments Ltd."));
            // Shown from the first line, not scrolled to the last one added.
            QScrollBar *scroll = box->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->verticalScrollBar();
            QCOMPARE(scroll->value(), 0);
            if (opening == 0)
                first = lines;
            else
                QCOMPARE(lines, first);
            box->close();
            QVERIFY(!box->isVisible());
        }
    }

    void clickOnPictureCloses()
    {
        Rig rig;
        rig.window->show();
        aboutAction(rig)->trigger();
        AboutBox *box = rig.window->findChild<AboutBox *>();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        auto *memo = box->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        auto *image = box->findChild<QLabel *>(QStringLiteral("Image1"));
        // The memo takes neither focus nor clicks.
        QVERIFY(!memo->isEnabled());
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(60, 20));
        QVERIFY(box->isVisible());
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(100, 60));
        QVERIFY(!box->isVisible());
        // And it opens again.
        aboutAction(rig)->trigger();
        QVERIFY(box->isVisible());
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!box->isVisible());
    }

    void windowGeometry()
    {
        Rig rig;
        AboutBox *box = rig.window->findChild<AboutBox *>();
        QCOMPARE(box->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(box->size(), QSize(406, 320));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(box->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        auto *memo = box->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        QCOMPARE(memo->geometry(), QRect(0, 160, 406, 160));
        QVERIFY(memo->font().bold());
        QCOMPARE(memo->font().pixelSize(), 13);
        QCOMPARE(AboutBox::picture().size(), QSize(400, 157));
        auto *image = box->findChild<QLabel *>(QStringLiteral("Image1"));
        QVERIFY(!image->accessibleName().isEmpty());
    }

    void versionInfo()
    {
        QCOMPARE(AboutBox::versionInfo(QStringLiteral("FileVersion")), QStringLiteral(METER_SETUP_VERSION));
        QVERIFY(QStringLiteral(METER_SETUP_VERSION).count(QLatin1Char('.')) == 3);
        QCOMPARE(AboutBox::versionInfo(QStringLiteral("NoSuchKey")), QString());
    }

    // The meter face at the About box's and the splash's sizes: drawn
    // within its frame, with the reading in red.
    void meterFaceFitsItsFrame_data()
    {
        QTest::addColumn<QRect>("bezel");
        QTest::newRow("About box") << QRect(14, 26, 170, 100);
        QTest::newRow("splash") << QRect(30, 18, 340, 140);
    }
    void meterFaceFitsItsFrame()
    {
        QFETCH(QRect, bezel);
        QImage image(400, 220, QImage::Format_RGB888);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintMeterFace(painter, bezel, QStringLiteral("88.88"));
        painter.end();
        // Half the frame's pen may lie outside it.
        const QRect frame = bezel.adjusted(-2, -2, 2, 2);
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                QVERIFY2(frame.contains(x, y) || c == Qt::white, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                red += c.red() > 200 && c.green() < 90;
            }
        }
        QVERIFY(red > bezel.width() * bezel.height() / 100);
    }

    void splashClosesWhenDetectionBegins()
    {
        auto *splash = new SplashWindow;
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QCOMPARE(splash->size(), QSize(325, 179));
        QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(SplashWindow::picture().size(), QSize(400, 220));
        QPointer<SplashWindow> watch(splash);

        ScriptedPrompts prompts;
        SimMeter meter;
        meter.setSilent(true);
        MainWindow::Options options;
        options.detectOnActivation = false;
        options.quitApplication = []() {};
        options.splash = splash;
        MeterSession session(std::make_unique<SimLine>(&meter), &prompts, Clock::system(),
                             std::chrono::milliseconds(5));
        MeterSetup setup(session);
        MainWindow window(session, setup, &prompts, options);
        session.exchange().commsTimer().setInterval(50);
        // Detection is still waiting for the user when the splash is gone.
        bool splashShownAtPrompt = true;
        prompts.whileTimeoutOpen = [&]() { splashShownAtPrompt = watch && watch->isVisible(); };
        session.startDetection();
        QCOMPARE(prompts.count(QStringLiteral("timeout")), 1);
        QVERIFY(!splashShownAtPrompt);
        QTRY_VERIFY(watch.isNull());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
