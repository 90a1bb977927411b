#pragma once

#include "link/clock.h"
#include "pages/setup/setuptransfer.h"

#include <QObject>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

class CliPrompts;
class MeterSession;
class MeterSetup;
class QCommandLineParser;
class SerialLine;

// The meter from a shell: the commands of `meter-cli`, each one run through
// the same exchange, detection, setup files and checks as the window.
class MeterCli : public QObject
{
    Q_OBJECT
public:
    enum Exit {
        Success = 0,
        Differs = 1,     // diff: the meter differs from the file
        Failed = 2,      // usage, a port that cannot be opened, a refused value, a write that did not stick
        NoMeter = 3,     // no meter answered on the port
        TimedOut = 4,    // the meter stopped answering
        FileRefused = 5, // the setup file cannot be used
        OtherModel = 6,  // the file is from another model: nothing written
        Interrupted = 130,
    };

    struct Io
    {
        QTextStream *out = nullptr;
        QTextStream *err = nullptr;
        bool errIsTerminal = false;
        bool inIsTerminal = false;
        std::function<QString()> readAnswer;
    };
    // Makes the line for a port: `number` from the port table, or 0 with
    // `device` for a device outside it.
    using LineMaker = std::function<std::unique_ptr<SerialLine>(int number, const QString &device)>;

    MeterCli(Io io, LineMaker makeLine, Clock &clock = Clock::system(), QObject *parent = nullptr);
    ~MeterCli() override;

    // Runs the command line (the program's name first); returns the exit code.
    int run(const QStringList &arguments);
    // Ctrl+C: the exchange on the line finishes, then the command stops.
    void interrupt();

private:
    struct Options;

    int listPorts();
    // The prompts, the session over the port's line and the page models for
    // the register description; nothing is sent yet.
    void makeSession(const Options &options);
    // Opens the port and finds the meter; Success or the exit code of why not.
    int findMeter(const Options &options);
    int detect(const Options &options);
    int read(const Options &options);
    int write(const Options &options);
    int save(const Options &options);
    int diff(const Options &options);
    int apply(const Options &options);
    int watch(const Options &options);
    // diff and apply: checks the file, finds the meter, reads the file's
    // registers and compares them.
    int compareWithFile(const Options &options, setupfile::Document *file, QList<setuptransfer::Row> *rows);
    // The exit code for an exchange that ended the command.
    int exchangeEnded() const;
    void say(const QString &text);

    Io m_io;
    LineMaker m_makeLine;
    Clock &m_clock;
    std::unique_ptr<CliPrompts> m_prompts;
    std::unique_ptr<MeterSession> m_session;
    std::unique_ptr<MeterSetup> m_setup;
    bool m_interrupted = false;
    std::function<void()> m_onInterrupt;
};
