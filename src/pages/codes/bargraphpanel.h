#pragma once

#include "pages/page.h"

#include <QFrame>
#include <QList>
#include <array>

class BargraphModel;
class QLineEdit;
class QPushButton;
class QSlider;

// The bar editor of the Code 10 page on bargraph meters, a view of its
// BargraphModel: the low, high and zero fields, the zero slider, and one
// cell per colour zone.
class BargraphPanel : public QFrame
{
    Q_OBJECT
public:
    BargraphPanel(const PageContext &context, BargraphModel &model, QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showModel();
    void showZones();
    void placeZeroField();

    PageContext m_context;
    BargraphModel &m_model;
    std::array<QLineEdit *, 3> m_fields{};
    QSlider *m_zeroPosition = nullptr;
    QList<QPushButton *> m_zones;
};
