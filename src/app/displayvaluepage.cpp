#include "displayvaluepage.h"

#include <QLabel>
#include <QSpinBox>

DisplayValuePage::DisplayValuePage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet1"), parent)
{
    m_reading = new QLabel(QStringLiteral("Connecting..."), this);
    m_reading->setObjectName(QStringLiteral("Label2"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(120);
    m_reading->setFont(font);
    m_reading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_reading->setGeometry(8, 60, 760, 220);

    auto *label = new QLabel(QStringLiteral("Sampling Time (mS)"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(8, 320, 140, 24);

    m_sampling = new QSpinBox(this);
    m_sampling->setObjectName(QStringLiteral("UpDown1"));
    m_sampling->setRange(MinSampling, MaxSampling);
    m_sampling->setSingleStep(SamplingStep);
    m_sampling->setValue(1000);
    m_sampling->setGroupSeparatorShown(true);
    m_sampling->setWrapping(false);
    m_sampling->setGeometry(150, 320, 100, 24);
    label->setBuddy(m_sampling);
    m_sampling->setAccessibleName(QStringLiteral("Sampling time in milliseconds"));
    connect(m_sampling, &QSpinBox::valueChanged, this, &DisplayValuePage::samplingTimeStepped);
}

int DisplayValuePage::samplingTime() const
{
    return m_sampling->value();
}
