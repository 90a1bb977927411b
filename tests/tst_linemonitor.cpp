#include "operator.h"

#include "app/linemonitormodel.h"
#include "app/linemonitorwindow.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The line monitor window, opened from the View menu after the port was:
// each of its controls acts on the rows.
class LineMonitorTest : public QObject
{
    Q_OBJECT

private:
    static QStringList shownLines(const LineMonitorModel &model)
    {
        QStringList lines;
        for (int row = 0; row < model.rowCount(); ++row)
            lines << model.line(row);
        return lines;
    }

private slots:
    void controlsActOnTheRows()
    {
        Rig rig;
        Operator op(rig);
        rig.detect();
        rig.clock.advance(3000);
        rig.window->findChild<QAction *>(QStringLiteral("LineMonitor1"))->trigger();
        LineMonitorWindow *monitor = rig.window->findChild<LineMonitorWindow *>();
        QVERIFY(monitor && monitor->isVisible());
        LineMonitorModel *model = monitor->model();
        // Opened later, it lists the line from the port's opening, and follows its end.
        QCOMPARE(model->index(0, LineText::Event).data().toString(), QStringLiteral("Port opened: simulated meter"));
        QScrollBar *bar = monitor->table()->verticalScrollBar();
        rig.clock.advance(3000);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());

        // An exchange of the operator's shows without waiting for the poll's next batch.
        rig.session->runHandler([&]() { rig.exchange().comms(QStringLiteral("SR24")); });
        rig.clock.advance(LineMonitorModel::PromptRefresh);
        QVERIFY(model->line(model->rowCount() - 1).contains(QLatin1String("SR24: Scale & Offset, Result scale")));

        op.press(QStringLiteral("Hide poll reads"));
        rig.clock.advance(3000);
        QVERIFY(shownLines(*model).filter(QStringLiteral("SR2*")).isEmpty());
        op.press(QStringLiteral("Hide poll reads"));

        op.type(QStringLiteral("Search"), QStringLiteral("probe"));
        QVERIFY(!shownLines(*model).isEmpty());
        QCOMPARE(shownLines(*model).filter(QStringLiteral("Probe")), shownLines(*model));
        op.type(QStringLiteral("Search"), QString());

        op.press(QStringLiteral("Pause"));
        const int paused = model->rowCount();
        rig.clock.advance(3000);
        QCOMPARE(model->rowCount(), paused);
        op.press(QStringLiteral("Pause"));
        QVERIFY(model->rowCount() > paused);

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

        // Scrolled up, the view stays where the operator put it.
        bar->setValue(0);
        rig.clock.advance(3000);
        QCOMPARE(bar->value(), 0);

        op.press(QStringLiteral("Clear"));
        QCOMPARE(model->rowCount(), 0);
    }
};

QTEST_MAIN(LineMonitorTest)
#include "tst_linemonitor.moc"
