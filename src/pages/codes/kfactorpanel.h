#pragma once

#include "pages/page.h"

#include <QFrame>

class KFactorModel;
class QLabel;
class QPushButton;

// The K-factor panel of the Code 2 page, a view of its KFactorModel: the
// three entries with the time unit, the two result lines, and the buttons
// that calculate and send.
class KFactorPanel : public QFrame
{
    Q_OBJECT
public:
    KFactorPanel(const PageContext &context, KFactorModel &model, QWidget *parent);

private:
    void showModel();

    PageContext m_context;
    KFactorModel &m_model;
    QLabel *m_high = nullptr;
    QLabel *m_low = nullptr;
    QPushButton *m_send = nullptr;
};
