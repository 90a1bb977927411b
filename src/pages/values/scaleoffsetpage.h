#pragma once

#include "scaleoffsetmodel.h"

#include "pages/page.h"

#include <array>

class QLineEdit;

// The "Scale & Offset" page: the scale and offset of the result and of both
// input channels, in six fields over the model. Every edit goes to the
// model; leaving a field has the model write it.
class ScaleOffsetPage : public Page
{
    Q_OBJECT
public:
    explicit ScaleOffsetPage(const PageContext &context, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the model's texts; a field showing its text already is left as
    // it is, with its cursor and selection.
    void showFields();

    ScaleOffsetModel &m_model;
    std::array<QLineEdit *, ScaleOffsetModel::Fields> m_fields{};
};
