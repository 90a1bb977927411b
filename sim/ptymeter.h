#pragma once

#include "link/serialline.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>

class QLockFile;
class QSocketNotifier;
class SimMeter;

// Serves a SimMeter on a pseudo-terminal and publishes the terminal as the
// link "COM<n>" in the folder where the setup program looks for ports.
// The meter answers only while the terminal's line settings (as the client
// set them with termios) match its own baud rate and parity, as far as the
// terminal shows them (see lineSettings()).
class PtyMeter : public QObject
{
    Q_OBJECT
public:
    static constexpr int FirstCom = 41;
    static constexpr int LastCom = 50;

    explicit PtyMeter(SimMeter *meter, QObject *parent = nullptr);
    ~PtyMeter() override;

    // Opens the terminal and publishes it as COM<comNumber> (41..50). On
    // failure returns false with a reason in *error.
    bool start(int comNumber, QString *error);
    // Removes the link (if it is still ours) and closes the terminal.
    void stop();
    bool isRunning() const { return m_master >= 0; }

    int comNumber() const { return m_comNumber; }
    QString linkPath() const { return m_linkPath; }
    QString devicePath() const { return m_devicePath; }
    // <runtime dir>/meter-setup/ports
    static QString linkFolder();

    // The baud rate and parity the terminal is set to now. A Linux pty keeps
    // PARODD but drops PARENB, so odd parity shows while even and none cannot
    // be told apart; those two are taken to be the meter's own setting.
    bool lineSettings(int *baud, Parity *parity) const;

signals:
    void replySent(const QByteArray &line);
    // Bytes the meter could not hear because the line settings differ.
    void bytesIgnored(const QByteArray &bytes, int baud, Parity parity);

private:
    struct Reply
    {
        QByteArray bytes;
        qint64 due = 0; // on m_clock
    };
    bool publishLink(QString *error);
    void readMaster();
    void sendDueReplies();
    void writeOut(const QByteArray &bytes);
    void flushOut();

    SimMeter *m_meter = nullptr;
    int m_comNumber = 0;
    int m_master = -1;
    int m_slave = -1; // held open so master reads never fail with EIO
    QString m_devicePath;
    QString m_linkPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    std::deque<Reply> m_replies;
    QByteArray m_unsent; // what the terminal could not take yet
    QTimer m_replyTimer;
    QElapsedTimer m_clock;
};
