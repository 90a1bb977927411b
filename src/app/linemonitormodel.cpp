#include "linemonitormodel.h"

#include "pages/monitor/linelog.h"

#include <QFontDatabase>

LineMonitorModel::LineMonitorModel(LineLog &log, LineText text, Clock &clock, QObject *parent)
    : QAbstractTableModel(parent), m_log(log), m_text(std::move(text)), m_refresh(clock),
      m_fixedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))
{
    m_refresh.setSingleShot(true);
    connect(&m_refresh, &ClockTimer::timeout, this, &LineMonitorModel::refresh);
}

int LineMonitorModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LineMonitorModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : LineText::ColumnCount;
}

QVariant LineMonitorModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (const LineEvent *e = event(index.row()))
            return m_text.column(*e, column);
        return {};
    case Qt::TextAlignmentRole:
        if (column == LineText::Time || column == LineText::Answer)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::FontRole:
        // Bytes line up in a fixed font.
        if (column == LineText::Command || column == LineText::Reply)
            return m_fixedFont;
        return {};
    default:
        return {};
    }
}

QVariant LineMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return LineText::title(section);
    return {};
}

const LineEvent *LineMonitorModel::event(int row) const
{
    const qint64 seq = m_rows[std::size_t(row)];
    return seq >= m_log.firstSeq() ? &m_log.event(seq) : nullptr;
}

QString LineMonitorModel::line(int row) const
{
    const LineEvent *e = event(row);
    return e ? m_text.line(*e) : QString();
}

qint64 LineMonitorModel::pendingCount() const
{
    return m_paused ? m_log.endSeq() - qMax(m_seen, m_log.firstSeq()) : 0;
}

bool LineMonitorModel::accepts(const LineEvent &event) const
{
    using Kind = LineEvent::Kind;
    if (m_pollReadsHidden && event.fromPoll && (event.kind == Kind::Command || event.kind == Kind::Reply))
        return false;
    return m_search.isEmpty() || m_text.line(event).contains(m_search, Qt::CaseInsensitive);
}

void LineMonitorModel::setLive(bool live)
{
    if (live == m_live)
        return;
    m_live = live;
    if (live) {
        connect(&m_log, &LineLog::recorded, this, &LineMonitorModel::refreshSoon);
        connect(&m_log, &LineLog::cleared, this, &LineMonitorModel::rebuild);
        if (!m_paused)
            m_seen = m_log.endSeq();
        rebuild();
    } else {
        disconnect(&m_log, nullptr, this, nullptr);
        m_refresh.stop();
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
}

void LineMonitorModel::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!paused && m_live)
        refresh();
}

void LineMonitorModel::setPollReadsHidden(bool hidden)
{
    if (hidden == m_pollReadsHidden)
        return;
    m_pollReadsHidden = hidden;
    rebuild();
}

void LineMonitorModel::setSearchText(const QString &text)
{
    if (text == m_search)
        return;
    m_search = text;
    rebuild();
}

void LineMonitorModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    if (m_live) {
        m_seen = qBound(m_log.firstSeq(), m_seen, m_log.endSeq());
        for (qint64 seq = m_log.firstSeq(); seq < m_seen; ++seq) {
            if (accepts(m_log.event(seq)))
                m_rows.push_back(seq);
        }
    }
    endResetModel();
}

void LineMonitorModel::refreshSoon(qint64 seq)
{
    const int due = m_log.event(seq).fromPoll ? PollRefresh : PromptRefresh;
    if (!m_refresh.isActive() || m_refresh.remainingTime() > due)
        m_refresh.start(due);
}

void LineMonitorModel::refresh()
{
    dropGone();
    if (!m_paused)
        catchUp();
    emit refreshed();
}

void LineMonitorModel::dropGone()
{
    int gone = 0;
    while (std::size_t(gone) < m_rows.size() && m_rows[std::size_t(gone)] < m_log.firstSeq())
        ++gone;
    if (gone == 0)
        return;
    beginRemoveRows({}, 0, gone - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + gone);
    endRemoveRows();
}

void LineMonitorModel::catchUp()
{
    std::vector<qint64> shown;
    for (qint64 seq = qMax(m_seen, m_log.firstSeq()); seq < m_log.endSeq(); ++seq) {
        if (accepts(m_log.event(seq)))
            shown.push_back(seq);
    }
    m_seen = m_log.endSeq();
    if (shown.empty())
        return;
    beginInsertRows({}, rowCount(), rowCount() + int(shown.size()) - 1);
    m_rows.insert(m_rows.end(), shown.begin(), shown.end());
    endInsertRows();
}
