#pragma once

#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class Prompts;
class QMainWindow;
class QPrinter;

// Prints the main window as it looks: landscape, one page, the window's
// client area at the top left of the printable area, as large as fits with
// its proportions kept. No print dialog; nothing goes to the meter. Without
// a default printer it offers to save the same page as a PDF file.
class WindowPrinter : public QObject
{
    Q_OBJECT
public:
    // The default printer's name, or nothing when the desktop has none.
    using PrinterLookup = std::function<std::optional<QString>()>;

    WindowPrinter(QMainWindow *window, Prompts *prompts);

    // The handler of "File > Print".
    void printWindow();

    // Tests: which printer counts as the default, and a PDF file that takes
    // the printer's output in place of the device.
    void setDefaultPrinterLookup(PrinterLookup lookup) { m_defaultPrinter = std::move(lookup); }
    void redirectOutput(const QString &pdfFile) { m_redirect = pdfFile; }

    // The window's client area as shown on screen: all below the menu bar.
    QPixmap clientArea() const;
    // Where an image goes on a printable area of the given size: top left,
    // the largest size that fits, proportions kept.
    static QRect placement(QSize image, QSize printable);

private:
    // Prints one landscape page; false when the job could not be done.
    static bool printPage(QPrinter &printer, const QPixmap &image);

    QMainWindow *m_window;
    Prompts *m_prompts;
    PrinterLookup m_defaultPrinter;
    QString m_redirect;
};
