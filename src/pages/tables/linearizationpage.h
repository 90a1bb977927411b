#pragma once

#include "pages/page.h"
#include "tablefiles.h"

#include <QList>
#include <optional>

class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTableWidget;
class QToolButton;

// The "Linearization Tables" page: four tables of 32 input/output points
// side by side, each under its selector button. The page's tag is the
// current table (0 to 3), the one Open, Save, Upload and Download act on.
class LinearizationPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Tables = 4;
    // Progress steps: 32 rows of 10 fill 320 for each table read.
    static constexpr int ProgressStep = 10;

    explicit LinearizationPage(const PageContext &context, QWidget *parent = nullptr);

    // First entry: reads every table (table 4 first) with the progress bar,
    // until a table has been read or opened once.
    void enter(const PageEntry &entry) override;
    // Models with one table ("E"): hides tables 2 to 4 and their selectors
    // for good.
    void adaptTo(const MeterIdentity &identity) override;

    // A selector button: its table becomes current and takes the focus.
    void selectTable(int table);
    // The focus came into a grid: its table becomes current.
    void enterTable(int table);
    // Sorts a table on its inputs.
    void sortTable(int table);
    void uploadTable();
    void downloadTable();
    void openTable();
    void saveTable();

    int currentTable() const { return tag(); }
    QTableWidget *grid(int table) const { return m_grids[table]; }
    QToolButton *selector(int table) const { return m_selectors[table]; }
    tablefiles::Table table(int table) const;
    void setTable(int table, const tablefiles::Table &values);

private:
    void makeCurrent(int table);
    // Reads a table from the meter; returns the description of its first
    // cell that is no number, if any.
    std::optional<QString> readTable(int table);
    void enableTransfers();

    QList<QToolButton *> m_selectors;
    QList<QTableWidget *> m_grids;
    QPushButton *m_open = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_upload = nullptr;
    QPushButton *m_download = nullptr;
    QStackedLayout *m_buttonArea = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progress = nullptr;
    bool m_oneTable = false;
};
