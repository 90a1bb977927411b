#include "macromodel.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

using namespace tablefiles;

MacroModel::MacroModel(const ModelContext &context, QObject *parent) : PageModel(PageId::Macros, context, parent) {}

QList<SettingRegister> MacroModel::settings() const
{
    // The words the download writes; each holds the bytes of two rows. The
    // run state is left out: it starts or stops the macros rather than
    // setting the meter up, and the page changes only its one bit.
    QList<SettingRegister> registers;
    for (int k = 0; k < MacroWrittenWords; ++k) {
        SettingRegister word;
        word.reg = QString::number(MacroFirstRegister + k);
        word.page = PageId::Macros;
        word.name = QStringLiteral("FRAM Data at %1 and %2").arg(hexByte(4 * k), hexByte(4 * k + 2));
        word.minimum = -32768;
        word.maximum = 32767;
        word.group = QStringLiteral("macro");
        registers.append(word);
    }
    return registers;
}

void MacroModel::setStopped(bool stopped)
{
    m_stopped = stopped;
    emit changed();
}

void MacroModel::enableTransfers()
{
    m_transfersEnabled = true;
    emit changed();
}

void MacroModel::readRunState()
{
    const int value = convert::toInt(context().exchange->comms(readCommand(RunStateRegister)).value);
    setStopped((value & MacroStoppedBit) != 0);
}

void MacroModel::toggleRunState()
{
    const int value = convert::toInt(context().exchange->comms(readCommand(RunStateRegister)).value);
    const bool stop = !m_stopped;
    setStopped(stop);
    context().exchange->comms(writeCommand(RunStateRegister, qint64(macroRunValue(value, stop))));
}

void MacroModel::uploadMacro()
{
    // Read into a copy: an upload that fails half-way leaves the image as it
    // was.
    MacroImage uploaded = m_image;
    uploaded.header.clear();
    for (int k = 0; k < MacroReadWords; ++k) {
        const QString value = context().exchange->comms(readCommand(MacroFirstRegister + k)).value;
        putMacroWord(uploaded, k, convert::toInt(value));
    }
    m_image = uploaded;
    enableTransfers();
}

void MacroModel::downloadMacro()
{
    // The whole image is checked before the first write: register 513 is
    // cleared first and written last, so a failure in between would leave
    // the meter without its macro.
    const auto words = macroWords(m_image);
    CommandExchange &exchange = *context().exchange;
    exchange.comms(writeCommand(MacroFirstRegister, QStringLiteral("00")));
    for (int k = 1; k < MacroWrittenWords; ++k)
        exchange.comms(writeCommand(MacroFirstRegister + k, qint64(words[std::size_t(k)])));
    exchange.comms(writeCommand(MacroFirstRegister, qint64(words[0])));
}

void MacroModel::saveMacro(const QString &fileName)
{
    if (!writeFile(fileName, writeMacro(m_image)))
        context().prompts->fileError(writeErrorText());
}

void MacroModel::openMacro(const std::optional<QString> &fileName)
{
    if (fileName) {
        if (const std::optional<QByteArray> bytes = readFile(*fileName))
            readMacro(*bytes, m_image);
        else
            context().prompts->fileError(readErrorText());
    }
    enableTransfers();
}
