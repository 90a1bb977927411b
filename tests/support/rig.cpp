#include "rig.h"

Rig::Rig(std::chrono::milliseconds tick)
{
    auto simLine = std::make_unique<SimLine>(&meter);
    line = simLine.get();
    MainWindow::Options options;
    options.tick = tick;
    options.detectOnActivation = false;
    options.quitApplication = [this]() { ++quits; };
    window = std::make_unique<MainWindow>(std::move(simLine), &prompts, options);
    window->exchange().commsTimer().setInterval(300);
}

QStringList Rig::commands() const
{
    QStringList out;
    for (const QString &c : meter.log()) {
        if (c != QLatin1String("SR150$"))
            out.append(c);
    }
    return out;
}

QStringList Rig::detectionReads()
{
    QStringList reads{QStringLiteral("SR153"), QStringLiteral("SR154")};
    for (int code = 1; code <= 10; ++code)
        reads << QStringLiteral("SR%1").arg(129 + code);
    for (int reg = 24; reg <= 29; ++reg)
        reads << QStringLiteral("SR%1").arg(reg);
    reads << QStringLiteral("SR148");
    return reads;
}
