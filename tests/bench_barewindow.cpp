// The yardstick for the program's start: a bare Qt window of the same size
// with a menu, a five-panel status bar and 21 tabs, which asks for a port in
// a dialog titled "Select Port" once it is first activated, as the program
// does. scripts/bench-startup.sh starts both and compares time and memory.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class BareWindow : public QMainWindow
{
public:
    BareWindow()
    {
        setWindowTitle(QStringLiteral("Bare Window"));
        setFixedSize(800, 600);
        for (const char *menu : {"&File", "&Edit", "&Help"})
            menuBar()->addMenu(QString::fromLatin1(menu))->addAction(QStringLiteral("Item"));
        for (int i = 0; i < 5; ++i)
            statusBar()->addWidget(new QLabel(QStringLiteral("Panel %1").arg(i), this));
        auto *tabs = new QTabWidget(this);
        for (int i = 0; i < 21; ++i)
            tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i + 1));
        setCentralWidget(tabs);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && !m_asked) {
            m_asked = true;
            QTimer::singleShot(0, this, [this]() { askForPort(); });
        }
        return QMainWindow::event(event);
    }

private:
    void askForPort()
    {
        QDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("Select Port"));
        auto *layout = new QVBoxLayout(&dialog);
        auto *ports = new QListWidget(&dialog);
        ports->addItems({QStringLiteral("COM1"), QStringLiteral("COM41")});
        layout->addWidget(ports);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        dialog.exec();
        close();
    }

    bool m_asked = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BareWindow window;
    window.show();
    return QApplication::exec();
}
