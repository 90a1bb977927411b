#include "bargraphpanel.h"

#include "bargraph.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"
#include "pages/inputconventions.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>

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
    const char *text;
    int left;
    int top;
};

const Field Fields[] = {
    {"Edit7", "Bar low end", "Bar Low", "-19999", 5, 411 - PanelTop},
    {"Edit8", "Bar high end", "Bar High", "32767", 719, 411 - PanelTop},
    {"Edit9", "Bar zero value", "Bar Zero", "0", 362, 445 - PanelTop},
};

// Bar registers: the ends, the zero's segment index, the zone colours and
// the six setpoint values.
constexpr int LowRegister = 99;
constexpr int HighRegister = 100;
constexpr int ColourRegister = 101;
constexpr int ZeroRegister = 220;
constexpr int FirstSetpoint = 6;
constexpr int Setpoints = 6;

const char *const ColourNames[] = {"off", "green", "red", "amber"};

} // namespace

BargraphPanel::BargraphPanel(const PageContext &context, QWidget *parent) : QFrame(parent), m_context(context)
{
    setObjectName(QStringLiteral("BargraphPanel"));
    setGeometry(0, PanelTop, 790, 110);

    m_zeroPosition = new QSlider(Qt::Horizontal, this);
    m_zeroPosition->setObjectName(QStringLiteral("TrackBar1"));
    m_zeroPosition->setAccessibleName(QStringLiteral("Bar zero position"));
    m_zeroPosition->setToolTip(QStringLiteral("Bar Zero Position"));
    m_zeroPosition->setGeometry(SliderLeft, SliderTop, SliderWidth, 40);
    m_zeroPosition->setTickPosition(QSlider::TicksBothSides);
    m_zeroPosition->setRange(bargraph::MinValue, bargraph::MaxValue);
    m_zeroPosition->setValue(0);
    m_zeroPosition->setTickInterval(1000);

    QLineEdit **fields[] = {&m_low, &m_high, &m_zero};
    for (int i = 0; i < 3; ++i) {
        auto *edit = new QLineEdit(QString::fromLatin1(Fields[i].text), this);
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
        *fields[i] = edit;
    }
    setTabOrder(m_low, m_zeroPosition);
    setTabOrder(m_zeroPosition, m_zero);
    setTabOrder(m_zero, m_high);
}

int BargraphPanel::colourCodeOf(const QPushButton *cell)
{
    return cell->property("colourCode").toInt();
}

bool BargraphPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup (the error box) opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            runGuarded(m_context, [this, edit]() { scaleBar(edit); });
    }
    return QFrame::eventFilter(watched, event);
}

int BargraphPanel::readWhole(int reg)
{
    return convert::toInt(m_context.exchange->comms(readCommand(reg)).value);
}

void BargraphPanel::attachZeroHandler()
{
    detachZeroHandler();
    m_zeroHandler = connect(m_zeroPosition, &QSlider::valueChanged, this,
                            [this]() { runGuarded(m_context, [this]() { moveZero(); }); });
}

void BargraphPanel::detachZeroHandler()
{
    disconnect(m_zeroHandler);
}

// --- drawing

void BargraphPanel::drawBar()
{
    // The slider writes nothing while it is being set.
    detachZeroHandler();
    const int high = readWhole(HighRegister);
    const int low = readWhole(LowRegister);
    const int zero = readWhole(ZeroRegister);
    const bargraph::Scale scale = bargraph::scaleFor(low, high, zero, m_segments);
    m_ascending = scale.ascending;
    m_zeroPosition->setTickInterval(scale.tickSpacing);
    m_zeroPosition->setSingleStep(scale.tickSpacing);
    m_zeroPosition->setPageStep(scale.tickSpacing * 10);
    m_zeroPosition->setRange(scale.minimum, scale.maximum);
    m_zeroPosition->setValue(scale.position);
    m_low->setText(QString::number(scale.minimum));
    m_high->setText(QString::number(scale.maximum));
    m_zero->setText(QString::number(m_zeroPosition->value()));
    placeZeroField();
    attachZeroHandler();

    const int colours = bargraph::colourPattern(readWhole(ColourRegister));
    QList<int> setpoints;
    for (int reg = FirstSetpoint; reg < FirstSetpoint + Setpoints; ++reg)
        setpoints.append(readWhole(reg));
    buildZones(bargraph::zoneCount(setpoints, scale.minimum, scale.maximum), colours);
}

