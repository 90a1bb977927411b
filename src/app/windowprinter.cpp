#include "windowprinter.h"

#include "link/prompts.h"

#include <QMainWindow>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

WindowPrinter::WindowPrinter(QMainWindow *window, Prompts *prompts)
    : QObject(window), m_window(window), m_prompts(prompts), m_defaultPrinter([]() -> std::optional<QString> {
          const QPrinterInfo info = QPrinterInfo::defaultPrinter();
          if (info.isNull())
              return std::nullopt;
          return info.printerName();
      })
{
    setObjectName(QStringLiteral("WindowPrinter"));
}

void WindowPrinter::printWindow()
{
    // Taken first, so no question asked below shows in the picture.
    const QPixmap image = clientArea();
    QPrinter printer(QPrinter::HighResolution);
    if (const std::optional<QString> name = m_defaultPrinter()) {
        printer.setPrinterName(*name);
        if (!m_redirect.isEmpty())
            printer.setOutputFileName(m_redirect);
        if (!printPage(printer, image))
            m_prompts->error(QStringLiteral("The window could not be printed on %1.").arg(*name));
        return;
    }

    m_prompts->message(QStringLiteral("There is no default printer. The page can be saved as a PDF file instead."));
    const std::optional<QString> file = m_prompts->saveFileName(
        {QStringLiteral("Save Page as PDF"), QStringLiteral("PDF Document|*.PDF"), QStringLiteral("PDF")});
    if (!file)
        return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*file);
    if (!printPage(printer, image))
        m_prompts->fileError(QStringLiteral("Cannot write %1").arg(*file));
}

QPixmap WindowPrinter::clientArea() const
{
    QRect area = m_window->rect();
    if (const QWidget *menu = m_window->menuWidget(); menu && menu->isVisible())
        area.setTop(menu->geometry().bottom() + 1);
    return m_window->grab(area);
}

QRect WindowPrinter::placement(QSize image, QSize printable)
{
    if (image.isEmpty() || printable.isEmpty())
        return {};
    return QRect(QPoint(0, 0), image.scaled(printable, Qt::KeepAspectRatio));
}

bool WindowPrinter::printPage(QPrinter &printer, const QPixmap &image)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The painter's origin is the printable area's top left corner.
    painter.drawPixmap(placement(image.size(), QSize(printer.width(), printer.height())), image);
    return painter.end() && printer.printerState() != QPrinter::Error;
}
