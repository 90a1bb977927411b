#include "bargraphpanel.h"

#include "pages/inputconventions.h"

#include <QLineEdit>
#include <QSlider>

namespace {

struct Field
{
    const char *name;
    const char *accessibleName;
    int x;
};

const Field Fields[] = {
    {"Edit7", "Bar low end", 0},
    {"Edit8", "Bar high end", 88},
    {"Edit9", "Bar zero value", 176},
};

} // namespace

BargraphPanel::BargraphPanel(const PageContext &context, QWidget *parent) : QFrame(parent), m_context(context)
{
    setObjectName(QStringLiteral("BargraphPanel"));
    QLineEdit **fields[] = {&m_low, &m_high, &m_zero};
    for (int i = 0; i < 3; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(Fields[i].name));
        edit->setAccessibleName(QString::fromLatin1(Fields[i].accessibleName));
        edit->setGeometry(Fields[i].x, 0, 80, 24);
        if (InputConventions *conventions = m_context.conventions) {
            conventions->bindEnterAsTab(edit);
            conventions->bindHighlight(edit);
        }
        *fields[i] = edit;
    }
    m_zeroPosition = new QSlider(Qt::Horizontal, this);
    m_zeroPosition->setObjectName(QStringLiteral("TrackBar1"));
    m_zeroPosition->setAccessibleName(QStringLiteral("Bar zero position"));
    m_zeroPosition->setGeometry(0, 32, 256, 24);
}
