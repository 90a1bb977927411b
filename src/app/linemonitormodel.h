#pragma once

#include "link/clock.h"
#include "pages/monitor/linetext.h"

#include <QAbstractTableModel>
#include <QFont>
#include <deque>

class LineLog;

// The line monitor's rows over the log: one row per event the filters let
// through, formatted only when the view asks for it. It follows the log only
// while live (the monitor is shown), in batches rather than at every event,
// so that the view repaints once for several exchanges. Paused, it
// keeps its rows and catches up on resume. Rows whose events the log has
// dropped go from the top.
class LineMonitorModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How soon new events show: the operator's own exchanges and the line's
    // events at once, the poll's reads, which repeat, every two seconds.
    static constexpr int PromptRefresh = 200; // ms
    static constexpr int PollRefresh = 2000;  // ms

    // The refresh runs on `clock`.
    LineMonitorModel(LineLog &log, LineText text, Clock &clock, QObject *parent = nullptr);

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
    // The row's event; nullptr for one the log has dropped since the last refresh.
    const LineEvent *event(int row) const;
    // A row as one line of plain text.
    QString line(int row) const;
    // Events recorded while paused that are not shown yet.
    qint64 pendingCount() const;

signals:
    // The rows have caught up with the log: the counts may have changed.
    void refreshed();

private:
    bool accepts(const LineEvent &event) const;
    void rebuild();
    void refreshSoon(qint64 seq);
    void refresh();
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
    ClockTimer m_refresh;
    QFont m_fixedFont;
};
