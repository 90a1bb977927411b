#include "app/mainwindow.h"
#include "app/qtprompts.h"
#include "app/singleinstance.h"
#include "app/splashwindow.h"
#include "link/metersession.h"
#include "link/qserialline.h"
#include "pages/metersetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("meter-setup"));
    QApplication::setApplicationVersion(QStringLiteral(METER_SETUP_VERSION));

    QtPrompts prompts;
    SingleInstance guard(QStringLiteral("SingleInstanceProgram"));
    if (!guard.acquire()) {
        prompts.message(QStringLiteral("Application Already Running"));
        return 0;
    }

    try {
        auto *splash = new SplashWindow;
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->show();
        splash->repaint();
        QApplication::processEvents();

        MeterSession session(std::make_unique<QSerialLine>(), &prompts);
        MeterSetup setup(session);
        MainWindow::Options options;
        options.splash = splash;
        MainWindow window(session, setup, &prompts, options);
        prompts.setParent(&window);
        window.show();
        QApplication::exec();
    } catch (const std::exception &e) {
        prompts.error(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
