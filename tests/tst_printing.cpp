#include "operator.h"

#include "app/windowprinter.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTransform>

#include <optional>

// "File > Print": the window's client area on one landscape page, at the top
// left, scaled to fit; without a default printer, the same page as a PDF.
// The printer's output goes to a PDF file, read back here.
class PrintingTest : public QObject
{
    Q_OBJECT

private:
    // What a printed PDF holds: its pages, the first page's size, the
    // image's size in pixels and where it was drawn, in points from the
    // page's top left corner.
    struct PrintedPage
    {
        int pages = 0;
        QSizeF media;
        QSize image;
        QRectF drawn;
    };

    static QByteArray inflate(const QByteArray &deflated)
    {
        // qUncompress wants the expected size in front; it grows as needed.
        QByteArray sized(4, '\0');
        sized[2] = 1;
        return qUncompress(sized + deflated);
    }

    static PrintedPage readPdf(const QString &fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray pdf = file.readAll();
        PrintedPage page;
        page.pages = int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
        const auto media =
            QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)"))
                .match(QString::fromLatin1(pdf));
        page.media = QSizeF(media.captured(3).toDouble(), media.captured(4).toDouble());
        const auto image =
            QRegularExpression(QStringLiteral("/Subtype\\s*/Image\\s*/Width\\s+(\\d+)\\s*/Height\\s+(\\d+)"))
                .match(QString::fromLatin1(pdf));
        page.image = QSize(image.captured(1).toInt(), image.captured(2).toInt());

        // Follow the content stream's transforms to the image's drawing.
        qsizetype at = 0;
        while ((at = pdf.indexOf("/FlateDecode", at)) >= 0) {
            const qsizetype start = pdf.indexOf('\n', pdf.indexOf("stream", at)) + 1;
            const QByteArray content = inflate(pdf.mid(start, pdf.indexOf("endstream", start) - start));
            at = start;
            if (!content.contains(" Do"))
                continue;
            QList<QTransform> saved;
            QTransform ctm;
            QList<double> operands;
            for (const QByteArray &token : content.simplified().split(' ')) {
                bool number = false;
                const double value = token.toDouble(&number);
                if (number) {
                    operands << value;
                    continue;
                }
                if (token == "q")
                    saved << ctm;
                else if (token == "Q" && !saved.isEmpty())
                    ctm = saved.takeLast();
                else if (token == "cm" && operands.size() >= 6) {
                    const QList<double> m = operands.mid(operands.size() - 6);
                    ctm = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * ctm;
                } else if (token == "Do") {
                    const QRectF box = ctm.mapRect(QRectF(0, 0, 1, 1));
                    page.drawn = QRectF(box.left(), page.media.height() - box.bottom(), box.width(), box.height());
                }
                operands.clear();
            }
        }
        return page;
    }

    // The printable area of a landscape page in points, as Qt lays it out.
    static QRectF printableArea()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageOrientation(QPageLayout::Landscape);
        return printer.pageLayout().paintRect(QPageLayout::Point);
    }

private slots:
    void print_data()
    {
        QTest::addColumn<QString>("printer");   // the default printer; none when empty
        QTest::addColumn<QString>("target");    // the PDF that takes the page
        QTest::addColumn<QStringList>("asked"); // kind: text
        QTest::addColumn<bool>("written");
        const QString noPrinter = "message: There is no default printer. The page can be saved as a PDF file instead.";
        const QString save = "save: Save Page as PDF";
        QTest::newRow("default printer") << "Office"
                                         << "page.pdf" << QStringList{} << true;
        QTest::newRow("no printer: saved as PDF") << ""
                                                  << "page.pdf" << QStringList{noPrinter, save} << true;
        QTest::newRow("no printer: cancelled") << ""
                                               << "" << QStringList{noPrinter, save} << false;
        QTest::newRow("the print job fails")
            << "Office"
            << "missing/page.pdf" << QStringList{"error: The window could not be printed on Office."} << false;
        QTest::newRow("the PDF cannot be written")
            << ""
            << "missing/page.pdf" << QStringList{noPrinter, save, "fileError: Cannot write %1"} << false;
    }
    void print()
    {
        QFETCH(QString, printer);
        QFETCH(QString, target);
        QFETCH(QStringList, asked);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString file = target.isEmpty() ? QString() : dir.filePath(target);
        Rig rig;
        Operator(rig).showWindow();
        auto *windowPrinter = rig.window->findChild<WindowPrinter *>();
        windowPrinter->setDefaultPrinterLookup([printer]() -> std::optional<QString> {
            if (printer.isEmpty())
                return std::nullopt;
            return printer;
        });
        if (printer.isEmpty())
            rig.prompts.fileAnswers = {file.isEmpty() ? std::nullopt : std::optional<QString>(file)};
        else
            windowPrinter->redirectOutput(file);

        rig.window->findChild<QAction *>(QStringLiteral("Print1"))->trigger();

        QStringList seen;
        for (const ScriptedPrompts::Question &q : rig.prompts.asked)
            seen << q.kind + QStringLiteral(": ") + q.text;
        QCOMPARE(seen.join('\n'), asked.join('\n').replace(QStringLiteral("%1"), file));
        if (asked.contains(QStringLiteral("save: Save Page as PDF"))) {
            QCOMPARE(rig.prompts.lastFileQuestion.filter, QStringLiteral("PDF Document|*.PDF"));
            QCOMPARE(rig.prompts.lastFileQuestion.defaultExtension, QStringLiteral("PDF"));
        }
        QCOMPARE(QFile::exists(file), written);
        if (!written)
            return;

        const PrintedPage page = readPdf(file);
        QCOMPARE(page.pages, 1);
        QVERIFY2(page.media.width() > page.media.height(), "landscape");
        // The client area: the window below its menu bar, status bar included.
        QCOMPARE(page.image, QSize(800, 600 - rig.window->menuBar()->height()));
        // At the printable area's top left, as large as fits, proportions kept.
        const QRectF area = printableArea();
        QVERIFY(qAbs(page.drawn.left() - area.left()) < 0.5);
        QVERIFY(qAbs(page.drawn.top() - area.top()) < 0.5);
        QVERIFY(page.drawn.right() <= area.right() + 0.5 && page.drawn.bottom() <= area.bottom() + 0.5);
        QVERIFY(qAbs(page.drawn.right() - area.right()) < 0.5 || qAbs(page.drawn.bottom() - area.bottom()) < 0.5);
        QVERIFY(qAbs(page.drawn.width() / page.drawn.height() - double(page.image.width()) / page.image.height())
                < 0.005);
    }

    void placement_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("printable");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("the height binds") << QSize(800, 500) << QSize(1000, 250) << QRect(0, 0, 400, 250);
        QTest::newRow("the width binds") << QSize(800, 400) << QSize(1000, 1000) << QRect(0, 0, 1000, 500);
    }
    void placement()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, printable);
        QFETCH(QRect, placed);
        QCOMPARE(WindowPrinter::placement(image, printable), placed);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
