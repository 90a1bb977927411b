#include "setupfile.h"

#include "pages/pagerows.h"

#include "link/meterdetector.h"

#include <QHash>
#include <QRegularExpression>

#include <toml++/toml.h>

#include <algorithm>
#include <string_view>

namespace setupfile {

namespace {

// The column the comments start at, so that a file reads as a table.
constexpr int CommentColumn = 28;

QString padded(const QString &text)
{
    return text.size() < CommentColumn ? text.leftJustified(CommentColumn) : text + QLatin1Char(' ');
}

QString lineText(int line)
{
    return QStringLiteral("line %1: ").arg(line);
}

} // namespace

QString pageName(PageId page)
{
    // Code pages carry their stored code in the caption: "Code 4 - 160".
    return QString::fromLatin1(pageRow(page).caption).section(QStringLiteral(" - "), 0, 0);
}

QString settingLabel(const SettingRegister &setting)
{
    return pageName(setting.page) + QStringLiteral(", ") + setting.name;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString pageKey(PageId page)
{
    static const QRegularExpression notAlphanumeric(QStringLiteral("[^a-z0-9]+"));
    QString key = pageName(page).toLower().replace(notAlphanumeric, QStringLiteral("_"));
    while (key.endsWith(QLatin1Char('_')))
        key.chop(1);
    return key;
}

QByteArray write(const Document &document, const Origin &origin, const QList<SettingRegister> &description)
{
    QHash<QString, QString> values;
    for (const Entry &entry : document.entries)
        values.insert(entry.reg, entry.value);

    QString text;
    text += QStringLiteral("# Korvane meter setup\n");
    text += QStringLiteral("# Saved %1 by %2\n")
                .arg(origin.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), origin.program);
    text += QStringLiteral("# from the meter at address %1 on %2.\n").arg(origin.address, origin.port);
    text += QStringLiteral("# Each line below a page is one setting register: register = \"value as the\n"
                           "# meter sent it\". A file may hold only some registers: only those are\n"
                           "# compared and written.\n\n");
    text += QStringLiteral("format = %1\n\n").arg(Format);
    text += QStringLiteral("[meter]\nmodel = %1\nversion = %2\n").arg(quoted(document.model), quoted(document.version));

    for (const PageRow &row : pageRows()) {
        bool opened = false;
        for (const SettingRegister &setting : description) {
            // A register described once per kind of model is written once.
            if (setting.page != row.id || !values.contains(setting.reg))
                continue;
            const QString value = values.take(setting.reg);
            if (!opened) {
                text += QLatin1Char('\n') + padded(QStringLiteral("[%1]").arg(pageKey(row.id)))
                        + QStringLiteral("# %1\n").arg(pageName(row.id));
                opened = true;
            }
            text += padded(setting.reg + QStringLiteral(" = ") + quoted(value))
                    + QStringLiteral("# %1: %2\n").arg(pageName(row.id), setting.name);
        }
    }
    return text.toUtf8();
}

Document read(const QByteArray &bytes, const QList<SettingRegister> &description)
{
    toml::table file;
    try {
        file = toml::parse(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    } catch (const toml::parse_error &e) {
        throw Refused(QStringLiteral("Not a setup file: line %1, column %2: %3")
                          .arg(e.source().begin.line)
                          .arg(e.source().begin.column)
                          .arg(QString::fromUtf8(e.description().data(), qsizetype(e.description().size()))));
    }

    const std::optional<int64_t> format = file["format"].value<int64_t>();
    if (!format)
        throw Refused(QStringLiteral("The file gives no format number, so it is not a setup file."));
    if (*format != Format)
        throw Refused(
            QStringLiteral("The file is in format %1; this program reads format %2.").arg(*format).arg(Format));

    Document document;
    const std::optional<std::string> model = file["meter"]["model"].value<std::string>();
    const std::optional<std::string> version = file["meter"]["version"].value<std::string>();
    if (!model || !version)
        throw Refused(QStringLiteral("The file has no [meter] table with the meter's model and version."));
    document.model = QString::fromStdString(*model);
    document.version = QString::fromStdString(*version);

    // A register described once per kind of model is checked as the
    // file's model has it.
    MeterIdentity fileMeter;
    fileMeter.modelCode = document.model;
    QHash<QString, const SettingRegister *> settings;
    for (const SettingRegister &setting : description) {
        const SettingRegister *known = settings.value(setting.reg);
        if (!known || (!known->presentOn(fileMeter) && setting.presentOn(fileMeter)))
            settings.insert(setting.reg, &setting);
    }
    QHash<QString, PageId> pages;
    for (const PageRow &row : pageRows())
        pages.insert(pageKey(row.id), row.id);

    QHash<QString, int> seen;
    for (auto &&[tableKey, node] : file) {
        const QString tableName = QString::fromUtf8(tableKey.data(), qsizetype(tableKey.length()));
        if (tableName == QLatin1String("format") || tableName == QLatin1String("meter"))
            continue;
        const int tableLine = int(tableKey.source().begin.line);
        const toml::table *table = node.as_table();
        if (!table || !pages.contains(tableName))
            throw Refused(lineText(tableLine)
                          + QStringLiteral("\"%1\" is not a page of the meter's setup.").arg(tableName));
        const PageId page = pages.value(tableName);
        for (auto &&[key, value] : *table) {
            const QString reg = QString::fromUtf8(key.data(), qsizetype(key.length()));
            const int line = int(key.source().begin.line);
            const SettingRegister *setting = settings.value(reg);
            if (!setting)
                throw Refused(lineText(line) + QStringLiteral("register %1 is not a setting.").arg(reg));
            if (setting->page != page)
                throw Refused(lineText(line)
                              + QStringLiteral("register %1 belongs to %2, not %3.")
                                    .arg(reg, pageName(setting->page), pageName(page)));
            if (seen.contains(reg))
                throw Refused(
                    lineText(line)
                    + QStringLiteral("register %1 is given twice (also on line %2).").arg(reg).arg(seen.value(reg)));
            seen.insert(reg, line);
            QString text;
            if (const auto string = value.value_exact<std::string>())
                text = QString::fromStdString(*string);
            else if (const auto number = value.value_exact<int64_t>())
                text = QString::number(*number);
            else
                throw Refused(lineText(line)
                              + QStringLiteral("give register %1's value in quotes: %1 = \"value\".").arg(reg));
            if (const std::optional<QString> refusal = setting->refusal(text))
                throw Refused(
                    lineText(line)
                    + QStringLiteral("register %1 (%2, %3): %4").arg(reg, pageName(page), setting->name, *refusal));
            document.entries.append({reg, text, line});
        }
    }
    // Tables keep their keys sorted; the file's order is the lines'.
    std::sort(document.entries.begin(), document.entries.end(),
              [](const Entry &a, const Entry &b) { return a.line < b.line; });
    return document;
}

} // namespace setupfile
