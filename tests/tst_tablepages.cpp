#include "operator.h"

#include "app/pagestrip.h"
#include "pages/tables/linearizationmodel.h"
#include "pages/tables/macromodel.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tablefiles;

// The Linearization Tables and Macros pages' views: each control reaches its
// model, and what the models hold shows. What the models read, write and
// keep in files is tested in tst_tablemodels.
class TablePagesTest : public QObject
{
    Q_OBJECT

private:
    static constexpr std::chrono::milliseconds FastTick{1};

    static LinearizationModel *tables(Rig &rig) { return rig.model<LinearizationModel>(PageId::Linearization); }
    static MacroModel *macro(Rig &rig) { return rig.model<MacroModel>(PageId::Macros); }
    // Detection done, the page entered and the wire cleared.
    static void open(Rig &rig, Operator &op, PageId page)
    {
        rig.detect();
        op.showWindow();
        op.openTab(page);
        op.clearWire();
    }
    static QTableWidget *grid(Operator &op, int number)
    {
        return op.find<QTableWidget>(QStringLiteral("StringGrid%1").arg(number));
    }
    static QToolButton *selector(Operator &op, int table)
    {
        return op.find<QToolButton>(QStringLiteral("SpeedButton%1").arg(6 + table));
    }
    static QString cell(Operator &op, int number, int row, int column)
    {
        return grid(op, number)->item(row, column)->text();
    }
    static void writeAll(const QString &path, const QByteArray &bytes) { QVERIFY(tablefiles::writeFile(path, bytes)); }

private slots:
    // --- Linearization Tables

