#pragma once

#include "pages/page.h"
#include "setpointcodec.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The "Setpoint Control" page: six setpoint rows, read from the meter when
// the page is selected (readRows) and written by "Set Controls" (sendRows).
// The row editors keep each row's hints, glyphs and enabling in step while
// the operator edits; nothing reaches the meter before "Set Controls".
class SetpointPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Rows = setpointcodec::Rows;
    static constexpr int ProgressEnd = 420;
    static constexpr int ProgressStep = 10;

    explicit SetpointPage(const PageContext &context, QWidget *parent = nullptr);

    void enter(const PageEntry &entry) override;

    // Reads all six rows from the meter, with the progress strip.
    void readRows();
    // Writes all six rows, then reads them back.
    void sendRows();

    // Leaving a delay field: a text that is no time up to 9:06:06 becomes 9:06:06.
    void limitDelay(QLineEdit *field);

    // True once a read-back has filled every row; "Set Controls" waits for it.
    bool readComplete() const { return m_readComplete; }
    // True while a read-back or a "Set Controls" run is going on.
    bool running() const { return m_running; }

    // What "Set Controls" would write for a row, as the page shows it.
    setpointcodec::RowState rowState(int row) const;

private:
    struct DelayField
    {
        QLineEdit *edit = nullptr;
        // A delay the field cannot show, kept until the operator edits it.
        std::optional<int> heldSeconds;
    };
    struct Row
    {
        QLineEdit *value = nullptr;
        QToolButton *energise = nullptr;
        QComboBox *source = nullptr;
        QToolButton *mode = nullptr;
        QLineEdit *counts = nullptr;
        QComboBox *delayType = nullptr;
        DelayField makeDelay;
        DelayField breakDelay;
        QComboBox *latch = nullptr;          // latch (rows 1-4) or reset on setpoint (rows 5, 6)
        QCheckBox *manualOverride = nullptr; // rows 1-4 only
        QCheckBox *resetDelay = nullptr;
        QCheckBox *displayFlash = nullptr;
        int heldDelayType = 0;
        int heldSource = 0;
        int heldResetOnSetpoint = 0;
    };
    class Run;

    QLayout *buildTop();
    void buildRows(QGridLayout *grid);
    void buildRow(QGridLayout *grid, int gridRow, int row);
    void bindDelayField(int row, DelayField &field);
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Brings a row's hints, glyphs and enabling in line with its state; the
    // row editors (mode, energise, delay type, latch) do only this.
    void presentRow(int row);
    QString delayHint(const DelayField &field, const char *hint) const;

    void readBack();
    void takeRead(const setpointcodec::ReadStep &step, const QString &reply);
    void showDelay(DelayField &field, int seconds);
    void advance();

    Row &row(int n) { return m_rows[n - 1]; }
    const Row &row(int n) const { return m_rows[n - 1]; }
    DelayField *delayFieldOf(QLineEdit *edit);

    std::array<Row, Rows> m_rows{};
    QWidget *m_rowArea = nullptr;
    QPushButton *m_setControls = nullptr;
    QFrame *m_progressStrip = nullptr;
    QProgressBar *m_progress = nullptr;
    QToolButton *m_hysteresisGlyphs = nullptr;
    QToolButton *m_bandGlyphs = nullptr;
    bool m_readComplete = false;
    bool m_running = false;
};
