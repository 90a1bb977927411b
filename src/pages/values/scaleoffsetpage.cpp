#include "scaleoffsetpage.h"

#include "decimaltext.h"

#include "link/commandexchange.h"
#include "link/registers.h"
#include "pages/inputconventions.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int FirstRegister = 24;
const char *const TagProperty = "tag";

// Both bounds excluded; single precision like the converted value, so that
// a bound typed in is refused as well.
constexpr float ScaleLower = -1.9999f;
constexpr float ScaleUpper = 3.2767f;
constexpr int ScaleDecimals = 4;
constexpr float OffsetLower = -19999.0f;
constexpr float OffsetUpper = 32767.0f;
constexpr int OffsetDecimals = 0;
constexpr int OffsetMaxLength = 6;

// Registers 24..26 are the scales, 27..29 the offsets, of these rows.
const char *const RowLabels[] = {"Result", "Chnl 1", "Chnl 2"};

} // namespace

ScaleOffsetPage::ScaleOffsetPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet2"), parent)
{
    addHeading(this, QStringLiteral("Scale & Offset"));

    auto *grid = new QWidget(this);
    grid->setGeometry(40, 60, 520, 260);
    auto *layout = new QGridLayout(grid);
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(16);

    QFont large = font();
    large.setPixelSize(24);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(16);

    const char *const columnHeadings[] = {"Scale", "Offset"};
    for (int column = 0; column < 2; ++column) {
        auto *heading = new QLabel(QString::fromLatin1(columnHeadings[column]), grid);
        heading->setFont(bold);
        heading->setAlignment(Qt::AlignCenter);
        layout->addWidget(heading, 0, column + 1);
    }

    QWidget *previous = nullptr;
    for (int row = 0; row < 3; ++row) {
        const QString rowLabel = QString::fromLatin1(RowLabels[row]);
        auto *label = new QLabel(rowLabel, grid);
        label->setFont(bold);
        layout->addWidget(label, row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            const bool scale = column == 0;
            const int reg = FirstRegister + row + (scale ? 0 : 3);
            auto *edit = new QLineEdit(scale ? QStringLiteral("1.0000") : QStringLiteral("0"), grid);
            edit->setObjectName(QStringLiteral("Edit%1").arg(reg));
            edit->setProperty(TagProperty, reg);
            edit->setFont(large);
            edit->setAccessibleName(rowLabel + (scale ? QStringLiteral(" scale") : QStringLiteral(" offset")));
            if (!scale)
                edit->setMaxLength(OffsetMaxLength);
            edit->installEventFilter(this);
            if (InputConventions *conventions = context.conventions) {
                conventions->bindEnterAsTab(edit);
                conventions->bindHighlight(edit);
            }
            layout->addWidget(edit, row + 1, column + 1);
            m_fields[reg - FirstRegister] = edit;
            if (previous)
                setTabOrder(previous, edit);
            previous = edit;
        }
    }
}

QLineEdit *ScaleOffsetPage::field(int reg) const
{
    return m_fields.at(reg - FirstRegister);
}

bool ScaleOffsetPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const bool scale = edit->property(TagProperty).toInt() < FirstRegister + 3;
            runGuarded(context(), [this, edit, scale]() { scale ? writeScale(edit) : writeOffset(edit); });
        }
    }
    return Page::eventFilter(watched, event);
}

void ScaleOffsetPage::writeScale(QLineEdit *field)
{
    writeField(field, ScaleLower, ScaleUpper, ScaleDecimals);
}

void ScaleOffsetPage::writeOffset(QLineEdit *field)
{
    writeField(field, OffsetLower, OffsetUpper, OffsetDecimals);
}

void ScaleOffsetPage::writeField(QLineEdit *field, float lower, float upper, int decimals)
{
    // A field the meter answered blank and the operator left untouched has
    // nothing to write.
    if (field->text().isEmpty() && context().shared->entryText.isEmpty())
        return;
    // The range applies to the value as it will be sent, after rounding to
    // the field's decimals: 3.27669 would go out as the excluded 3.2767.
    const float typed = decimaltext::toSingle(field->text());
    const auto outside = [lower, upper](float v) { return v >= upper || v <= lower; };
    const QString text = outside(typed) ? QString() : decimaltext::fixed(typed, decimals);
    if (text.isEmpty() || outside(decimaltext::toSingle(text))) {
        field->setText(context().shared->entryText);
        return;
    }
    field->setText(text);
    context().exchange->comms(writeCommand(field->property(TagProperty).toInt(), field->text()));
}

void ScaleOffsetPage::readBack()
{
    CommandExchange *exchange = context().exchange;
    // Scales are shown as the meter sends them; offsets are whole display
    // counts, so their reply loses its first ".". Each field takes its own
    // read's reply: a blank one leaves the field empty.
    for (int i = 0; i < int(m_fields.size()); ++i) {
        const int reg = FirstRegister + i;
        const Reply reply = exchange->comms(readCommand(reg));
        QLineEdit *edit = field(reg);
        edit->setText(i < 3 ? reply.text : reply.value);
        setSummaryCell(context(), i < 3 ? summarycell::scale(i) : summarycell::offset(i - 3), edit->text());
    }
}

void ScaleOffsetPage::distrustLoad()
{
    for (int i = 0; i < int(m_fields.size()); ++i) {
        m_fields[std::size_t(i)]->clear();
        setSummaryCell(context(), i < 3 ? summarycell::scale(i) : summarycell::offset(i - 3), QString());
    }
}
