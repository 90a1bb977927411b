#include "bargraphpanel.h"

#include "bargraph.h"
#include "bargraphmodel.h"

#include "pages/inputconventions.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>

#include <algorithm>

namespace {

// The panel spans the page's width below the option groups; positions are
// the page's, less the panel's top.
constexpr int PanelTop = 370;
constexpr int ZoneTop = 380 - PanelTop;
constexpr int ZoneHeight = 20;
constexpr int SliderLeft = 72;
constexpr int SliderTop = 400 - PanelTop;
constexpr int SliderWidth = 641;
// The zero field's left edge stays this far left of the slider's thumb.
constexpr int ZeroFieldLead = 25;

struct Field
{
    const char *name;
    const char *accessibleName;
    const char *hint;
    int left;
    int top;
};

// In the order of BargraphModel::Field.
const Field Fields[] = {
    {"Edit7", "Bar low end", "Bar Low", 5, 411 - PanelTop},
    {"Edit8", "Bar high end", "Bar High", 719, 411 - PanelTop},
    {"Edit9", "Bar zero value", "Bar Zero", 362, 445 - PanelTop},
};

const char *const ColourNames[] = {"off", "green", "red", "amber"};

} // namespace

BargraphPanel::BargraphPanel(const PageContext &context, BargraphModel &model, QWidget *parent)
    : QFrame(parent), m_context(context), m_model(model)
{
    setObjectName(QStringLiteral("BargraphPanel"));
    setGeometry(0, PanelTop, 790, 110);

    m_zeroPosition = new QSlider(Qt::Horizontal, this);
    m_zeroPosition->setObjectName(QStringLiteral("TrackBar1"));
    m_zeroPosition->setAccessibleName(QStringLiteral("Bar zero position"));
    m_zeroPosition->setToolTip(QStringLiteral("Bar Zero Position"));
    m_zeroPosition->setGeometry(SliderLeft, SliderTop, SliderWidth, 40);
    m_zeroPosition->setTickPosition(QSlider::TicksBothSides);

    for (int i = 0; i < 3; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(Fields[i].name));
        edit->setAccessibleName(QString::fromLatin1(Fields[i].accessibleName));
        // The hint is not shown as a tooltip.
        edit->setAccessibleDescription(QString::fromLatin1(Fields[i].hint));
        edit->setMaxLength(6);
        edit->setGeometry(Fields[i].left, Fields[i].top, 60, 24);
        if (InputConventions *conventions = m_context.conventions) {
            conventions->bindEnterAsTab(edit);
            conventions->bindHighlight(edit);
        }
        edit->installEventFilter(this);
        const auto field = BargraphModel::Field(i);
        connect(edit, &QLineEdit::textChanged, this,
                [this, field](const QString &text) { m_model.editField(field, text); });
        m_fields[std::size_t(i)] = edit;
    }
    setTabOrder(m_fields[BargraphModel::LowField], m_zeroPosition);
    setTabOrder(m_zeroPosition, m_fields[BargraphModel::ZeroField]);
    setTabOrder(m_fields[BargraphModel::ZeroField], m_fields[BargraphModel::HighField]);

    // Every change of the slider's position: a drag, the keyboard, a click
    // on its track or a screen reader.
    connect(m_zeroPosition, &QSlider::valueChanged, this,
            [this](int position) { runGuarded(m_context, [this, position]() { m_model.moveZero(position); }); });
    showModel();
    connect(&m_model, &BargraphModel::changed, this, &BargraphPanel::showModel);
}

bool BargraphPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup (the error box) opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const auto found = std::find(m_fields.cbegin(), m_fields.cend(), watched);
        if (found != m_fields.cend() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const auto field = BargraphModel::Field(found - m_fields.cbegin());
            const QString entryText = m_context.shared ? m_context.shared->entryText : QString();
            runGuarded(m_context, [this, field, entryText]() { m_model.leaveField(field, entryText); });
        }
    }
    return QFrame::eventFilter(watched, event);
}

void BargraphPanel::showModel()
{
    setVisible(m_model.isShown());
    {
        const QSignalBlocker blocker(m_zeroPosition);
        const int tick = m_model.tickSpacing();
        m_zeroPosition->setTickInterval(tick);
        m_zeroPosition->setSingleStep(tick);
        m_zeroPosition->setPageStep(tick * 10);
        m_zeroPosition->setRange(m_model.minimum(), m_model.maximum());
        m_zeroPosition->setValue(m_model.position());
    }
    for (int i = 0; i < 3; ++i) {
        QLineEdit *edit = m_fields[std::size_t(i)];
        const QString text = m_model.fieldText(BargraphModel::Field(i));
        if (edit->text() != text) {
            const QSignalBlocker blocker(edit);
            edit->setText(text);
        }
    }
    m_fields[BargraphModel::HighField]->setVisible(m_model.isLinear());
    m_fields[BargraphModel::LowField]->setAccessibleDescription(m_model.isLinear() ? QStringLiteral("Bar Low")
                                                                                   : QStringLiteral("Bar Reference"));
    placeZeroField();
    showZones();
}

void BargraphPanel::placeZeroField()
{
    const int handle = m_zeroPosition->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, m_zeroPosition);
    const int thumbLeft = m_zeroPosition->x()
                          + QStyle::sliderPositionFromValue(m_zeroPosition->minimum(), m_zeroPosition->maximum(),
                                                            m_zeroPosition->value(), m_zeroPosition->width() - handle);
    QLineEdit *zero = m_fields[BargraphModel::ZeroField];
    zero->move(thumbLeft - ZeroFieldLead, zero->y());
}

void BargraphPanel::showZones()
{
    const QList<int> &colours = m_model.zoneColours();
    while (m_zones.size() > colours.size()) {
        QPushButton *cell = m_zones.takeLast();
        cell->hide();
        cell->deleteLater();
    }
    while (m_zones.size() < colours.size()) {
        const int zone = int(m_zones.size());
        auto *cell = new QPushButton(this);
        cell->setObjectName(QStringLiteral("BarZone%1").arg(zone));
        cell->setAccessibleName(QStringLiteral("Bar zone %1 colour").arg(zone + 1));
        cell->setFlat(true);
        cell->setAutoFillBackground(true);
        connect(cell, &QPushButton::clicked, this,
                [this, zone]() { runGuarded(m_context, [this, zone]() { m_model.cycleColour(zone); }); });
        cell->show();
        m_zones.append(cell);
    }
    const QColor shown[] = {Qt::black, QColor(0, 255, 0), QColor(255, 0, 0),
                            m_context.shared ? m_context.shared->amberColour : QColor(255, 128, 0)};
    for (int zone = 0; zone < m_zones.size(); ++zone) {
        QPushButton *cell = m_zones[zone];
        const int code = colours[zone];
        const bargraph::ZoneSpan span = bargraph::zoneSpan(zone, int(colours.size()), m_model.ascending());
        cell->setGeometry(span.left, ZoneTop, span.width, ZoneHeight);
        cell->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(shown[code].name()));
        cell->setAccessibleDescription(QString::fromLatin1(ColourNames[code]));
    }
}
