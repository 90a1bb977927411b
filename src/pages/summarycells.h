#pragma once

#include <QObject>
#include <QString>

#include <array>

// One cell of the summary grid: four label/value column pairs, 25 rows.
struct SummaryCell
{
    int row = 0;
    int column = 0;
};

// The cells other pages write; the Summary page fills the rest itself.
namespace summarycell {

constexpr int ValueColumn = 1;
constexpr SummaryCell Brightness{0, ValueColumn};
constexpr SummaryCell Calibration{1, ValueColumn};
constexpr SummaryCell Model{12, ValueColumn};
constexpr SummaryCell Version{13, ValueColumn};
constexpr SummaryCell BaudRate{14, ValueColumn};
constexpr SummaryCell Address{15, ValueColumn};

// Code 1 to Code 10.
constexpr SummaryCell code(int code)
{
    return {code + 1, ValueColumn};
}
// Result, channel 1, channel 2 (0 to 2).
constexpr SummaryCell scale(int row)
{
    return {18 + row, 3};
}
constexpr SummaryCell offset(int row)
{
    return {21 + row, 3};
}

} // namespace summarycell

// The summary grid's texts, kept apart from the page that shows them so
// that every page can write its cells whether or not the grid is on screen.
class SummaryGrid : public QObject
{
    Q_OBJECT
public:
    static constexpr int Rows = 25;
    static constexpr int Columns = 8;

    using QObject::QObject;

    void setCell(SummaryCell cell, const QString &text)
    {
        QString &stored = m_cells[cell.row][cell.column];
        if (stored == text)
            return;
        stored = text;
        emit cellChanged(cell.row, cell.column);
    }
    QString cell(SummaryCell cell) const { return m_cells[cell.row][cell.column]; }
    QString cell(int row, int column) const { return m_cells[row][column]; }

signals:
    void cellChanged(int row, int column);

private:
    std::array<std::array<QString, Columns>, Rows> m_cells{};
};
