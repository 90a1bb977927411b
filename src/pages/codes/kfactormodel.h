#pragma once

#include "pages/pagemodel.h"

#include <QObject>
#include <optional>

// The K factor of the Code 2 page: an input rate, a time and the totaliser
// value that rate should give after that time, turned into the meter's
// multiplier (register 152) and quotient (register 38).
class KFactorModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int MultiplierRegister = 152;
    static constexpr int QuotientRegister = 38;
    // A total count above this (255 x 32767 or more) cannot be represented.
    static constexpr qint64 Limit = 8355584;
    static constexpr int MaxMultiplier = 255;
    static constexpr int MaxQuotient = 32767;

    struct KFactor
    {
        int multiplier = 0;
        int quotient = 0;
    };

    explicit KFactorModel(const ModelContext &context, QObject *parent = nullptr);

    // The entries as typed; a unit that is none of units() counts as seconds.
    QString rate() const { return m_rate; }
    QString time() const { return m_time; }
    QString unit() const { return m_unit; }
    QString total() const { return m_total; }
    void setRate(const QString &rate) { m_rate = rate; }
    void setTime(const QString &time) { m_time = time; }
    void setUnit(const QString &unit) { m_unit = unit; }
    void setTotal(const QString &total) { m_total = total; }
    static QStringList units();

    // The two result lines, "K Factor High Byte" and "K Factor Low Byte".
    QString highText() const { return m_high; }
    QString lowText() const { return m_low; }
    // Only a calculated pair is sent: after a reopen the result lines hold
    // captions and register values, which must never reach the meter.
    bool canSend() const { return m_result.has_value(); }
    bool isOpen() const { return m_open; }

    // Reads both registers into the result lines and opens the panel.
    void openFromMeter();
    // "Calculate K Factor".
    void calculate();
    // "Send Values to Meter": writes the calculated pair and closes.
    void send();
    void close();

    // 5 x the unit's length in seconds.
    static int unitFactor(const QString &unit);
    // Total count for the entries, or nothing when it is negative, above
    // Limit, or too large to compute at all.
    static std::optional<qint64> totalCount(int rate, int time, int factor, int total);
    // The smallest multiplier n <= 255 that divides N with a quotient <= 32767.
    static std::optional<KFactor> split(qint64 total);

    QList<SettingRegister> settings() const;

signals:
    void changed();
    // Both registers were written and the panel closed.
    void sent();

private:
    void showFailure(const QString &high);

    ModelContext m_context;
    QString m_rate = QStringLiteral("100");
    QString m_time = QStringLiteral("3600");
    QString m_unit;
    QString m_total = QStringLiteral("10");
    QString m_high;
    QString m_low;
    bool m_open = false;
    std::optional<KFactor> m_result;
};