    void firstEntryShowsTheTables()
    {
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("257"), QStringLiteral("-12.5"));
        rig.detect();
        op.showWindow();
        op.clearWire();
        op.openTab(PageId::Linearization);
        QCOMPARE(op.wire().size(), 4 * 2 * TablePoints);
        for (int t = 1; t <= LinearizationModel::Tables; ++t)
            QVERIFY(grid(op, t)->isVisible());
        QVERIFY(selector(op, 1)->isChecked());
        QCOMPARE(cell(op, 1, 0, 0), QStringLiteral("-125"));
        QVERIFY(op.button(QStringLiteral("Download"))->isEnabled());
        QVERIFY(op.button(QStringLiteral("Save"))->isEnabled());
        QVERIFY(op.button(QStringLiteral("Download"))->isVisible());
        QCOMPARE(op.find<QProgressBar>(QStringLiteral("ProgressBar2"))->value(), LinearizationModel::ProgressMaximum);
    }

    void selectorAndTransfers()
    {
        Rig rig(FastTick);
        Operator op(rig);
        open(rig, op, PageId::Linearization);
        selector(op, 3)->toggle(); // as a screen reader's Toggle action does
        QCOMPARE(tables(rig)->currentTable(), 2);
        rig.meter.setReg(QString::number(inputRegister(3, 32)), QStringLiteral("77"));
        op.press(QStringLiteral("Upload"));
        QCOMPARE(op.wire().first(), QStringLiteral("SR%1").arg(inputRegister(3, 1)));
        QCOMPARE(cell(op, 3, 31, 0), QStringLiteral("77"));
        op.clearWire();
        op.press(QStringLiteral("Download"));
        QCOMPARE(op.wire().first(),
                 QStringLiteral("SW%1,%2").arg(inputRegister(3, 1)).arg(tables(rig)->table(2)[0].input));
    }

    // A transfer is an operation: the page control takes no input while it
    // runs, so "Download" cannot start in the middle of an upload.
    void uploadHoldsThePageControl()
    {
        Rig rig(FastTick);
        Operator op(rig);
        open(rig, op, PageId::Linearization);
        rig.meter.setAnswerDelay(5);
        bool heldDuringUpload = false;
        rig.clock.singleShot(30, rig.window.get(), [&]() {
            heldDuringUpload = !rig.pageControl()->isEnabled();
            op.press(QStringLiteral("Download"));
        });
        op.press(QStringLiteral("Upload"));
        QVERIFY(heldDuringUpload);
        QCOMPARE(op.wire().size(), 2 * TablePoints);
        QVERIFY(op.wire().last().startsWith(QLatin1String("SR")));
        QVERIFY(rig.pageControl()->isEnabled());
    }

    void cellMask_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::newRow("digits") << "123"
                                << "123";
        QTest::newRow("six characters at most") << "1234567"
                                                << "123456";
        QTest::newRow("sign first") << "-12"
                                    << "-12";
        QTest::newRow("plus first") << "+5"
                                    << "+5";
        QTest::newRow("no sign inside, no point, no letters") << "1-2.3a"
                                                              << "123";
    }
    void cellMask()
    {
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        Rig rig(FastTick);
        QTableWidget *grid = rig.page(PageId::Linearization)->findChild<QTableWidget *>(QStringLiteral("StringGrid1"));
        const QModelIndex index = grid->model()->index(4, 1);
        std::unique_ptr<QWidget> widget(grid->itemDelegate()->createEditor(grid->viewport(), {}, index));
        auto *editor = qobject_cast<QLineEdit *>(widget.get());
        QVERIFY(editor);
        QTest::keyClicks(editor, typed);
        QCOMPARE(editor->text(), cell);
    }

    // Coming into a grid makes its table current; a cell typed reaches the
    // model; leaving the grid sorts it.
    void focusAndEdits()
    {
        Rig rig(FastTick);
        Operator op(rig);
        open(rig, op, PageId::Linearization);
        Table values = tables(rig)->table(2);
        values[0] = {"9", "90"};
        values[1] = {"2", "20"};
        tables(rig)->setTable(2, values);
        QTableWidget *table3 = grid(op, 3);
        QTest::mouseClick(table3->viewport(), Qt::LeftButton, {}, table3->visualItemRect(table3->item(0, 0)).center());
        QCOMPARE(tables(rig)->currentTable(), 2);
        QVERIFY(selector(op, 3)->isChecked());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("5"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits from the event loop
        QCOMPARE(tables(rig)->table(2)[0].input, QStringLiteral("5"));
        selector(op, 1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(tables(rig)->table(2)[0], (TablePoint{"2", "20"}));
        QCOMPARE(cell(op, 3, 1, 0), QStringLiteral("5"));
        QCOMPARE(op.wire(), QStringList{});
    }

    void tableFileDialogs()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.CSV"));
        QByteArray file; // inputs 32 down to 1
        for (int r = 1; r <= TablePoints; ++r)
            file += QByteArray::number(33 - r) + ',' + QByteArray::number(r) + "\r\n";
        writeAll(path, file);
        Rig rig(FastTick);
        Operator op(rig);
        open(rig, op, PageId::Linearization);
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Open"));
        QCOMPARE(rig.prompts.lastFileQuestion.filter, QStringLiteral("Comma Seperated|*.CSV"));
        QCOMPARE(rig.prompts.lastFileQuestion.defaultExtension, QStringLiteral("CSV"));
        QCOMPARE(cell(op, 1, 0, 0), QStringLiteral("32"));
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Save"));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Save Linearization Table..."));
        QCOMPARE(cell(op, 1, 0, 0), QStringLiteral("1"));
        QVERIFY(tablefiles::readFile(path).value_or("").startsWith("1,32\r\n2,31\r\n"));
    }

    void openCancelledEnablesTransfers()
    {
        for (const PageId id : {PageId::Linearization, PageId::Macros}) {
            Rig rig(FastTick);
            Operator op(rig);
            rig.detect();
            op.showWindow();
            op.openTab(id);
            op.press(QStringLiteral("Open"));
            QCOMPARE(rig.prompts.texts(QStringLiteral("open")), QStringList{"Open Linearization Table...."});
            QVERIFY(op.button(QStringLiteral("Save"))->isEnabled());
            QVERIFY(op.button(QStringLiteral("Download"))->isEnabled());
        }
    }

    // --- Macros

    void runButton()
    {
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("160"), QStringLiteral("48"));
        open(rig, op, PageId::Macros);
        auto *run = op.find<QAbstractButton>(QStringLiteral("BitBtn9"));
        QCOMPARE(run->text(), QStringLiteral("Stopped"));
        op.press(QStringLiteral("Stopped"));
        QCOMPARE(op.wire(), (QStringList{"SR160", "SW160,32"}));
        QCOMPARE(run->text(), QStringLiteral("Running"));
        QCOMPARE(run->accessibleName(), QStringLiteral("Start or stop the macros, now running"));
    }

    void macroTransfers()
    {
        Rig rig(FastTick);
        Operator op(rig);
        rig.meter.setReg(QStringLiteral("513"), QStringLiteral("6699"));
        open(rig, op, PageId::Macros);
        QVERIFY(!op.button(QStringLiteral("Download"))->isEnabled());
        op.press(QStringLiteral("Upload"));
        QTableWidget *memory = grid(op, 5);
        QCOMPARE(memory->rowCount(), MacroShownRows);
        QCOMPARE(memory->item(1, 0)->text(), QStringLiteral("02"));
        QCOMPARE(memory->item(1, 1)->text(), QStringLiteral("2B"));
        op.clearWire();
        op.press(QStringLiteral("Download"));
        QCOMPARE(op.wire().size(), MacroWrittenWords + 1);
        QCOMPARE(op.wire().last(), QStringLiteral("SW513,6699"));
    }

    // The header and a comment typed reach the model and the saved file.
    void macroEditsAndFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.CSV"));
        Rig rig(FastTick);
        Operator op(rig);
        open(rig, op, PageId::Macros);
        op.press(QStringLiteral("Upload"));
        auto *header = op.find<QPlainTextEdit>(QStringLiteral("Memo1"));
        header->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(header, QStringLiteral("*Tank"));
        QTableWidget *memory = grid(op, 5);
        QTest::mouseClick(memory->viewport(), Qt::LeftButton, {}, memory->visualItemRect(memory->item(0, 2)).center());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("go"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(macro(rig)->image().row(1).comment, QStringLiteral("go"));
        rig.prompts.fileAnswers = {path};
        op.press(QStringLiteral("Save"));
        QCOMPARE(rig.prompts.lastFileQuestion.title, QStringLiteral("Save Linearization Table..."));
        QVERIFY(tablefiles::readFile(path).value_or("").startsWith("*Tank\r\n00,00,go\r\n02,00,\r\n"));
    }

    void accessibleControls()
    {
        Rig rig(FastTick);
        for (const PageId id : {PageId::Linearization, PageId::Macros}) {
            for (QWidget *w : rig.page(id)->findChildren<QWidget *>()) {
                if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(rig.page(id)) && !w->inherits("QScrollBar")
                    && w->parentWidget() && !w->parentWidget()->inherits("QAbstractScrollArea")) {
                    QVERIFY2(!w->accessibleName().isEmpty() || !w->property("text").toString().isEmpty(),
                             qPrintable(w->objectName() + QLatin1Char(' ') + w->metaObject()->className()));
                }
            }
        }
    }
};

QTEST_MAIN(TablePagesTest)
#include "tst_tablepages.moc"
