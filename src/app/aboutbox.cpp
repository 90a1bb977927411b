#include "aboutbox.h"

#include "meterface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>

#ifdef Q_OS_WIN
#include <windows.h>
#ifdef _MSC_VER
#pragma comment(lib, "version.lib")
#endif
#endif

namespace {

// The maker's contact lines; a fictional maker, placeholder contacts.
const char *const ContactLines[] = {
    "Korvane Instruments Ltd.",
    "1 Example Road",
    "Sampletown",
    "Example County  EX0 0AA",
    "",
    "Tel: 555-0100 / 555-0101",
    "Fax: 555-0102",
    "www.example.com  sales@example.com",
    "",
};

constexpr int MemoTop = 160;

} // namespace

AboutBox::AboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("What"));
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(ClientSize);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(QPixmap::fromImage(picture()));
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setGeometry(0, 0, width(), height());
    m_image->setAccessibleName(QStringLiteral("Korvane panel meter picture, click to close"));
    m_image->installEventFilter(this);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setGeometry(0, MemoTop, width(), height() - MemoTop);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont bold(QStringLiteral("Sans Serif"));
    bold.setStyleHint(QFont::SansSerif);
    bold.setPixelSize(13);
    bold.setBold(true);
    m_memo->setFont(bold);
    // White fill and readable text although it takes no input.
    QPalette palette = m_memo->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    m_memo->setPalette(palette);
    m_memo->setAccessibleName(QStringLiteral("Maker and version"));
    m_memo->setEnabled(false);

    m_memo->clear();
    for (const char *line : ContactLines)
        m_memo->appendPlainText(QString::fromLatin1(line));
    const QString version = versionInfo(QStringLiteral("FileVersion"));
    m_memo->appendPlainText(QStringLiteral("Version: ")
                            + (version.isEmpty() ? QStringLiteral("not recorded in this program file") : version));
    // All ten lines fit; show them from the first.
    m_memo->document()->setDocumentMargin(1);
    m_memo->moveCursor(QTextCursor::Start);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void AboutBox::showModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

QStringList AboutBox::lines() const
{
    return m_memo->toPlainText().split(QLatin1Char('\n'));
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_image && event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString AboutBox::versionInfo(const QString &key)
{
#ifdef Q_OS_WIN
    // The version resource of the running program file, in the language and
    // code page of its first translation entry.
    const std::wstring path = QCoreApplication::applicationFilePath().toStdWString();
    DWORD handle = 0;
    const DWORD size = GetFileversionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return QString();
    QByteArray data(int(size) + 1, '\0');
    if (!GetFileversionInfoW(path.c_str(), 0, size, data.data()))
        return QString();
    struct Translation
    {
        WORD language;
        WORD codePage;
    } *translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation), &length)
        || length < sizeof(Translation))
        return QString();
    const QString block = QStringLiteral("%1%2")
                              .arg(translation->language, 4, 16, QLatin1Char('0'))
                              .arg(translation->codePage, 4, 16, QLatin1Char('0'))
                              .toUpper();
    const QString name = QStringLiteral("\\StringFileInfo\\") + block + QLatin1Char('\\') + key;
    wchar_t *value = nullptr;
    if (!VerQueryValueW(data.data(), reinterpret_cast<LPCWSTR>(name.utf16()), reinterpret_cast<void **>(&value),
                        &length)
        || length == 0)
        return QString();
    return QString::fromWCharArray(value, int(length) - 1);
#else
    // Elsewhere the build embeds the project's four-part version.
#ifdef METER_SETUP_VERSION
    if (key == QLatin1String("FileVersion"))
        return QStringLiteral(METER_SETUP_VERSION);
#endif
    return QString();
#endif
}

QImage AboutBox::picture()
{
    QImage image(PictureSize, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, image.width(), 0);
    band.setColorAt(0, QColor(24, 60, 110));
    band.setColorAt(1, QColor(70, 130, 190));
    p.fillRect(image.rect(), band);

    // The panel meter on the left.
    paintMeterFace(p, QRectF(14, 26, 170, 100), QStringLiteral("88.88"));

    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(200, 34, 190, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Korvane"));
    title.setPixelSize(15);
    title.setBold(false);
    p.setFont(title);
    p.drawText(QRectF(200, 76, 190, 44), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Meter Setup Utility"));
    return image;
}
