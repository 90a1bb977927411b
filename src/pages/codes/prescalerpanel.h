#pragma once

#include "pages/page.h"

#include <QFrame>

class PrescalerModel;
class QCheckBox;
class QLineEdit;
class QSpinBox;

// A counter prescaler panel, a view of its PrescalerModel: the field with
// its up-down control, the de-bounce box of the channel 1 counter, and the
// send button.
class PrescalerPanel : public QFrame
{
    Q_OBJECT
public:
    PrescalerPanel(const PageContext &context, PrescalerModel &model, QWidget *parent);

private:
    void showModel();

    PageContext m_context;
    PrescalerModel &m_model;
    QLineEdit *m_field = nullptr;
    QSpinBox *m_upDown = nullptr;
    QCheckBox *m_debounce = nullptr;
};
