#include "sessionrig.h"

SessionRig::SessionRig(std::chrono::milliseconds tick, Time time)
{
    Clock &runOn = time == Time::Real ? Clock::system() : static_cast<Clock &>(clock);
    auto simLine = std::make_unique<SimLine>(&meter, runOn);
    line = simLine.get();
    session = std::make_unique<MeterSession>(std::move(simLine), &prompts, runOn, tick);
    MeterSession *s = session.get();
    QObject::connect(s, &MeterSession::quitRequested, s, [this]() { ++quits; });
    QObject::connect(s, &MeterSession::statusPanelChanged, s,
                     [this](int panel, const QString &text) { panels[panel] = text; });
    QObject::connect(s, &MeterSession::pageControlEnabledChanged, s,
                     [this](bool enabled) { pageControlEnabled = enabled; });
    exchange().commsTimer().setInterval(300);
}

SessionRig::~SessionRig() = default;

QStringList SessionRig::commands() const
{
    QStringList out;
    for (const QString &c : meter.log()) {
        if (c != QLatin1String("SR150$"))
            out.append(c);
    }
    return out;
}
