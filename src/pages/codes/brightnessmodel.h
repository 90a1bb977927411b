#pragma once

#include "pages/pagemodel.h"

// The display brightness (register 148), 0 to 7. Every choice is written at
// once; detection's load writes the meter's value back when it differs from
// the one shown.
class BrightnessModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Register = 148;
    static constexpr int Levels = 8;
    static constexpr int DefaultLevel = 5;

    explicit BrightnessModel(const ModelContext &context, QObject *parent = nullptr);

    // The level shown; -1 when the meter held none of the levels.
    int level() const { return m_level; }
    // The operator's choice: written once the line is free, with the level
    // chosen last by then, so quick choices leave the meter at the one shown.
    void choose(int level);

    void loadAtDetection() override;
    // Shows the level the meter holds now, writing nothing back.
    void refresh() override;
    QList<SettingRegister> settings() const override;

private:
    int m_level = DefaultLevel;
};
