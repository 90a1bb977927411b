#include "scaleoffsetpage.h"

#include "pages/inputconventions.h"
#include "pages/metersetup.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int OffsetMaxLength = 6;

// The fields of each row: its scale, and its offset three fields on.
const char *const RowLabels[] = {"Result", "Chnl 1", "Chnl 2"};

} // namespace

ScaleOffsetPage::ScaleOffsetPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet2"), parent),
      m_model(*context.setup->model<ScaleOffsetModel>(PageId::ScaleOffset))
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
            const int index = row + (scale ? 0 : 3);
            auto *edit = new QLineEdit(grid);
            edit->setObjectName(QStringLiteral("Edit%1").arg(ScaleOffsetModel::fields()[std::size_t(index)].reg));
            edit->setFont(large);
            edit->setAccessibleName(rowLabel + (scale ? QStringLiteral(" scale") : QStringLiteral(" offset")));
            if (!scale)
                edit->setMaxLength(OffsetMaxLength);
            edit->installEventFilter(this);
            if (InputConventions *conventions = context.conventions) {
                conventions->bindEnterAsTab(edit);
                conventions->bindHighlight(edit);
            }
            // Every change of the text, typed, pasted or set by a screen
            // reader, goes to the model; the page's own updates are blocked.
            connect(edit, &QLineEdit::textChanged, this,
                    [this, index](const QString &text) { m_model.setText(index, text); });
            layout->addWidget(edit, row + 1, column + 1);
            m_fields[std::size_t(index)] = edit;
            if (previous)
                setTabOrder(previous, edit);
            previous = edit;
        }
    }
    showFields();
    connect(&m_model, &PageModel::changed, this, &ScaleOffsetPage::showFields);
}

bool ScaleOffsetPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const auto field = std::find(m_fields.begin(), m_fields.end(), watched);
        if (field != m_fields.end() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const int index = int(field - m_fields.begin());
            runGuarded(context(), [this, index]() { m_model.leave(index, context().shared->entryText); });
        }
    }
    return Page::eventFilter(watched, event);
}

void ScaleOffsetPage::showFields()
{
    for (int i = 0; i < int(m_fields.size()); ++i) {
        QLineEdit *edit = m_fields[std::size_t(i)];
        if (edit->text() != m_model.text(i)) {
            const QSignalBlocker blocker(edit);
            edit->setText(m_model.text(i));
        }
    }
}
