#include "mathpage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
// Each formula is followed by a raised "2".
const char *const Formulas[] = {"E=mc", "F=(GMm)/r", "d =0.5(vt) + 0.5(at )"};
} // namespace

MathPage::MathPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet14"), parent)
{
    QLabel *heading = addHeading(this, QStringLiteral("Math Functions"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addWidget(heading);
    int n = 0;
    for (const char *formula : Formulas) {
        auto *row = new QHBoxLayout;
        row->setSpacing(0);
        auto *text = new QLabel(QString::fromLatin1(formula), this);
        text->setObjectName(QStringLiteral("Formula%1").arg(++n));
        auto *power = new QLabel(QStringLiteral("2"), this);
        power->setObjectName(QStringLiteral("Power%1").arg(n));
        QFont small = power->font();
        small.setPointSizeF(small.pointSizeF() * 0.7);
        power->setFont(small);
        power->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        row->addWidget(text, 0, Qt::AlignBottom);
        row->addWidget(power, 0, Qt::AlignTop);
        row->addStretch();
        column->addLayout(row);
    }
    column->addStretch();
}
