#pragma once

#include "pages/pagemodel.h"

#include <QList>
#include <QObject>
#include <array>

// The bar editor of the Code 10 page on bargraph meters: the bar's low,
// high and zero values, the zero's position on the bar, and the colour
// zones between the setpoints. Each change is written at once.
class BargraphModel : public QObject
{
    Q_OBJECT
public:
    enum Field { LowField, HighField, ZeroField };
    static constexpr int LowRegister = 99;
    static constexpr int HighRegister = 100;
    static constexpr int ColourRegister = 101;
    static constexpr int ZeroRegister = 220;
    // The setpoint values 6 to 11 decide how many zones lie on the bar.
    static constexpr int FirstSetpoint = 6;
    static constexpr int Setpoints = 6;

    explicit BargraphModel(const ModelContext &context, QObject *parent = nullptr);

    // Hidden once the meter turns out to have extra displays instead.
    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    // 50 on models whose code contains "51", else 100.
    int segments() const { return m_segments; }
    void setSegments(int segments) { m_segments = segments; }
    // Register 99 held the smaller value at the last drawing.
    bool ascending() const { return m_ascending; }

    // The zero slider.
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    int tickSpacing() const { return m_tickSpacing; }

    QString fieldText(Field field) const { return m_fields[field]; }
    // The operator's typing; it is taken when the field is left.
    void editField(Field field, const QString &text) { m_fields[field] = text; }
    // A linear bar has two ends; a logarithmic one only a reference value
    // in the low field.
    bool isLinear() const { return m_linear; }
    // The colour code of each zone (0 off, 1 green, 2 red, 3 amber), from
    // the bar's smaller end.
    const QList<int> &zoneColours() const { return m_zones; }

    // Reads the bar registers into the editor and the zones.
    void draw();
    // The slider moved: writes the zero's segment index.
    void moveZero(int position);
    // A field was left: writes the bar's ends and its zero, and draws again.
    // A value that cannot be sent puts `entryText` back instead.
    void leaveField(Field field, const QString &entryText);
    // A click on a zone cycles its colour red, green, amber.
    void cycleColour(int zone);
    // The Code 10 third digit: 0 and 1 are linear, the others logarithmic.
    void setScaleType(int digit);

    QList<SettingRegister> settings() const;

signals:
    void changed();

private:
    int readWhole(int reg) const;
    int zeroSegment() const;

    ModelContext m_context;
    bool m_shown = true;
    int m_segments = 100;
    bool m_ascending = true;
    int m_minimum;
    int m_maximum;
    int m_position = 0;
    int m_tickSpacing = 1000;
    // The slider writes once a drawing has set it, and not while the
    // fields' values are being written.
    bool m_zeroWrites = false;
    std::array<QString, 3> m_fields;
    bool m_linear = true;
    QList<int> m_zones;
};
