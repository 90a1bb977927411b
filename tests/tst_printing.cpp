#include "operator.h"

#include "app/windowprinter.h"

#include <QTemporaryDir>
#include <QTest>

class PrintingTest : public QObject
{
    Q_OBJECT
private slots:
    void proto()
    {
        Rig rig;
        rig.window->show();
        auto *printer = rig.window->findChild<WindowPrinter *>();
        printer->setDefaultPrinterLookup([]() -> std::optional<QString> { return QStringLiteral("Office"); });
        printer->redirectOutput("/tmp/proto.pdf");
        printer->PrintDialog();
        qDebug() << printer->clientArea().size() << rig.prompts.asked.size();
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
