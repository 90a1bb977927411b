#include "simmeter.h"

#include <QDateTime>

namespace {

enum class Kind {
    Fixed,    // every register of the run starts with the same text
    Counting, // start value, then + step for each following register
    Clock,    // read from the computer's clock until written
};

struct RegisterDefault
{
    const char *first; // register name: a number or a letter
    int count;         // how many consecutive numbered registers
    Kind kind;
    const char *value;
    double step;
};

// Every register the meter knows, with the value it has after power-up.
// Registers not listed here read "0".
const RegisterDefault registerTable[] = {
    {"2", 1, Kind::Fixed, "123.4", 0},    // display value
    {"3", 1, Kind::Fixed, "123.4", 0},    // result value
    {"4", 1, Kind::Fixed, "123.4", 0},    // channel 1 value
    {"5", 1, Kind::Fixed, "0.0", 0},      // channel 2 value
    {"6", 6, Kind::Counting, "100", 100}, // setpoint values 1..6
    {"24", 3, Kind::Fixed, "1.0000", 0},  // scales
    {"27", 3, Kind::Fixed, "0", 0},       // offsets
    {"38", 1, Kind::Fixed, "1.0000", 0},  // K factor quotient
    {"65", 6, Kind::Fixed, "0", 0},       // hysteresis
    {"71", 6, Kind::Fixed, "0", 0},       // make delays
    {"77", 6, Kind::Fixed, "0", 0},       // break delays
    {"97", 2, Kind::Fixed, "1", 0},       // prescalers
    {"99", 1, Kind::Fixed, "0", 0},       // bargraph low
    {"100", 1, Kind::Fixed, "1000", 0},   // bargraph high
    {"101", 1, Kind::Fixed, "1", 0},      // bargraph colours
    {"129", 1, Kind::Fixed, "0", 0},      // calibration code
    {"130", 1, Kind::Fixed, "000", 0},    // setup Codes 1..10
    {"131", 1, Kind::Fixed, "060", 0},       {"132", 1, Kind::Fixed, "160", 0},
    {"133", 7, Kind::Fixed, "000", 0},       {"142", 6, Kind::Fixed, "000", 0}, // setpoint codes
    {"148", 1, Kind::Fixed, "5", 0},                                            // brightness 0..7, "5 - Default"
    {"150", 1, Kind::Fixed, "1", 0},                                            // address
    {"152", 1, Kind::Fixed, "1", 0},                                            // K factor multiplier
    {"153", 1, Kind::Fixed, "KM5B", 0},                                         // model code
    {"154", 1, Kind::Fixed, "1.26", 0},                                         // firmware version
    {"160", 1, Kind::Fixed, "0", 0},                                            // macro run state
    {"193", 6, Kind::Fixed, "0", 0},                                            // setpoint control bits
    {"199", 14, Kind::Fixed, "0", 0}, // display formats, last-digit characters
    {"213", 7, Kind::Clock, "", 0},   // s, min, h, day of week, day, month, year
    {"220", 1, Kind::Fixed, "0", 0},         {"225", 6, Kind::Fixed, "0", 0},
    {"257", 256, Kind::Counting, "0.0", 10}, // linearization tables
    {"513", 66, Kind::Fixed, "0", 0},        // macro words
    {"705", 3, Kind::Fixed, "0", 0},         // lockout masks
    {"H", 1, Kind::Fixed, "PEAK", 0},        // short display texts
    {"I", 1, Kind::Fixed, "VALLY", 0},       {"J", 1, Kind::Fixed, "TOTAL", 0},
    {"K", 1, Kind::Fixed, "SUBTL", 0},       {"L", 1, Kind::Fixed, "SP 1", 0},
    {"M", 1, Kind::Fixed, "SP 2", 0},        {"N", 1, Kind::Fixed, "SP 3", 0},
    {"O", 1, Kind::Fixed, "SP 4", 0},        {"P", 1, Kind::Fixed, "SP 5", 0},
    {"Q", 1, Kind::Fixed, "SP 6", 0},        {"R", 1, Kind::Fixed, "OVER", 0},
    {"S", 1, Kind::Fixed, "UNDER", 0},       {"T", 1, Kind::Fixed, "CH 1", 0},
    {"U", 1, Kind::Fixed, "CH 2", 0},        {"V", 1, Kind::Fixed, "CH 3", 0},
    {"W", 1, Kind::Fixed, "CH 4", 0},        {"X", 1, Kind::Fixed, "", 0}, // print string
};

// Longest command body kept while waiting for its terminator; anything
// longer is line noise.
constexpr int MaxCommandLength = 200;

int decimalsOf(const QByteArray &text)
{
    const int dot = text.indexOf('.');
    return dot < 0 ? 0 : int(text.size()) - dot - 1;
}

bool startsCommand(const QByteArray &bytes, int i)
{
    return i + 1 < bytes.size() && bytes.at(i) == 'S' && (bytes.at(i + 1) == 'R' || bytes.at(i + 1) == 'W');
}

} // namespace

