#include "displaysourcesmodel.h"

#include "bargraph.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

DisplaySourcesModel::DisplaySourcesModel(const ModelContext &context, QObject *parent)
    : QObject(parent), m_context(context)
{}

void DisplaySourcesModel::setShown(bool shown)
{
    m_shown = shown;
    emit changed();
}

void DisplaySourcesModel::editText(int display, const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    const bool outside = ok && bargraph::clampSourceRegister(value) != value;
    m_texts[std::size_t(display)] = outside ? QString::number(bargraph::clampSourceRegister(value)) : text;
    emit changed();
}

void DisplaySourcesModel::read()
{
    for (int display = 0; display < Displays; ++display) {
        const Reply reply = m_context.exchange->comms(readCommand(FirstRegister + display));
        // A reply that is no number ends the entry.
        convert::toInt(reply.value);
        editText(display, reply.value);
    }
}

void DisplaySourcesModel::write()
{
    for (const QString &text : m_texts)
        convert::toInt(text);
    for (int display = 0; display < Displays; ++display)
        m_context.exchange->comms(writeCommand(FirstRegister + display, m_texts[std::size_t(display)]));
}

QList<SettingRegister> DisplaySourcesModel::settings() const
{
    QList<SettingRegister> registers;
    const char *const names[Displays] = {"Second Display Source register", "Third Display Source register"};
    for (int display = 0; display < Displays; ++display) {
        SettingRegister source;
        source.reg = QString::number(FirstRegister + display);
        source.page = PageId::Code10;
        source.name = QString::fromLatin1(names[display]);
        source.minimum = bargraph::MinSourceRegister;
        source.maximum = bargraph::MaxSourceRegister;
        source.needsAnyOption = {QStringLiteral("3")};
        registers << source;
    }
    return registers;
}
