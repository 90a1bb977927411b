#include "cliprompts.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

// Progress on a terminal: one line rewritten in place, with the count, the
// page being read and the time left.
class TerminalProgress : public Prompts::Progress
{
public:
    TerminalProgress(QTextStream *err, bool shown, const bool *interrupted)
        : m_err(err), m_shown(shown), m_interrupted(interrupted), m_startedMs(QDateTime::currentMSecsSinceEpoch())
    {}
    ~TerminalProgress() override
    {
        if (m_shown && m_wrote) {
            *m_err << '\n';
            m_err->flush();
        }
    }

    bool update(int done, int total, const QString &what) override
    {
        if (m_shown) {
            QString line = QStringLiteral("%1 of %2").arg(done).arg(total);
            if (!what.isEmpty())
                line += QStringLiteral(", ") + what;
            if (done > 0 && done < total) {
                const qint64 left = (QDateTime::currentMSecsSinceEpoch() - m_startedMs) * (total - done) / done / 1000;
                line += QStringLiteral(", about %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
            }
            *m_err << '\r' << line.leftJustified(m_width) << Qt::flush;
            m_width = int(line.size());
            m_wrote = true;
        }
        return !*m_interrupted;
    }

private:
    QTextStream *m_err;
    bool m_shown;
    const bool *m_interrupted;
    qint64 m_startedMs;
    int m_width = 0;
    bool m_wrote = false;
};

} // namespace

CliPrompts::CliPrompts(Terminal terminal, int port) : m_terminal(std::move(terminal)), m_port(port) {}

void CliPrompts::say(const QString &text)
{
    *m_terminal.err << QCoreApplication::applicationName() << ": " << text << '\n';
    m_terminal.err->flush();
}

std::optional<int> CliPrompts::choosePort(const QList<PortEntry> &)
{
    return m_port;
}

Prompts::TimeoutChoice CliPrompts::timedOut(const QString &text, const QString &)
{
    // Nobody is there to retry: the run ends.
    m_timedOut = true;
    say(text);
    return TimeoutChoice::Abort;
}

void CliPrompts::warning(const QString &text)
{
    say(text);
}

void CliPrompts::error(const QString &text)
{
    say(text);
}

void CliPrompts::message(const QString &text)
{
    say(text);
}

std::optional<QString> CliPrompts::openFileName(const FileQuestion &)
{
    return std::nullopt;
}

std::optional<QString> CliPrompts::saveFileName(const FileQuestion &)
{
    return std::nullopt;
}

void CliPrompts::fileError(const QString &text)
{
    say(text);
}

bool CliPrompts::confirm(const QString &text)
{
    if (!m_terminal.inIsTerminal || !m_terminal.readAnswer)
        return false;
    *m_terminal.err << QCoreApplication::applicationName() << ": " << text << " [y/N] " << Qt::flush;
    const QString answer = m_terminal.readAnswer().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

std::optional<QList<bool>> CliPrompts::chooseSetupGroups(const QList<SetupGroup> &groups, qint64)
{
    return QList<bool>(groups.size(), true);
}

std::unique_ptr<Prompts::Progress> CliPrompts::startProgress(const QString &)
{
    return std::make_unique<TerminalProgress>(m_terminal.err, m_terminal.errIsTerminal, &m_interrupted);
}

bool CliPrompts::showComparison(const QList<ComparisonRow> &, int, const QString &)
{
    return false;
}
