#include "brightnessmodel.h"

#include "pages/metersetup.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

#include <algorithm>

BrightnessModel::BrightnessModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::Brightness, context, parent)
{}

void BrightnessModel::choose(int level)
{
    m_level = level;
    emit changed();
    context().exchange->comms([this, level]() { return writeCommand(Register, m_level >= 0 ? m_level : level); });
}

void BrightnessModel::loadAtDetection()
{
    const QString value = context().exchange->comms(readCommand(Register)).value;
    const int level = std::min(convert::toInt(value), Levels - 1);
    if (level < 0) {
        m_level = -1;
        emit changed();
    } else if (level != m_level) {
        // The meter's level replaces the one shown, and is written back.
        choose(level);
    }
    context().setup->setSummaryCell(summarycell::Brightness, value);
}

void BrightnessModel::refresh()
{
    const QString value = context().exchange->comms(readCommand(Register)).value;
    m_level = std::clamp(convert::toInt(value), -1, Levels - 1);
    emit changed();
    context().setup->setSummaryCell(summarycell::Brightness, value);
}

QList<SettingRegister> BrightnessModel::settings() const
{
    SettingRegister brightness;
    brightness.reg = QString::number(Register);
    brightness.page = PageId::Brightness;
    brightness.name = QStringLiteral("Brightness Selection");
    brightness.kind = SettingRegister::Kind::Integer;
    brightness.minimum = 0;
    brightness.maximum = Levels - 1;
    return {brightness};
}