SimMeter::SimMeter(QObject *parent) : QObject(parent)
{
    for (const RegisterDefault &entry : registerTable) {
        bool numbered = false;
        const int first = QByteArray(entry.first).toInt(&numbered);
        if (!numbered) {
            m_registers.insert(QString::fromLatin1(entry.first), QString::fromLatin1(entry.value));
            continue;
        }
        for (int i = 0; i < entry.count; ++i) {
            const QString name = QString::number(first + i);
            switch (entry.kind) {
            case Kind::Fixed:
                m_registers.insert(name, QString::fromLatin1(entry.value));
                break;
            case Kind::Counting: {
                const double start = QByteArray(entry.value).toDouble();
                m_registers.insert(name, QString::number(start + i * entry.step, 'f', decimalsOf(entry.value)));
                break;
            }
            case Kind::Clock:
                break; // computed on each read
            }
        }
    }
}

QString SimMeter::model() const
{
    return reg(QStringLiteral("153"));
}
void SimMeter::setModel(const QString &model)
{
    setReg(QStringLiteral("153"), model);
}
QString SimMeter::version() const
{
    return reg(QStringLiteral("154"));
}
void SimMeter::setVersion(const QString &version)
{
    setReg(QStringLiteral("154"), version);
}
int SimMeter::address() const
{
    return reg(QStringLiteral("150")).toInt();
}
void SimMeter::setAddress(int address)
{
    setReg(QStringLiteral("150"), QString::number(address));
}

SimMeter::LineCondition SimMeter::lineCondition(int baud, Parity parity) const
{
    if (baud != m_baudRate)
        return LineCondition::Silent;
    if (parity == m_parity)
        return LineCondition::Clear;
    // A parity bit where none is expected (or the reverse) shifts the stop
    // bit: framing errors, the meter discards everything. Odd against even
    // frames fine but every character fails the parity check both ways.
    if (parity == Parity::None || m_parity == Parity::None)
        return LineCondition::Silent;
    return LineCondition::Garbled;
}

bool SimMeter::isCodeRegister(int number)
{
    return (number >= 130 && number <= 139) || (number >= 142 && number <= 147);
}

QString SimMeter::reg(const QString &name) const
{
    const auto it = m_registers.constFind(name);
    if (it != m_registers.constEnd())
        return *it;
    bool numbered = false;
    const int number = name.toInt(&numbered);
    return numbered ? clockValue(number) : QStringLiteral("0");
}

