#include "advancedmodel.h"

#include "displaytext.h"
#include "lockoutmask.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/registers.h"
#include "link/replyframer.h"
#include "pages/summary/meterclockmodel.h"

namespace {

const std::array<AdvancedModel::Mask, AdvancedModel::Masks> MaskTable = {{
    {705, 0x3FFC, 0, false},     // bits 2 to 13
    {706, 0x1FFF, 0, false},     // bits 0 to 12
    {707, 0xFFFF, 0x8080, true}, // bits 0 to 15; 7 and 15 kept
}};

const std::array<AdvancedModel::DisplayText, AdvancedModel::Texts> TextTable = {{
    {'H', "Peak", "Peak"},
    {'I', "Valley", "Valley"},
    {'J', "Total", "Total"},
    {'K', "Sub Total", "Sub Total"},
    {'T', "Chnl1", "Channel 1"},
    {'U', "Chnl2", "Channel 2"},
    {'V', "Chnl3", "Channel 3"},
    {'W', "Chnl4", "Channel 4"},
    {'R', "Over", "Overrange"},
    {'S', "Under", "Underrange"},
    {'L', "SP 1", "Setpoint 1"},
    {'M', "SP 2", "Setpoint 2"},
    {'N', "SP 3", "Setpoint 3"},
    {'O', "SP 4", "Setpoint 4"},
    {'P', "SP 5", "Setpoint 5"},
    {'Q', "SP 6", "Setpoint 6"},
}};

const char *const MaskNames[AdvancedModel::Masks] = {
    "Lockout: pages Visible",
    "Lockout: setpoints Lock Message, Allow Changes, Control Visible",
    "Lockout: displayed items Visible",
};

// The Code 10 page and its lockout row come with these model options.
const QStringList Code10Options{QStringLiteral("B"), QStringLiteral("3")};

} // namespace

const std::array<AdvancedModel::Mask, AdvancedModel::Masks> &AdvancedModel::masks()
{
    return MaskTable;
}

const std::array<AdvancedModel::DisplayText, AdvancedModel::Texts> &AdvancedModel::displayTexts()
{
    return TextTable;
}

AdvancedModel::AdvancedModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::Advanced, context, parent), m_clock(new MeterClockModel(context.exchange, this))
{
    // Every box checked but the kept ones.
    for (int mask = 0; mask < Masks; ++mask)
        m_masks[std::size_t(mask)] = MaskTable[std::size_t(mask)].boxes & ~MaskTable[std::size_t(mask)].kept;
    for (int i = 0; i < Texts; ++i)
        m_texts[std::size_t(i)].text = QString::fromLatin1(TextTable[std::size_t(i)].creationText);
    m_print.text = QStringLiteral("Print String");
}

void AdvancedModel::adaptTo(const MeterIdentity &identity)
{
    if (hasCode10Row() || !(identity.hasOption("B") || identity.hasOption("3")))
        return;
    m_pageLockLimit = Code10Bit + 1;
    emit changed();
}

void AdvancedModel::enter()
{
    holdUnread();
    readLockouts();
    readTexts();
    context().exchange->framer()->enable();
}

void AdvancedModel::refresh()
{
    // Once the page has read the masks, a box change writes a whole mask:
    // it must be built on what the meter holds now.
    if (!isMaskRead(PageMask))
        return;
    holdUnread();
    readLockouts();
    readTexts();
}

void AdvancedModel::holdUnread()
{
    m_maskRead.fill(false);
    for (Text &text : m_texts)
        text.read = false;
    m_print.read = false;
    emit changed();
}

void AdvancedModel::readLockouts()
{
    for (int mask = 0; mask < Masks; ++mask) {
        const Mask &m = MaskTable[std::size_t(mask)];
        const quint16 value = lockoutmask::fromReply(context().exchange->comms(readCommand(m.reg)).value);
        m_masks[std::size_t(mask)] = value & m.boxes;
        m_maskRead[std::size_t(mask)] = true;
        emit changed();
    }
}

