#include "prescalerpanel.h"

#include "link/registers.h"
#include "pages/inputconventions.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "pages/values/decimaltext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <cmath>

PrescalerPanel::PrescalerPanel(const PageContext &context, Channel channel, QWidget *parent)
    : QFrame(parent), m_context(context), m_channel(channel)
{
    const bool counter = channel == Channel::Counter;
    setObjectName(counter ? QStringLiteral("Panel10") : QStringLiteral("Panel13"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);

    auto *grid = new QGridLayout(this);
    auto *caption = new QLabel(QStringLiteral("Counter Prescaler"));
    m_field = new QLineEdit(QStringLiteral("1"));
    m_field->setObjectName(counter ? QStringLiteral("Edit2") : QStringLiteral("Edit6"));
    if (m_context.conventions)
        m_context.conventions->bindHighlight(m_field);
    m_field->setAccessibleName(QStringLiteral("Counter prescaler"));
    caption->setBuddy(m_field);

    // The up-down control is a spin box reduced to its arrows: its own text
    // stays hidden and read-only, the field beside it shows the position.
    m_upDown = new QSpinBox;
    m_upDown->setObjectName(counter ? QStringLiteral("UpDown4") : QStringLiteral("UpDown2"));
    m_upDown->setAccessibleName(QStringLiteral("Counter prescaler up-down"));
    m_upDown->setRange(Minimum, Maximum);
    m_upDown->setGroupSeparatorShown(false);
    m_upDown->setWrapping(false);
    if (auto *own = m_upDown->findChild<QLineEdit *>()) {
        own->setReadOnly(true);
        own->hide();
    }
    m_upDown->setFocusProxy(nullptr);
    m_upDown->setFocusPolicy(Qt::StrongFocus);
    QStyleOptionSpinBox option;
    option.initFrom(m_upDown);
    option.subControls = QStyle::SC_SpinBoxUp;
    option.rect = QRect(0, 0, 100, m_field->sizeHint().height());
    const QRect arrows = m_upDown->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, m_upDown);
    m_upDown->setFixedSize(arrows.width() + 4, m_field->sizeHint().height());

    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_field, 0, 1);
    grid->addWidget(m_upDown, 0, 2);
    if (counter) {
        m_debounce = new QCheckBox(QStringLiteral("De-bounce"));
        m_debounce->setObjectName(QStringLiteral("CheckBox1"));
        grid->addWidget(m_debounce, 1, 1, 1, 2);
    }
    m_send = new QPushButton(QStringLiteral("Send Values to Meter"));
    m_send->setObjectName(counter ? QStringLiteral("Button18") : QStringLiteral("Button19"));
    grid->addWidget(m_send, 2, 0, 1, 3);

    connect(m_field, &QLineEdit::textChanged, this, [this]() { runGuarded(m_context, [this]() { normalise(); }); });
    connect(m_upDown, &QSpinBox::valueChanged, this,
            [this](int position) { m_field->setText(QString::number(position)); });
    connect(m_send, &QPushButton::clicked, this, [this]() { runGuarded(m_context, [this]() { sendPrescaler(); }); });
    hide();
}

QString PrescalerPanel::normalised(const QString &text)
{
    // Blanks around the number are allowed here; the error names the text
    // as typed.
    const QString trimmed = text.trimmed();
    float value = 1;
    try {
        value = decimaltext::toSingle(trimmed == QLatin1String("-") ? QStringLiteral("1") : trimmed);
    } catch (const UserError &) {
        throw decimaltext::notANumber(text);
    }
    value = std::clamp(value, float(Minimum), float(Maximum));
    return QString::number(std::lround(value));
}

qint16 PrescalerPanel::counterWord(int prescaler, bool debounce)
{
    quint16 word = quint16(prescaler);
    if (debounce)
        word |= 0x8000;
    return qint16(word);
}

void PrescalerPanel::setPosition(int position)
{
    m_upDown->setValue(position);
    // The field follows even when the position did not change (it may hold
    // a text the operator left unfinished).
    m_field->setText(QString::number(m_upDown->value()));
}

void PrescalerPanel::normalise()
{
    const QString text = normalised(m_field->text());
    if (text != m_field->text())
        m_field->setText(text);
    const QSignalBlocker blocker(m_upDown);
    m_upDown->setValue(text.toInt());
}

void PrescalerPanel::openFromMeter()
{
    show();
    if (m_channel == Channel::Counter) {
        const int value = convert::toInt(m_context.exchange->comms(readCommand(97)).value);
        m_debounce->setChecked((value & 0x8000) != 0);
        setPosition(value & Maximum);
    } else {
        setPosition(convert::toInt(m_context.exchange->comms(readCommand(98)).value));
    }
}

void PrescalerPanel::sendPrescaler()
{
    hide();
    if (m_channel == Channel::Counter) {
        const int prescaler = convert::toInt(m_field->text());
        emit closing();
        m_context.exchange->comms(writeCommand(97, counterWord(prescaler, m_debounce->isChecked())));
        return;
    }
    emit closing();
    // Only a number goes out; anything else is reported.
    m_context.exchange->comms(writeCommand(98, convert::toInt(m_field->text())));
}