void BargraphPanel::placeZeroField()
{
    const int handle = m_zeroPosition->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, m_zeroPosition);
    const int thumbLeft = m_zeroPosition->x()
                          + QStyle::sliderPositionFromValue(m_zeroPosition->minimum(), m_zeroPosition->maximum(),
                                                            m_zeroPosition->value(), m_zeroPosition->width() - handle);
    m_zero->move(thumbLeft - ZeroFieldLead, m_zero->y());
}

void BargraphPanel::buildZones(int count, int colours)
{
    for (QPushButton *cell : std::as_const(m_zones)) {
        cell->hide();
        cell->deleteLater();
    }
    m_zones.clear();
    for (int zone = 0; zone < count; ++zone) {
        const bargraph::ZoneSpan span = bargraph::zoneSpan(zone, count, m_ascending);
        auto *cell = new QPushButton(this);
        cell->setObjectName(QStringLiteral("BarZone%1").arg(zone));
        cell->setAccessibleName(QStringLiteral("Bar zone %1 colour").arg(zone + 1));
        cell->setFlat(true);
        cell->setAutoFillBackground(true);
        cell->setGeometry(span.left, ZoneTop, span.width, ZoneHeight);
        paintZone(cell, bargraph::colourCode(colours, zone));
        connect(cell, &QPushButton::clicked, this,
                [this, zone]() { runGuarded(m_context, [this, zone]() { cycleColour(zone); }); });
        cell->show();
        m_zones.append(cell);
    }
}

void BargraphPanel::paintZone(QPushButton *cell, int code)
{
    const QColor colours[] = {Qt::black, QColor(0, 255, 0), QColor(255, 0, 0),
                              m_context.shared ? m_context.shared->amberColour : QColor(255, 128, 0)};
    cell->setProperty("colourCode", code);
    cell->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(colours[code].name()));
    cell->setAccessibleDescription(QString::fromLatin1(ColourNames[code]));
}

// --- the zero slider and the fields

void BargraphPanel::moveZero()
{
    const int minimum = m_zeroPosition->minimum();
    const int maximum = m_zeroPosition->maximum();
    const int segment = bargraph::segmentAt(m_zeroPosition->value(), minimum, maximum, m_segments);
    m_zero->setText(QString::number(bargraph::segmentValue(segment, minimum, maximum, m_ascending, m_segments)));
    placeZeroField();
    m_context.exchange->comms(writeCommand(ZeroRegister, segment));
}

void BargraphPanel::scaleBar(QLineEdit *left)
{
    detachZeroHandler();
    // A value that cannot be sent puts the field's text on entry back and
    // ends here, sending nothing.
    const auto revert = [this, left]() {
        if (m_context.shared)
            left->setText(m_context.shared->entryText);
        attachZeroHandler();
    };
    int low = 0;
    int high = 0;
    int zero = 0;
    try {
        const int typed = bargraph::fieldValue(left->text());
        if (typed < bargraph::MinValue || typed > bargraph::MaxValue)
            return revert();
        low = bargraph::fieldValue(m_low->text());
        high = bargraph::fieldValue(m_high->text());
        zero = bargraph::fieldValue(m_zero->text());
    } catch (const UserError &) {
        revert();
        throw;
    }
    // Equal ends leave no room for a zero position.
    if (low == high)
        return revert();

    CommandExchange &exchange = *m_context.exchange;
    // The smaller value goes to register 99, each as typed.
    QLineEdit *smaller = low < high ? m_low : m_high;
    QLineEdit *larger = low < high ? m_high : m_low;
    exchange.comms(writeCommand(LowRegister, smaller->text()));
    exchange.comms(writeCommand(HighRegister, larger->text()));
    exchange.comms(writeCommand(ZeroRegister, bargraph::zeroSegment(low, high, zero, m_segments)));
    attachZeroHandler();
    drawBar();
}

void BargraphPanel::cycleColour(int zone)
{
    QPushButton *cell = m_zones.value(zone);
    if (!cell)
        return;
    // The meter's current colours, not those of the last drawing.
    const int colours = bargraph::colourPattern(readWhole(ColourRegister));
    const int code = bargraph::nextColourCode(colourCodeOf(cell));
    paintZone(cell, code);
    m_context.exchange->comms(writeCommand(ColourRegister, bargraph::withColourCode(colours, zone, code)));
}

void BargraphPanel::setScaleType(int digit)
{
    const bool linear = digit == 0 || digit == 1;
    m_high->setVisible(linear);
    m_low->setAccessibleDescription(linear ? QStringLiteral("Bar Low") : QStringLiteral("Bar Reference"));
}
