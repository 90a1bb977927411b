#include "kfactorpanel.h"

#include "link/registers.h"

#include "link/commandexchange.h"
#include "link/errors.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtNumeric>

namespace {

const QString HighCaption = QStringLiteral("K Factor High Byte");
const QString LowCaption = QStringLiteral("K Factor Low Byte");

struct Unit
{
    const char *name;
    int factor;
};
const Unit Units[] = {{"Seconds", 5}, {"Minutes", 300}, {"Hours", 18000}, {"Days", 432000}};

QLineEdit *addField(QGridLayout *grid, int row, const QString &caption, const QString &name,
                    const QString &accessibleName, const QString &text)
{
    auto *label = new QLabel(caption);
    auto *field = new QLineEdit(text);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

} // namespace

KFactorPanel::KFactorPanel(const PageContext &context, QWidget *parent) : QFrame(parent), m_context(context)
{
    setObjectName(QStringLiteral("Panel7"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);

    auto *grid = new QGridLayout(this);
    m_rate = addField(grid, 0, QStringLiteral("Input Rate"), QStringLiteral("KFactorRate"),
                      QStringLiteral("Input rate"), QStringLiteral("100"));
    grid->addWidget(new QLabel(QStringLiteral("Counts")), 0, 2);
    m_time = addField(grid, 1, QStringLiteral("after"), QStringLiteral("KFactorTime"), QStringLiteral("Time"),
                      QStringLiteral("3600"));
    m_unit = new QComboBox;
    m_unit->setObjectName(QStringLiteral("KFactorUnit"));
    m_unit->setAccessibleName(QStringLiteral("Time unit"));
    m_unit->setEditable(true);
    m_unit->setInsertPolicy(QComboBox::NoInsert);
    m_unit->setMaxVisibleItems(4);
    for (const Unit &unit : Units)
        m_unit->addItem(QString::fromLatin1(unit.name));
    grid->addWidget(m_unit, 1, 2);
    m_total = addField(grid, 2, QStringLiteral("equals Totaliser Value"), QStringLiteral("KFactorTotal"),
                       QStringLiteral("Totaliser value"), QStringLiteral("10"));
    grid->addWidget(new QLabel(QStringLiteral("Counts")), 2, 2);

    m_low = new QLabel(LowCaption);
    m_low->setObjectName(QStringLiteral("Label116"));
    m_high = new QLabel(HighCaption);
    m_high->setObjectName(QStringLiteral("Label115"));
    for (QLabel *label : {m_low, m_high}) {
        label->setTextFormat(Qt::PlainText); // they show the meter's replies
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    }
    grid->addWidget(m_low, 3, 0, 1, 3);
    grid->addWidget(m_high, 4, 0, 1, 3);

    auto *buttons = new QHBoxLayout;
    m_send = new QPushButton(QStringLiteral("Send Values to Meter"));
    m_send->setObjectName(QStringLiteral("KFactorSend"));
    m_send->setEnabled(false);
    m_calculate = new QPushButton(QStringLiteral("Calculate K Factor"));
    m_calculate->setObjectName(QStringLiteral("KFactorCalculate"));
    buttons->addWidget(m_send);
    buttons->addWidget(m_calculate);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(m_send, &QPushButton::clicked, this, [this]() { runGuarded(m_context, [this]() { sendKFactor(); }); });
    connect(m_calculate, &QPushButton::clicked, this, [this]() { runGuarded(m_context, [this]() { calculate(); }); });
    hide();
}

void KFactorPanel::openFromMeter()
{
    m_high->setText(HighCaption + QStringLiteral("  ") + m_context.exchange->comms(readCommand(38)).value);
    m_low->setText(LowCaption + QStringLiteral("  ") + m_context.exchange->comms(readCommand(152)).value);
    show();
}

int KFactorPanel::unitFactor(const QString &unit)
{
    for (const Unit &u : Units) {
        if (unit == QLatin1String(u.name))
            return u.factor;
    }
    return Units[0].factor;
}

std::optional<qint64> KFactorPanel::totalCount(int rate, int time, int factor, int total)
{
    // time x factor fits in 64 bits for any 32-bit time; only the product
    // with the rate can overflow, and then N is far beyond the limit.
    qint64 product = 0;
    if (qMulOverflow(qint64(time) * factor, qint64(rate), &product))
        return std::nullopt;
    const qint64 n = product / total;
    if (n < 0 || n > Limit)
        return std::nullopt;
    return n;
}

std::optional<KFactorPanel::KFactor> KFactorPanel::split(qint64 total)
{
    for (int n = 1; n <= MaxMultiplier; ++n) {
        if (total % n == 0 && total / n <= MaxQuotient)
            return KFactor{n, int(total / n)};
    }
    return std::nullopt;
}

void KFactorPanel::showFailure(const QString &high)
{
    m_high->setText(high);
    m_low->clear();
    m_send->setEnabled(false);
    m_result.reset();
}

void KFactorPanel::calculate()
{
    struct BusyCursor
    {
        BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    } busy;

    const int rate = convert::toInt(m_rate->text());
    const int time = convert::toInt(m_time->text());
    const int total = convert::toInt(m_total->text());
    if (total == 0)
        throw UserError(QStringLiteral("Division by zero"));

    const std::optional<qint64> n = totalCount(rate, time, unitFactor(m_unit->currentText()), total);
    if (!n) {
        showFailure(QStringLiteral("Value to large"));
        return;
    }
    const std::optional<KFactor> pair = split(*n);
    if (!pair) {
        showFailure(QStringLiteral("No K Factor pair fits"));
        return;
    }
    m_result = pair;
    m_high->setText(QString::number(pair->multiplier));
    m_low->setText(QString::number(pair->quotient));
    m_send->setEnabled(true);
}

void KFactorPanel::sendKFactor()
{
    // Only a calculated pair is sent; after a reopen the labels hold caption
    // text and register values, which must never reach the meter.
    if (!m_result)
        return;
    const KFactor pair = *m_result;
    m_context.exchange->comms(writeCommand(152, pair.multiplier));
    m_context.exchange->comms(writeCommand(38, pair.quotient));
    hide();
    emit kFactorSent();
}
