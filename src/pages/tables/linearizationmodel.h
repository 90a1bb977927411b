#pragma once

#include "pages/pagemodel.h"
#include "tablefiles.h"

#include <array>
#include <optional>

// The linearization tables: four tables of 32 input/output points (one on
// "E" models), the current table that the transfers and files act on, and
// whether a table has been read or opened yet. Tables count from 0 here.
class LinearizationModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Tables = 4;
    // Progress of a read: 32 rows of 10.
    static constexpr int ProgressStep = 10;
    static constexpr int ProgressMaximum = tablefiles::TablePoints * ProgressStep;
    // What a cell takes: a digit or sign, then at most five digits.
    static constexpr int CellMinimum = -99999;
    static constexpr int CellMaximum = 999999;

    explicit LinearizationModel(const ModelContext &context, QObject *parent = nullptr);

    const tablefiles::Table &table(int table) const { return m_tables[std::size_t(table)]; }
    void setTable(int table, const tablefiles::Table &values);
    // The operator's edit of one cell (column 0 the input, 1 the output).
    void setCell(int table, int row, int column, const QString &text);

    // Tables 2 to 4 are absent on "E" models.
    bool hasTable(int table) const { return table == 0 || !m_oneTable; }
    // A table is shown once the first entry has read it.
    bool isTableShown(int table) const { return m_shown[std::size_t(table)]; }
    int currentTable() const { return m_current; }
    // The page-change frame passes the current table as the page's number.
    int storedCode() const override { return m_current; }
    // "Save" and "Download": enabled once a table was read or opened, or
    // the operator came into a table; then for good.
    bool transfersEnabled() const { return m_transfersEnabled; }
    // Where the last read has got to, 0 to ProgressMaximum.
    int progress() const { return m_progress; }

    void adaptTo(const MeterIdentity &identity) override;
    QList<SettingRegister> settings() const override;

    // First entry: reads every table the meter has, table 4 first, and
    // leaves table 1 current. Does nothing once transfers are enabled.
    void readTablesOnFirstEntry();
    // A selector was pressed: its table becomes current.
    void selectTable(int table);
    // The operator came into a table: it becomes current and every
    // transfer is enabled.
    void enterTable(int table);
    // Ascending order of input, equal inputs in their order; throws the
    // conversion error of the first input that is no number.
    void sortTable(int table);
    void uploadTable();
    // Reads again the tables the page holds from the meter.
    void refresh() override;
    // Sorts the current table and writes it; every cell is checked first.
    void downloadTable();
    // Reads the file into the current table: only the cells it reaches
    // change. Without a name (the dialog was cancelled) nothing is read;
    // either way transfers are enabled.
    void openTable(const std::optional<QString> &fileName);
    // Sorts the current table and writes it to the file.
    void saveTable(const QString &fileName);

signals:
    void progressChanged(int value);

private:
    void makeCurrent(int table);
    // Reads a table from the meter; returns the description of its first
    // cell that is no number, if any.
    std::optional<QString> readTable(int table);
    void setProgress(int value);

    std::array<tablefiles::Table, Tables> m_tables;
    std::array<bool, Tables> m_shown{};
    int m_current = 0;
    bool m_oneTable = false;
    bool m_transfersEnabled = false;
    int m_progress = 0;
};
