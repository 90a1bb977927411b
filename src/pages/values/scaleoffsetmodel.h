#pragma once

#include "pages/pagemodel.h"

#include <array>

// The scale and offset of the result and of both input channels, registers
// 24 to 29. Detection reads them back into the fields and the summary; a
// field is written when the operator leaves it.
class ScaleOffsetModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Fields = 6;

    // One field: the three scales, then the three offsets, each for the
    // result, channel 1 and channel 2.
    struct Field
    {
        int reg;
        const char *name;
        const char *defaultText;
        // The accepted range, both ends excluded, and the decimals sent.
        double lower;
        double upper;
        int decimals;
    };
    static const std::array<Field, Fields> &fields();
    static bool isScale(int field) { return field < 3; }

    explicit ScaleOffsetModel(const ModelContext &context, QObject *parent = nullptr);

    QString text(int field) const { return m_texts[std::size_t(field)]; }
    // The operator's edit; nothing is written until the field is left.
    void setText(int field, const QString &text) { m_texts[std::size_t(field)] = text; }
    // Leaving the field: its text is converted (UserError when it is no
    // number) and, inside the range, shown with the field's decimals and
    // written; outside it, `entryText` comes back and nothing is written.
    // A field entered blank and left blank writes nothing.
    void leave(int field, const QString &entryText);

    // The read-back: every field takes its own read's reply, unchecked.
    void loadAtDetection() override;
    void refresh() override { loadAtDetection(); }
    // Empties every field, so that one left untouched writes nothing.
    void distrustLoad() override;
    QList<SettingRegister> settings() const override;

private:
    SettingRegister setting(int field) const;
    void setSummaryCell(int field);

    std::array<QString, Fields> m_texts;
};