void AdvancedModel::readTexts()
{
    const int width = displaytext::width(context().identity->modelCode);
    for (int i = 0; i < Texts; ++i) {
        Text &text = m_texts[std::size_t(i)];
        const QString reply = context().exchange->comms(readCommand(TextTable[std::size_t(i)].letter)).text;
        text = {displaytext::rightAligned(reply, width), false, true};
        emit changed();
    }
    m_print = {context().exchange->comms(readCommand(PrintLetter)).text, false, true};
    emit changed();
}

quint16 AdvancedModel::countedBits(int mask) const
{
    // Register 705 counts "Code 10" only where its row is shown.
    if (mask == PageMask)
        return lockoutmask::bits(2, m_pageLockLimit - 1);
    return MaskTable[std::size_t(mask)].boxes;
}

void AdvancedModel::setChecked(int mask, int bit, bool checked)
{
    const Mask &m = MaskTable[std::size_t(mask)];
    const quint16 value = quint16(1u << bit);
    if (!(m.boxes & value) || (m.kept & value))
        return;
    quint16 &bits = m_masks[std::size_t(mask)];
    bits = checked ? (bits | value) : (bits & ~value);
    emit changed();
    if (!isMaskRead(mask))
        return;
    context().exchange->comms([this, mask]() {
        return writeCommand(MaskTable[std::size_t(mask)].reg,
                            lockoutmask::written(m_masks[std::size_t(mask)], countedBits(mask),
                                                 MaskTable[std::size_t(mask)].signedWord));
    });
}

void AdvancedModel::editDisplayText(int index, const QString &text)
{
    m_texts[std::size_t(index)].text = text;
    m_texts[std::size_t(index)].modified = true;
}

void AdvancedModel::leaveDisplayText(int index)
{
    Text &text = m_texts[std::size_t(index)];
    if (!text.modified)
        return;
    text.text = displaytext::forWrite(text.text);
    text.modified = false;
    emit changed();
    context().exchange->comms(writeCommand(TextTable[std::size_t(index)].letter, text.text));
}

void AdvancedModel::editPrintString(const QString &text)
{
    m_print.text = text;
    m_print.modified = true;
}

void AdvancedModel::leavePrintString()
{
    if (!m_print.modified)
        return;
    m_print.modified = false;
    context().exchange->comms(writeCommand(PrintLetter, displaytext::printForWire(m_print.text)));
}

QList<SettingRegister> AdvancedModel::settings() const
{
    const auto setting = [](const QString &reg, const QString &name, SettingRegister::Kind kind, int limit) {
        SettingRegister setting;
        setting.reg = reg;
        setting.page = PageId::Advanced;
        setting.name = name;
        setting.kind = kind;
        if (kind == SettingRegister::Kind::Mask)
            setting.maximum = limit;
        else
            setting.length = limit;
        return setting;
    };
    QList<SettingRegister> settings;
    for (int mask = 0; mask < Masks; ++mask) {
        const QString reg = QString::number(MaskTable[std::size_t(mask)].reg);
        const QString name = QString::fromLatin1(MaskNames[mask]);
        if (mask != PageMask) {
            settings << setting(reg, name, SettingRegister::Kind::Mask, MaskTable[std::size_t(mask)].boxes);
            settings.last().signedWord = MaskTable[std::size_t(mask)].signedWord;
            continue;
        }
        // What a write counts depends on the Code 10 row.
        SettingRegister withRow = setting(reg, name, SettingRegister::Kind::Mask, lockoutmask::bits(2, Code10Bit));
        withRow.needsAnyOption = Code10Options;
        SettingRegister withoutRow =
            setting(reg, name, SettingRegister::Kind::Mask, lockoutmask::bits(2, Code10Bit - 1));
        withoutRow.absentWithAnyOption = Code10Options;
        settings << withRow << withoutRow;
    }
    // Written as six characters on every model; the display width only
    // aligns what is read.
    for (const DisplayText &text : TextTable) {
        settings << setting(QString(QLatin1Char(text.letter)), QString::fromLatin1(text.item) + QStringLiteral(" text"),
                            SettingRegister::Kind::Text, displaytext::WriteWidth);
        settings.last().padded = true;
    }
    settings << setting(QString(QLatin1Char(PrintLetter)), QStringLiteral("Print String"), SettingRegister::Kind::Text,
                        displaytext::PrintMaxLength);
    return settings;
}
