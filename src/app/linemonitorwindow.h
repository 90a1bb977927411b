#pragma once

#include "link/prompts.h"
#include "pages/settingregister.h"

#include <QWidget>

class Clock;
class LineLog;
class LineMonitorModel;
class QLabel;
class QTableView;

// "Line Monitor": the log of the line as a table beside the main window,
// with the controls to hide the poll's reads, search, pause, clear, copy
// and save. It follows the log only while shown.
class LineMonitorWindow : public QWidget
{
    Q_OBJECT
public:
    static const Prompts::FileQuestion SaveQuestion;

    LineMonitorWindow(LineLog &log, const QList<SettingRegister> &registers, Prompts *prompts, Clock &clock,
                      QWidget *parent = nullptr);

    LineMonitorModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }

    // The selected rows as plain lines onto the clipboard.
    void copyRows();
    // The whole log as a plain text file, under a name the operator gives.
    void saveLog();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showCounts();

    LineLog &m_log;
    Prompts *m_prompts;
    LineMonitorModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_counts = nullptr;
    // The view was at its end before rows came: it stays there.
    bool m_atEnd = true;
};
