#include "operator.h"

#include "app/linemonitormodel.h"
#include "app/linemonitorwindow.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The line monitor window: opened from the View menu after the port was,
// and what each of its controls does to the rows.
class LineMonitorTest : public QObject
{
    Q_OBJECT

private:
    // A found meter, polled for a while, then View > "Line Monitor".
    static LineMonitorWindow *openMonitor(Rig &rig)
    {
        rig.detect();
        rig.clock.advance(3000);
        rig.window->findChild<QAction *>(QStringLiteral("LineMonitor1"))->trigger();
        return rig.window->findChild<LineMonitorWindow *>();
    }
    static QStringList shownLines(const LineMonitorModel &model)
    {
        QStringList lines;
        for (int row = 0; row < model.rowCount(); ++row)
            lines << model.line(row);
        return lines;
    }

private slots:
    void controls_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("pollShown");
        QTest::addColumn<bool>("followsLine");
        QTest::newRow("hide poll reads") << "Hide poll reads"
                                         << "" << false << false;
        QTest::newRow("search") << ""
                                << "sr" << true << true;
        QTest::newRow("pause") << "Pause"
                               << "" << true << false;
    }
    void controls()
    {
        QFETCH(QString, control);
        QFETCH(QString, search);
        QFETCH(bool, pollShown);
        QFETCH(bool, followsLine);
        Rig rig;
        Operator op(rig);
        LineMonitorModel *model = openMonitor(rig)->model();
        if (!control.isEmpty())
            op.press(control);
        if (!search.isEmpty())
            op.type(QStringLiteral("Search"), search);
        const QStringList before = shownLines(*model);
        QVERIFY(!before.isEmpty());
        rig.clock.advance(3000);
        QStringList after = shownLines(*model);
        QCOMPARE(after.size() > before.size(), followsLine);
        QCOMPARE(after.filter(QStringLiteral("SR2*")).isEmpty(), !pollShown);
        if (!search.isEmpty())
            QCOMPARE(after.filter(search, Qt::CaseInsensitive), after);
        if (control == QLatin1String("Pause")) {
            op.press(control);
            QVERIFY(shownLines(*model).size() > after.size());
        }
    }

    void listsCopiesSavesAndClears()
    {
        Rig rig;
        Operator op(rig);
        LineMonitorWindow *monitor = openMonitor(rig);
        QVERIFY(monitor->isVisible());
        LineMonitorModel *model = monitor->model();
        // Opened later, it lists the line from the port's opening.
        QCOMPARE(model->index(0, LineText::Event).data().toString(), QStringLiteral("Port opened: simulated meter"));
        monitor->table()->selectRow(1);
        op.press(QStringLiteral("Copy"));
        QCOMPARE(QGuiApplication::clipboard()->text(), model->line(1) + QLatin1Char('\n'));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line.txt"));
        rig.prompts.fileAnswers = {path};
        const QStringList lines = shownLines(*model);
        op.press(QStringLiteral("Save..."));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Save Line Monitor Log"));

        op.press(QStringLiteral("Clear"));
        QCOMPARE(model->rowCount(), 0);
    }

    void followsTheEndUnlessScrolledUp()
    {
        Rig rig;
        LineMonitorWindow *monitor = openMonitor(rig);
        QScrollBar *bar = monitor->table()->verticalScrollBar();
        rig.clock.advance(3000);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(0);
        rig.clock.advance(3000);
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(LineMonitorTest)
#include "tst_linemonitor.moc"
