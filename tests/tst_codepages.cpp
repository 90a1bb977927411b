#include "operator.h"

#include "app/pagestrip.h"
#include "pages/codes/codemodel.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The setup-code pages' views: each control reaches its model, and what the
// model holds shows. What the models read and write is tested in
// tst_codemodels.
class CodePagesTest : public QObject
{
    Q_OBJECT

private:
    static QRadioButton *option(Operator &op, const char *name) { return op.find<QRadioButton>(QLatin1String(name)); }

private slots:
    // Each way of choosing an option reaches the model.
    void everyWayOfChoosingReachesTheModel_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("chosen");
        QTest::newRow("click") << "click" << 6;
        QTest::newRow("arrow key") << "down" << 1;
        QTest::newRow("the program") << "program" << 4;
    }
    void everyWayOfChoosingReachesTheModel()
    {
        QFETCH(QString, how);
        QFETCH(int, chosen);
        Rig rig;
        Operator op(rig);
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code4);
        if (how == QLatin1String("click")) {
            op.pick(4, 2, 6);
        } else if (how == QLatin1String("down")) {
            option(op, "RadioButton420")->setFocus();
            QTest::keyClick(option(op, "RadioButton420"), Qt::Key_Down);
        } else {
            option(op, "RadioButton424")->setChecked(true);
        }
        auto *model = rig.setup->model<CodeModel>(PageId::Code4);
        QCOMPARE(model->checkedOption(CodeModel::SecondDigit), chosen);
        QCOMPARE(model->codeWord(), chosen * 10);
        // The third digit is relabelled for the type.
        QCOMPARE(op.find<QLabel>(QStringLiteral("Label30"))->text(), model->label(CodeModel::ThirdDigit));
    }

    void pagesShowTheirModels()
    {
        Rig rig;
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("133"), QStringLiteral("060"));
        rig.meter.setReg(QStringLiteral("138"), QStringLiteral("417"));
        rig.meter.setReg(QStringLiteral("134"), QStringLiteral("021"));
        rig.meter.setReg(QStringLiteral("139"), QStringLiteral("x"));
        rig.detect();
        op.showWindow();
        op.openTab(PageId::Code4);
        QVERIFY(option(op, "RadioButton426")->isChecked());
        QCOMPARE(option(op, "RadioButton431")->text(), QStringLiteral("1 Set Prescaler"));
        // Entering a page shows the stored code again, picks discarded.
        op.openTab(PageId::Code5);
        op.pick(5, 1, 1);
        op.openTab(PageId::Code4);
        op.openTab(PageId::Code5);
        QVERIFY(option(op, "RadioButton510")->isChecked());
        // A hidden option is checked like any other: none of the shown ones is.
        op.openTab(PageId::Code9);
        QVERIFY(option(op, "RadioButton914")->isChecked());
        QVERIFY(!option(op, "RadioButton914")->isVisibleTo(rig.window.get()));
        // On bargraph models the log buffer is not chosen here.
        op.openTab(PageId::Code8);
        QVERIFY(!option(op, "RadioButton810")->isEnabled());
        // A code that was not read cannot be sent, and the button says why.
        op.openTab(PageId::Code10);
        auto *send = op.find<QPushButton>(QStringLiteral("Button21"));
        QVERIFY(!send->isEnabled());
        QVERIFY(!send->toolTip().isEmpty());
        // The calibration page's captions show their "&".
        rig.page(PageId::Calibration);
        QCOMPARE(option(op, "CalibrationButton11")->text(), QStringLiteral("1 Set baud rate, parity, && address"));
    }
};

QTEST_MAIN(CodePagesTest)
#include "tst_codepages.moc"
