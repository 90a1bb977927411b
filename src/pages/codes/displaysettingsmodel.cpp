#include "displaysettingsmodel.h"

#include "codetables.h"
#include "displayformat.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/metersetup.h"

#include <QScopeGuard>

#include <utility>

namespace {

constexpr int Multipliers[DisplaySettingsModel::Groups] = {100, 10, 1};

// The views the page edits, each with the caption of the option that opens
// it: Code 1's third digit, and Code 10's first digit on models with extra
// displays.
struct View
{
    int target;
    QString caption;
};

QList<View> views()
{
    QList<View> all;
    const codetables::Group &code1 = codetables::optionTable(1)[2];
    for (int target = 1; target < DisplaySettingsModel::Options; ++target)
        all.append({target, QString::fromLatin1(code1.options[std::size_t(target)].caption)});
    const codetables::Code10Captions &code10 = codetables::code10ExtraDisplays();
    all.append({22, QString::fromLatin1(code10.first[2])});
    all.append({23, QString::fromLatin1(code10.first[3])});
    return all;
}

} // namespace

DisplaySettingsModel::DisplaySettingsModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::DisplaySettings, context, parent), m_heading(QStringLiteral("Display setup"))
{}

int DisplaySettingsModel::formatCode() const
{
    return m_digitValue[0] + m_digitValue[1] + m_digitValue[2];
}

void DisplaySettingsModel::setOpen(bool open)
{
    context().setup->setTabVisible(PageId::DisplaySettings, open);
}

// --- opening and loading

void DisplaySettingsModel::open(int target, const QString &caption)
{
    m_target = target;
    emit changed();
    if (target == 0) {
        loadFormat(target);
        return;
    }
    try {
        m_heading = caption.mid(2);
        const Reply character = context().exchange->comms(readCommand(displayformat::characterRegister(target)));
        showCharacter(convert::toInt(character.value));
        loadFormat(target);
    } catch (const UserError &) {
        m_target = 0;
        setOpen(false);
        emit changed();
        emit openingFailed(target);
        throw;
    }
    // Shown once the view is loaded, so that a failed opening leaves no page
    // that looks loaded.
    setOpen(true);
    context().setup->showPage(PageId::DisplaySettings);
}

void DisplaySettingsModel::loadFormat(int target)
{
    const Reply reply = context().exchange->comms(readCommand(displayformat::formatRegister(target)));
    const QString digits = displayformat::formatDigits(reply.value);
    for (int g = 0; g < Groups; ++g) {
        const int d = digits.at(g).digitValue();
        m_digitValue[std::size_t(g)] = d * Multipliers[g];
        if (displayformat::hasOption(g, d)) {
            choose(g, d);
        } else {
            // No option stands for this digit: none is checked, and the
            // digit is kept so that a send writes it back unchanged.
            m_checked[std::size_t(g)] = -1;
            emit changed();
        }
    }
}

void DisplaySettingsModel::choose(int group, int digit)
{
    if (m_checked[std::size_t(group)] == digit)
        return;
    m_checked[std::size_t(group)] = digit;
    m_digitValue[std::size_t(group)] = digit * Multipliers[group];
    emit changed();
    // The alphanumeric format shows the view's character.
    if (group == 1 && digit == 7)
        readCharacter();
}

void DisplaySettingsModel::readCharacter()
{
    const Reply reply = context().exchange->comms(readCommand(displayformat::characterRegister(m_target)));
    showCharacter(convert::toInt(reply.value));
}

// --- the character

void DisplaySettingsModel::showCharacter(int code)
{
    // A code without a button is kept, with no button pressed.
    m_character = code;
    m_characterPressed = true;
    emit changed();
}

void DisplaySettingsModel::pressCharacter(int code, bool pressed)
{
    // Released, no character is chosen, as with "Clear".
    m_character = pressed ? code : 0;
    m_characterPressed = pressed;
    emit changed();
}

// --- sending and closing

void DisplaySettingsModel::send()
{
    const int target = m_target;
    // Target 0 is no view: its registers are setpoint 6's control bits and
    // the sub-totaliser's format, which this page never writes.
    if (displayformat::isView(target)) {
        CommandExchange &exchange = *context().exchange;
        exchange.comms([this, target]() { return writeCommand(displayformat::formatRegister(target), formatCode()); });
        exchange.comms(
            [this, target]() { return writeCommand(displayformat::characterRegister(target), m_character); });
    }
    close();
}

void DisplaySettingsModel::close()
{
    // The page closes on every path, also when a read of the openers fails.
    const auto hide = qScopeGuard([this]() { setOpen(false); });
    m_closingFailure = nullptr;
    emit closed(m_target);
    if (m_closingFailure)
        std::rethrow_exception(std::exchange(m_closingFailure, nullptr));
}

void DisplaySettingsModel::runOnClosing(const std::function<void()> &step)
{
    if (m_closingFailure)
        return;
    try {
        step();
    } catch (...) {
        m_closingFailure = std::current_exception();
    }
}

void DisplaySettingsModel::closeForCodeSend()
{
    m_target = 0;
    setOpen(false);
    emit changed();
}

QList<SettingRegister> DisplaySettingsModel::settings() const
{
    QList<SettingRegister> registers;
    for (const View &view : views()) {
        SettingRegister format;
        format.reg = QString::number(displayformat::formatRegister(view.target));
        format.page = PageId::DisplaySettings;
        // The heading the page shows for the view.
        format.name = view.caption.mid(2);
        // Three option digits; the meter answers "0" for none chosen, and
        // writes and reads the word without leading zeros.
        format.kind = SettingRegister::Kind::Integer;
        format.minimum = 0;
        format.maximum = 999;
        if (view.target > 7)
            format.needsAnyOption = {QStringLiteral("3")};
        SettingRegister character = format;
        character.reg = QString::number(displayformat::characterRegister(view.target));
        character.name = format.name + QStringLiteral(" character");
        character.kind = SettingRegister::Kind::Integer;
        character.minimum = 0;
        character.maximum = 255;
        registers << format << character;
    }
    return registers;
}
