#pragma once

#include "link/serialline.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// The simulated panel meter: its settings, its registers and its command
// parser. It has no I/O of its own; SimLine (in-process) and PtyMeter (a
// pseudo-terminal) carry bytes to and from it and apply the answer delay.
class SimMeter : public QObject
{
    Q_OBJECT
public:
    // How the meter and the computer get on at a given line setting.
    enum class LineCondition {
        Clear,   // same baud rate and parity: replies arrive intact
        Silent,  // the meter hears nothing it can frame, so it never answers
        Garbled, // odd against even parity: the meter answers, the computer gets noise
    };

    explicit SimMeter(QObject *parent = nullptr);

    // Model code (register 153), firmware version (154) and address (150).
    QString model() const;
    void setModel(const QString &model);
    QString version() const;
    void setVersion(const QString &version);
    int address() const;
    void setAddress(int address);

    int baudRate() const { return m_baudRate; }
    void setBaudRate(int baud) { m_baudRate = baud; }
    Parity parity() const { return m_parity; }
    void setParity(Parity parity) { m_parity = parity; }
    LineCondition lineCondition(int baud, Parity parity) const;

    // Milliseconds between the end of a command and the start of its reply.
    int answerDelay() const { return m_answerDelay; }
    void setAnswerDelay(int ms) { m_answerDelay = ms; }
    // Text of the line that acknowledges a write; may be empty.
    QString writeAck() const { return m_writeAck; }
    void setWriteAck(const QString &ack) { m_writeAck = ack; }

    // Registers by name: "153" or a letter "H".."X". Unknown ones read "0".
    QString reg(const QString &name) const;
    void setReg(const QString &name, const QString &value);

    // Bytes the computer sent at the meter's own line settings. Returns the
    // reply lines (each ended by CR LF) for the commands these bytes complete.
    QList<QByteArray> receive(const QByteArray &bytes);
    // Forgets a partly received command.
    void clearInput() { m_input.clear(); }

    // Commands received, without the closing '*' (the probe as "SR150$").
    QStringList log() const { return m_log; }
    void clearLog() { m_log.clear(); }

    // Faults on demand.
    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }
    void dropNextReplies(int n) { m_dropCount = qMax(0, n); }
    void garbleNextReplies(int n) { m_garbleCount = qMax(0, n); }

    // A reply line made unreadable: every text byte gets the top bit set and
    // NUL bytes are mixed in; the CR LF stays so the line still ends.
    static QByteArray garble(const QByteArray &line);
    static bool isCodeRegister(int number);

signals:
    void commandReceived(const QString &command);
    // A complete command got no reply (silent meter, dropped reply, bad syntax).
    void replyWithheld(const QString &command, const QString &reason);

private:
    static bool parseRegisterName(const QByteArray &text, QString *name);
    bool takeCommand(QByteArray *body, char *terminator);
    QByteArray answer(const QByteArray &body, bool *ok);
    QString clockValue(int number) const;

    int m_baudRate = 9600;
    Parity m_parity = Parity::None;
    int m_answerDelay = 0;
    QString m_writeAck = QStringLiteral("OK");
    QHash<QString, QString> m_registers;
    QByteArray m_input;
    QStringList m_log;
    bool m_silent = false;
    int m_dropCount = 0;
    int m_garbleCount = 0;
};