void SimMeter::setReg(const QString &name, const QString &value)
{
    bool numbered = false;
    const int number = name.toInt(&numbered);
    if (numbered && isCodeRegister(number)) {
        // The meter reads a code up to its end or a comma ("SW142,21,").
        QString digits = value.trimmed();
        if (digits.endsWith(QLatin1Char(',')))
            digits.chop(1);
        bool isNumber = false;
        const int code = digits.toInt(&isNumber);
        if (isNumber && code >= 0 && code <= 999) {
            m_registers.insert(name, QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0')));
            return;
        }
    }
    m_registers.insert(name, value);
}

QString SimMeter::clockValue(int number) const
{
    for (const RegisterDefault &entry : registerTable) {
        if (entry.kind != Kind::Clock)
            continue;
        const int index = number - QByteArray(entry.first).toInt();
        if (index < 0 || index >= entry.count)
            continue;
        const QDateTime now = QDateTime::currentDateTime();
        const int fields[] = {now.time().second(), now.time().minute(), now.time().hour(),      now.date().dayOfWeek(),
                              now.date().day(),    now.date().month(),  now.date().year() % 100};
        return QString::number(fields[index]);
    }
    return QStringLiteral("0");
}

QByteArray SimMeter::garble(const QByteArray &line)
{
    QByteArray text = line;
    if (text.endsWith("\r\n"))
        text.chop(2);
    if (text.isEmpty())
        text = "?"; // even a blank line arrives as noise
    QByteArray out;
    for (int i = 0; i < text.size(); ++i) {
        out += char(uchar(text.at(i)) | 0x80);
        if (i % 2 == 0)
            out += '\0';
    }
    return out + "\r\n";
}

bool SimMeter::parseRegisterName(const QByteArray &text, QString *name)
{
    if (text.size() == 1 && text.at(0) >= 'A' && text.at(0) <= 'Z') {
        *name = QString::fromLatin1(text);
        return true;
    }
    if (text.isEmpty() || text.size() > 5 || (text.at(0) == '0' && text.size() > 1))
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    *name = QString::fromLatin1(text);
    return true;
}

// Cuts the next complete command out of the input: skips noise up to "SR" or
// "SW", restarts when a new "SR"/"SW" begins before the register name is
// complete, and ends at '*' (or '$' for a read, as in the probe "SR150$").
bool SimMeter::takeCommand(QByteArray *body, char *terminator)
{
    for (;;) {
        int start = -1;
        for (int i = 0; i < m_input.size(); ++i) {
            if (startsCommand(m_input, i)) {
                start = i;
                break;
            }
        }
        if (start < 0) {
            m_input = m_input.endsWith('S') ? QByteArray("S") : QByteArray();
            return false;
        }
        m_input.remove(0, start);

        const bool write = m_input.at(1) == 'W';
        bool inRegister = true;
        int restart = -1;
        for (int i = 2; i < m_input.size(); ++i) {
            const char c = m_input.at(i);
            if (c == '*' || (c == '$' && !write)) {
                *body = m_input.left(i);
                *terminator = c;
                m_input.remove(0, i + 1);
                return true;
            }
            if (write && c == ',')
                inRegister = false;
            if (inRegister && startsCommand(m_input, i)) {
                restart = i;
                break;
            }
        }
        if (restart > 0)
            m_input.remove(0, restart);
        else if (m_input.size() > MaxCommandLength)
            m_input.remove(0, 2);
        else
            return false;
    }
}

QByteArray SimMeter::answer(const QByteArray &body, bool *ok)
{
    QString name;
    if (body.startsWith("SR")) {
        *ok = parseRegisterName(body.mid(2), &name);
        return *ok ? reg(name).toLatin1() + "\r\n" : QByteArray();
    }
    const int comma = body.indexOf(',');
    *ok = comma > 0 && parseRegisterName(body.mid(2, comma - 2), &name);
    if (!*ok)
        return {};
    setReg(name, QString::fromLatin1(body.mid(comma + 1)));
    return m_writeAck.toLatin1() + "\r\n";
}

QList<QByteArray> SimMeter::receive(const QByteArray &bytes)
{
    m_input += bytes;
    QList<QByteArray> replies;
    QByteArray body;
    char terminator = '*';
    while (takeCommand(&body, &terminator)) {
        const QString command = QString::fromLatin1(body) + (terminator == '$' ? "$" : "");
        m_log << command;
        emit commandReceived(command);

        bool valid = false;
        QByteArray reply = answer(body, &valid);
        if (!valid) {
            emit replyWithheld(command, QStringLiteral("not a valid command"));
        } else if (m_silent) {
            emit replyWithheld(command, QStringLiteral("meter is silent"));
        } else if (m_dropCount > 0) {
            --m_dropCount;
            emit replyWithheld(command, QStringLiteral("reply dropped"));
        } else {
            if (m_garbleCount > 0) {
                --m_garbleCount;
                reply = garble(reply);
            }
            replies << reply;
        }
    }
    return replies;
}
