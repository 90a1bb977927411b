#pragma once

#include "pages/page.h"
#include "setpointmodel.h"

#include <array>

class DelayEdit;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The "Setpoint Control" page: six setpoint rows over the setpoint model,
// read when the page is selected and written by "Set Controls". Each row
// shows its hints, glyphs and enabling from the model's state; every edit
// goes to the model, and nothing reaches the meter before "Set Controls".
class SetpointPage : public Page
{
    Q_OBJECT
public:
    explicit SetpointPage(const PageContext &context, QWidget *parent = nullptr);

    void enter(const PageEntry &entry) override;

private:
    struct Row
    {
        QLineEdit *value = nullptr;
        QToolButton *energise = nullptr;
        QComboBox *source = nullptr;
        QToolButton *mode = nullptr;
        QLineEdit *counts = nullptr;
        QComboBox *delayType = nullptr;
        std::array<DelayEdit *, 2> delays{}; // make, break
        QComboBox *latch = nullptr;          // latch (rows 1-4) or reset on setpoint (rows 5, 6)
        QCheckBox *manualOverride = nullptr; // rows 1-4 only
        QCheckBox *resetDelay = nullptr;
        QCheckBox *displayFlash = nullptr;
    };

    QLayout *buildTop();
    void buildRows(QGridLayout *grid);
    void buildRow(QGridLayout *grid, int gridRow, int row);

    // Shows one row of the model: its values, then its hints, glyphs and enabling.
    void showRow(int row);
    // Shows whether a run goes on and whether "Set Controls" is available.
    void showRun();

    Row &row(int n) { return m_rows[n - 1]; }

    SetpointModel &m_model;
    std::array<Row, SetpointModel::Rows> m_rows{};
    QWidget *m_rowArea = nullptr;
    QPushButton *m_setControls = nullptr;
    QFrame *m_progressStrip = nullptr;
    QProgressBar *m_progress = nullptr;
    QToolButton *m_hysteresisGlyphs = nullptr;
    QToolButton *m_bandGlyphs = nullptr;
};
