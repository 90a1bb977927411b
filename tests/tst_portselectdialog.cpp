#include "app/portselectdialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {
QList<PortEntry> sampleEntries()
{
    return {
        {1, QStringLiteral("/dev/ttyS0"), QString(), false},
        {17, QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART (FTDI)"), false},
        {33, QStringLiteral("/dev/ttyACM0"), QStringLiteral("CDC serial"), true},
        {41, QStringLiteral("/run/user/1000/meter-setup/ports/COM41 -> /dev/pts/4"), QString(), false},
    };
}
} // namespace

class TestPortSelectDialog : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndFirstEntry();
    void selectionFollowsCombo_data();
    void selectionFollowsCombo();
    void acceptAndReject();
    void emptyList();
};

void TestPortSelectDialog::layoutAndFirstEntry()
{
    PortSelectDialog dialog(sampleEntries());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Port"));
    QVERIFY(dialog.isModal());

    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("The configured serial port is not valid.")));
    QVERIFY(texts.contains(QStringLiteral("Please choose another port.")));

    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("portCombo"));
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->count(), 4);
    const QStringList expected{"COM1", "COM17", "COM33", "COM41"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(combo->itemText(i), expected.at(i));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(dialog.selectedPort(), 1);
    QCOMPARE(combo->accessibleName(), QStringLiteral("Serial port"));
    QVERIFY(combo->focusPolicy() & Qt::TabFocus);

    auto *device = dialog.findChild<QLabel *>(QStringLiteral("deviceLabel"));
    QVERIFY(device);
    QCOMPARE(device->text(), QStringLiteral("/dev/ttyS0"));

    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancelButton"));
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(ok->isDefault());
    QVERIFY(ok->isEnabled());
}

void TestPortSelectDialog::selectionFollowsCombo_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("inUse");

    QTest::newRow("USB converter") << 1 << 17 << QStringList{"/dev/ttyUSB0", "FT232R USB UART (FTDI)"} << false;
    QTest::newRow("busy ACM") << 2 << 33 << QStringList{"/dev/ttyACM0", "CDC serial"} << true;
    QTest::newRow("link") << 3 << 41 << QStringList{"COM41", "/dev/pts/4"} << false;
    QTest::newRow("back to first") << 0 << 1 << QStringList{"/dev/ttyS0"} << false;
}

void TestPortSelectDialog::selectionFollowsCombo()
{
    QFETCH(int, index);
    QFETCH(int, port);
    QFETCH(QStringList, shown);
    QFETCH(bool, inUse);

    PortSelectDialog dialog(sampleEntries());
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("portCombo"));
    auto *device = dialog.findChild<QLabel *>(QStringLiteral("deviceLabel"));
    QVERIFY(combo && device);

    combo->setCurrentIndex(2); // start away from both ends
    combo->setCurrentIndex(index);
    QCOMPARE(dialog.selectedPort(), port);
    for (const QString &part : shown)
        QVERIFY2(device->text().contains(part), qPrintable(device->text()));
    QCOMPARE(device->text().contains(QStringLiteral("(in use)")), inUse);
    QCOMPARE(combo->accessibleDescription(), device->text());
}

void TestPortSelectDialog::acceptAndReject()
{
    PortSelectDialog dialog(sampleEntries());
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("portCombo"));
    QVERIFY(combo);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(dialog.selectedPort(), 17);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.selectedPort(), 17);

    // Centred on the screen even when the parent window sits in a corner.
    QWidget corner;
    corner.setGeometry(0, 0, 200, 100);
    corner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&corner));
    PortSelectDialog other(sampleEntries(), &corner);
    auto *cancel = other.findChild<QPushButton *>(QStringLiteral("cancelButton"));
    QVERIFY(cancel);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    const QPoint offCentre = other.frameGeometry().center() - other.screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, "the dialog is not centred on the screen");
    cancel->click();
    QCOMPARE(other.result(), int(QDialog::Rejected));
    QVERIFY(!other.isVisible());
}

void TestPortSelectDialog::emptyList()
{
    PortSelectDialog dialog({});
    QCOMPARE(dialog.selectedPort(), 0);
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(ok);
    QVERIFY(!ok->isEnabled());
    auto *device = dialog.findChild<QLabel *>(QStringLiteral("deviceLabel"));
    QVERIFY(device);
    QVERIFY(device->text().isEmpty());
}

QTEST_MAIN(TestPortSelectDialog)
#include "tst_portselectdialog.moc"
