#pragma once

#include "pages/page.h"

#include <array>

class QLineEdit;

// The "Scale & Offset" page: the scale and offset of the result and of both
// input channels. Each field is written to the meter when it is left; the
// values are read back once per detection.
class ScaleOffsetPage : public Page
{
    Q_OBJECT
public:
    explicit ScaleOffsetPage(const PageContext &context, QWidget *parent = nullptr);

    // Detection's read-back: the six registers into their fields and the
    // summary grid, replies taken as they come.
    void readBack();
    void loadAtDetection() override { readBack(); }
    // Empties every field: a field left untouched then writes nothing.
    void distrustLoad() override;

    // The field of register 24 to 29.
    QLineEdit *field(int reg) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void writeScale(QLineEdit *field);
    void writeOffset(QLineEdit *field);
    // Converts the field's text and rounds it to the field's decimals,
    // refuses it (back to entryText) unless lower < value < upper, otherwise
    // shows and writes it.
    void writeField(QLineEdit *field, float lower, float upper, int decimals);

    std::array<QLineEdit *, 6> m_fields{};
};
