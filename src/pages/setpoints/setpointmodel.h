#pragma once

#include "pages/pagemodel.h"
#include "setpointcodec.h"

#include <array>

// The six setpoint rows of the "Setpoint Control" page: what the read-back
// took from the meter, the operator's edits, the rules that keep a row
// consistent, and "Set Controls", which writes every row from here and then
// reads them all back. Rows are numbered 1 to 6.
class SetpointModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Rows = setpointcodec::Rows;
    static constexpr int ProgressEnd = 420;
    static constexpr int ProgressStep = 10;
    // The value and counts fields take any text a line edit holds; it is
    // written as it stands.
    static constexpr int TextLength = 32767;

    enum class Delay { Make, Break };

    explicit SetpointModel(const ModelContext &context, QObject *parent = nullptr);

    // The selectors' items, in the order of their index.
    static QStringList sourceItems(int row);
    static QStringList delayTypeItems();
    static QStringList latchItems();
    static QStringList resetOnSetpointItems();
    // What the page calls a register of a row: "Setpoint 3 make delay".
    static QString settingName(int row, setpointcodec::ReadField field);

    // A row as the page shows it and "Set Controls" writes it.
    const setpointcodec::RowState &row(int n) const { return m_rows[n - 1].state; }
    // Rows 1 to 4: the latch selector's text, an item or what was typed.
    QString latchText(int n) const { return m_rows[n - 1].latchText; }

    // How a row looks besides its values: the energise toggle's glyph, the
    // hints, and whether manual override can be switched.
    enum class Glyph { None, Hysteresis, Band };
    struct Presentation
    {
        QString modeHint;
        Glyph energiseGlyph = Glyph::None;
        QString energiseHint;
        QString makeDelayHint;
        QString breakDelayHint;
        bool manualOverrideEnabled = true;
    };
    Presentation presentation(int n) const;

    // The operator's edits. None of them writes to the meter.
    void setValue(int n, const QString &text);
    void setCounts(int n, const QString &text);
    // A typed delay replaces one the field could not show.
    void setDelayText(int n, Delay delay, const QString &text);
    // Leaving a delay field: a text that is no time up to 9:06:06 becomes 9:06:06.
    void limitDelay(int n, Delay delay);
    void setDelayType(int n, int index);
    void setDisplayFlash(int n, bool on);
    void setBandMode(int n, bool band);
    void setEnergised(int n, bool pressed);
    void setSource(int n, int index);
    // "De-energise" switches manual override off.
    void setLatchText(int n, const QString &text);
    void setManualOverride(int n, bool on);
    void setResetDelay(int n, bool on);
    void setResetOnSetpoint(int n, int index);

    // Reads all six rows from the meter (42 reads).
    void readRows();
    // "Set Controls": the 36 writes of the rows as they are here, then the
    // read-back. Does nothing unless canSendRows().
    void sendRows();

    // True while a read-back or a "Set Controls" run goes on.
    bool isRunning() const { return m_running; }
    // Only after a read-back that went through every row cleanly, and not
    // while a run goes on: rows holding defaults or stale values are never sent.
    bool canSendRows() const { return m_readComplete && !m_running; }
    // The run's progress, 0 to 420 in steps of 10.
    int progress() const { return m_progress; }

    // Rows the page has read are read again (a setup was written behind it).
    void refresh() override;
    QList<SettingRegister> settings() const override;

signals:
    void rowChanged(int row);
    void progressChanged(int value);

private:
    struct Row
    {
        setpointcodec::RowState state;
        QString latchText;
        // False until the read-back or a row editor has shaped the row; it
        // then looks as it did when the page was made.
        bool presented = false;
    };
    class Run;

    template<typename Edit>
    void edit(int n, Edit change);
    void readBack();
    void takeRead(const setpointcodec::ReadStep &step, const QString &reply);
    void advance();
    void setProgress(int value);

    std::array<Row, Rows> m_rows{};
    bool m_readComplete = false;
    bool m_running = false;
    int m_progress = 0;
};
