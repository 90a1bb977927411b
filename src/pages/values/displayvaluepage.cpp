#include "displayvaluepage.h"

#include "link/metersession.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <functional>

namespace {

// The meter's state phrases, matched as the whole text in the same case.
struct StateWord
{
    const char *reply;
    const char *shown;
};
const StateWord StateWords[] = {
    {"Over Range", "OVERRANGE"},
    {"Under Range", "UNDERRANGE"},
    {"Open Sensor", "OPEN"},
};

constexpr int ReadingPoints = 100;
constexpr int StatePoints = 70;

// Arrows attached to the sampling-time field. Only a step counts: it starts
// from the number in the field, typed or not, and stops at the limits.
class SamplingTimeBox : public QSpinBox
{
public:
    SamplingTimeBox(QWidget *parent, std::function<void()> stepped) : QSpinBox(parent), m_stepped(std::move(stepped))
    {
        lineEdit()->setObjectName(QStringLiteral("Edit1"));
    }

    void stepBy(int steps) override
    {
        // A number typed outside the limits steps to the nearest limit.
        bool typed = false;
        const int value = locale().toInt(cleanText(), &typed);
        if (typed && (value < minimum() || value > maximum()))
            setValue(std::clamp(value, minimum(), maximum()));
        else
            QSpinBox::stepBy(steps);
        m_stepped();
    }

protected:
    // The arrows stay usable at the limits; a step there keeps the limit.
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    std::function<void()> m_stepped;
};

} // namespace

DisplayValuePage::DisplayValuePage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet1"), parent)
{
    m_reading = new QLabel(QStringLiteral("Connecting..."), this);
    m_reading->setObjectName(QStringLiteral("Label2"));
    // The meter's text is shown as it is, never as markup.
    m_reading->setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(120);
    m_reading->setFont(font);
    m_reading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_reading->setGeometry(8, 60, 760, 220);
    m_reading->setAccessibleName(QStringLiteral("Display value"));

    auto *label = new QLabel(QStringLiteral("Sampling Time (mS)"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(8, 320, 140, 24);

    m_sampling = new SamplingTimeBox(this, [this]() { applySamplingTime(); });
    m_sampling->setObjectName(QStringLiteral("UpDown1"));
    m_sampling->setRange(MinSampling, MaxSampling);
    m_sampling->setSingleStep(SamplingStep);
    m_sampling->setWrapping(false);
    // Thousands separated with "," as in "1,000", whatever the desktop uses.
    QLocale thousands(QLocale::English, QLocale::UnitedStates);
    thousands.setNumberOptions(thousands.numberOptions() & ~QLocale::OmitGroupSeparator);
    m_sampling->setLocale(thousands);
    m_sampling->setGroupSeparatorShown(true);
    m_sampling->setValue(1000);
    m_sampling->setGeometry(150, 320, 100, 24);
    label->setBuddy(m_sampling);
    m_sampling->setAccessibleName(QStringLiteral("Sampling time in milliseconds"));

    if (MeterSession *session = context.session) {
        session->setPollInterval(samplingTime());
        connect(session, &MeterSession::readingTaken, this, &DisplayValuePage::showReading);
    }
}

int DisplayValuePage::samplingTime() const
{
    return m_sampling->value();
}

void DisplayValuePage::applySamplingTime()
{
    if (MeterSession *session = context().session)
        session->setPollInterval(m_sampling->value());
}

void DisplayValuePage::showReading(const QString &replyValue, const QString &replyText)
{
    QFont font = m_reading->font();
    QPalette palette = m_reading->palette();
    for (const StateWord &state : StateWords) {
        if (replyValue == QLatin1String(state.reply)) {
            font.setPointSize(StatePoints);
            m_reading->setFont(font);
            palette.setColor(QPalette::WindowText, Qt::red);
            m_reading->setPalette(palette);
            m_reading->setText(QString::fromLatin1(state.shown));
            // The word shows on the first poll of a state, then blinks.
            // isHidden, not isVisible: it blinks whichever page is shown.
            m_reading->setHidden(m_blinking && !m_reading->isHidden());
            m_blinking = true;
            return;
        }
    }
    m_blinking = false;
    m_reading->show();
    font.setPointSize(ReadingPoints);
    m_reading->setFont(font);
    palette.setColor(QPalette::WindowText, Qt::black);
    m_reading->setPalette(palette);
    m_reading->setText(replyText);
}
