#include "prescalermodel.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/values/decimaltext.h"

#include <algorithm>
#include <cmath>

PrescalerModel::PrescalerModel(const ModelContext &context, Channel channel, QObject *parent)
    : QObject(parent), m_context(context), m_channel(channel)
{}

QString PrescalerModel::normalised(const QString &text)
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

qint16 PrescalerModel::counterWord(int prescaler, bool debounce)
{
    quint16 word = quint16(prescaler);
    if (debounce)
        word |= 0x8000;
    return qint16(word);
}

void PrescalerModel::editText(const QString &text)
{
    m_text = text;
    m_text = normalised(text);
    m_position = m_text.toInt();
    emit changed();
}

void PrescalerModel::setPosition(int position)
{
    m_position = std::clamp(position, Minimum, Maximum);
    // The field follows even when the position did not change (it may hold
    // a text the operator left unfinished).
    m_text = QString::number(m_position);
    emit changed();
}

void PrescalerModel::setDebounce(bool debounce)
{
    m_debounce = debounce;
    emit changed();
}

void PrescalerModel::openFromMeter()
{
    m_open = true;
    emit changed();
    const int value = convert::toInt(m_context.exchange->comms(readCommand(reg())).value);
    if (m_channel == Channel::Counter) {
        m_debounce = (value & 0x8000) != 0;
        setPosition(value & Maximum);
    } else {
        setPosition(value);
    }
}

void PrescalerModel::send()
{
    close();
    if (m_channel == Channel::Counter) {
        const int prescaler = convert::toInt(m_text);
        emit closing();
        m_context.exchange->comms(writeCommand(reg(), counterWord(prescaler, m_debounce)));
        return;
    }
    emit closing();
    // Only a number goes out; anything else is reported.
    m_context.exchange->comms(writeCommand(reg(), convert::toInt(m_text)));
}

void PrescalerModel::close()
{
    m_open = false;
    emit changed();
}

SettingRegister PrescalerModel::setting() const
{
    SettingRegister prescaler;
    prescaler.reg = QString::number(reg());
    prescaler.page = m_channel == Channel::Counter ? PageId::Code4 : PageId::Code6;
    prescaler.name = QStringLiteral("Counter Prescaler");
    prescaler.minimum = Minimum;
    prescaler.maximum = Maximum;
    if (m_channel == Channel::Counter) {
        // Bit 15 is the de-bounce: the meter answers up to 65535, and the
        // page writes the word as a signed 16-bit number.
        prescaler.name = QStringLiteral("Counter Prescaler and De-bounce");
        prescaler.maximum = 65535;
        prescaler.signedWord = true;
    }
    return prescaler;
}
