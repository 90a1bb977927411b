#pragma once

#include "pages/monitor/linetext.h"

#include <QAbstractTableModel>
#include <deque>

class LineLog;

// The line monitor's rows over the log: one row per event the filters let
// through, formatted only when the view asks for it. It follows the log only
// while live (the monitor is shown); paused, it keeps its rows and catches
// up on resume. Rows whose events the log has dropped go from the top.
class LineMonitorModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    LineMonitorModel(LineLog &log, LineText text, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setLive(bool live);
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    void setPollReadsHidden(bool hidden);
    // Only rows whose line holds `text`, in any case; empty: every row.
    void setSearchText(const QString &text);

    const LineText &lineText() const { return m_text; }
    const LineEvent &event(int row) const;
    // A row as one line of plain text.
    QString line(int row) const;
    // Events recorded while paused that are not shown yet.
    qint64 pendingCount() const;

signals:
    // The log took an event in while live: the counts may have changed.
    void followed();

private:
    bool accepts(const LineEvent &event) const;
    void rebuild();
    void follow(qint64 seq);
    void dropGone();
    void catchUp();

    LineLog &m_log;
    LineText m_text;
    // The log's sequence numbers of the rows.
    std::deque<qint64> m_rows;
    // Events before this one have been looked at.
    qint64 m_seen = 0;
    bool m_live = false;
    bool m_paused = false;
    bool m_pollReadsHidden = false;
    QString m_search;
};
