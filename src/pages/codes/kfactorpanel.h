#pragma once

#include "pages/page.h"

#include <QFrame>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The K-factor panel of the Code 2 page: turns an input rate, a time and
// the totaliser value that rate should give after that time into the
// meter's multiplier (register 152) and quotient (register 38).
class KFactorPanel : public QFrame
{
    Q_OBJECT
public:
    // A total count above this (255 x 32767 or more) cannot be represented.
    static constexpr qint64 Limit = 8355584;
    static constexpr int MaxMultiplier = 255;
    static constexpr int MaxQuotient = 32767;

    struct KFactor
    {
        int multiplier = 0;
        int quotient = 0;
    };

    KFactorPanel(const PageContext &context, QWidget *parent);

    // Reads both K-factor registers into the result labels and shows the panel.
    void openFromMeter();
    // "Calculate K Factor".
    void calculate();
    // "Send Values to Meter": writes the last calculated pair and closes.
    void sendKFactor();

    // 5 x the unit's length in seconds; anything unknown counts as seconds.
    static int unitFactor(const QString &unit);
    // Total count for the entries, or nothing when it is negative, above
    // Limit, or too large to compute at all.
    static std::optional<qint64> totalCount(int rate, int time, int factor, int total);
    // The smallest multiplier n <= 255 that divides N with a quotient <= 32767.
    static std::optional<KFactor> split(qint64 total);

    QLineEdit *rateField() const { return m_rate; }
    QLineEdit *timeField() const { return m_time; }
    QComboBox *unitBox() const { return m_unit; }
    QLineEdit *totalField() const { return m_total; }
    QLabel *highLabel() const { return m_high; }
    QLabel *lowLabel() const { return m_low; }
    QPushButton *sendButton() const { return m_send; }
    QPushButton *calculateButton() const { return m_calculate; }

signals:
    // Both registers were written and the panel is hidden.
    void kFactorSent();

private:
    void showFailure(const QString &high);

    PageContext m_context;
    QLineEdit *m_rate = nullptr;
    QLineEdit *m_time = nullptr;
    QComboBox *m_unit = nullptr;
    QLineEdit *m_total = nullptr;
    QLabel *m_high = nullptr;
    QLabel *m_low = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_calculate = nullptr;
    std::optional<KFactor> m_result;
};
