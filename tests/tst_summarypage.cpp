#include "operator.h"

#include "app/pagestrip.h"

#include <QApplication>
#include <QTest>

// The Summary page's view: entering its tab runs the model's fill inside
// the page-change frame, and the grid shows the summary cells. What the
// fill reads and writes is tested in tst_valuemodels.
class SummaryPageTest : public QObject
{
    Q_OBJECT

private slots:
    void enteringTheTabFillsTheGrid()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("24"), QStringLiteral("1.7500"));
        rig.meter.setReg(QStringLiteral("206"), QStringLiteral("65"));
        rig.detect();
        op.showWindow();
        op.clearWire();
        op.openTab(PageId::Summary);
        QCOMPARE(op.wire().size(), 76);
        // The labels, detection's cells and the fill's, in the grid.
        QCOMPARE(rig.summaryCell(6, 6), QStringLiteral("Tolerence Setpoint 1"));
        QCOMPARE(rig.summaryCell(18, 3), QStringLiteral("1.7500"));
        QCOMPARE(rig.summaryCell(12, 1), rig.meter.model());
        QCOMPARE(rig.summaryCell(12, 7), QStringLiteral("A"));
    }

    void conversionErrorEndsTheFrame()
    {
        Rig rig;
        Operator op(rig);
        rig.detect();
        op.showWindow();
        rig.meter.setReg(QStringLiteral("513"), QStringLiteral("4x"));
        QList<bool> stripEnabled;
        QObject::connect(&rig.meter, &SimMeter::commandReceived, rig.window.get(),
                         [&]() { stripEnabled << rig.pageControl()->isEnabled(); });
        op.openTab(PageId::Summary);

        QCOMPARE(rig.prompts.texts(QStringLiteral("error")), QStringList{"'4x' is not a valid integer value"});
        QCOMPARE(rig.summaryCell(17, 1), QString());
        // The strip took no input during the fill and is back afterwards,
        // with the normal cursor and the poll running.
        QVERIFY(!stripEnabled.isEmpty());
        QVERIFY(!stripEnabled.contains(true));
        QVERIFY(rig.pageControl()->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(rig.session->pollTimer().isActive());
    }
};

QTEST_MAIN(SummaryPageTest)
#include "tst_summarypage.moc"
