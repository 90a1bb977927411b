#include "advancedpage.h"

#include "printstringedit.h"

#include "pages/metersetup.h"
#include "pages/summary/meterclockpanel.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char *const BoxPrefixes[AdvancedModel::Masks] = {"CheckBox16", "CheckBoxSP", "CheckBoxAF"};

enum class Area { Left, Middle, Right, None };
enum Column { Visible = 1, AllowChanges, ControlVisible };

const char *const ColumnHeadings[] = {"", "Visible", "Allow Changes", "Control Visible"};
const char *const ColumnSuffixes[] = {"", " visible", " allow changes", " control visible"};

struct LockoutBox
{
    int mask;
    int bit;
    Area area;
    int row;
    int column;
    const char *item;  // what the box locks, for its accessible name
    const char *label; // a row label of its own, or nullptr
};

// Every box of the three masks and where it stands. The boxes of bits 7 and
// 15 of register 707 are never shown: they only show the bits as read.
const LockoutBox Boxes[] = {
    {0, 2, Area::Left, 1, Visible, "Lock message", "Lock message"},
    {0, 3, Area::Left, 2, Visible, "Calibration", "Calibration"},
    {0, 4, Area::Left, 3, Visible, "Code 1", "Code 1"},
    {0, 5, Area::Left, 4, Visible, "Code 2", "Code 2"},
    {0, 6, Area::Left, 5, Visible, "Code 3", "Code 3"},
    {0, 7, Area::Left, 6, Visible, "Code 4", "Code 4"},
    {0, 8, Area::Left, 7, Visible, "Code 5", "Code 5"},
    {0, 9, Area::Left, 8, Visible, "Code 6", "Code 6"},
    {0, 10, Area::Left, 9, Visible, "Code 7", "Code 7"},
    {0, 11, Area::Left, 10, Visible, "Code 8", "Code 8"},
    {0, 12, Area::Left, 11, Visible, "Code 9", "Code 9"},
    {0, 13, Area::Left, 12, Visible, "Code 10", "Code 10"},

    {1, 0, Area::Right, 1, Visible, "Setpoint lock message", "Lock Message"},
    {1, 1, Area::Right, 2, AllowChanges, "Setpoint 1", nullptr},
    {1, 2, Area::Right, 3, AllowChanges, "Setpoint 2", nullptr},
    {1, 3, Area::Right, 4, AllowChanges, "Setpoint 3", nullptr},
    {1, 4, Area::Right, 5, AllowChanges, "Setpoint 4", nullptr},
    {1, 5, Area::Right, 6, AllowChanges, "Setpoint 5", nullptr},
    {1, 6, Area::Right, 7, AllowChanges, "Setpoint 6", nullptr},
    {1, 7, Area::Right, 2, ControlVisible, "Setpoint 1", nullptr},
    {1, 8, Area::Right, 3, ControlVisible, "Setpoint 2", nullptr},
    {1, 9, Area::Right, 4, ControlVisible, "Setpoint 3", nullptr},
    {1, 10, Area::Right, 5, ControlVisible, "Setpoint 4", nullptr},
    {1, 11, Area::Right, 6, ControlVisible, "Setpoint 5", nullptr},
    {1, 12, Area::Right, 7, ControlVisible, "Setpoint 6", nullptr},

    {2, 0, Area::Right, 2, Visible, "Setpoint 1", nullptr},
    {2, 1, Area::Right, 4, Visible, "Setpoint 3", nullptr},
    {2, 2, Area::Right, 6, Visible, "Setpoint 5", nullptr},
    {2, 3, Area::Middle, 2, Visible, "Valley", nullptr},
    {2, 4, Area::Middle, 3, Visible, "Sub Total", nullptr},
    {2, 5, Area::Middle, 6, Visible, "Channel 2", nullptr},
    {2, 6, Area::Middle, 8, Visible, "Channel 4", nullptr},
    {2, 7, Area::None, 0, 0, "", nullptr},
    {2, 8, Area::Right, 3, Visible, "Setpoint 2", nullptr},
    {2, 9, Area::Right, 5, Visible, "Setpoint 4", nullptr},
    {2, 10, Area::Right, 7, Visible, "Setpoint 6", nullptr},
    {2, 11, Area::Middle, 1, Visible, "Peak", nullptr},
    {2, 12, Area::Middle, 4, Visible, "Total", nullptr},
    {2, 13, Area::Middle, 5, Visible, "Channel 1", nullptr},
    {2, 14, Area::Middle, 7, Visible, "Channel 3", nullptr},
    {2, 15, Area::None, 0, 0, "", nullptr},
};

// Where each display text stands, in the model's order of the texts: Peak,
// Valley, Total, Sub Total, Channel 1 to 4, Over, Under, Setpoint 1 to 6.
struct TextField
{
    const char *name;
    Area area;
    int row;
};
const TextField Texts[AdvancedModel::Texts] = {
    {"MaskEdit13", Area::Middle, 1}, {"MaskEdit14", Area::Middle, 2}, {"MaskEdit15", Area::Middle, 4},
    {"MaskEdit16", Area::Middle, 3}, {"MaskEdit1", Area::Middle, 5},  {"MaskEdit2", Area::Middle, 6},
    {"MaskEdit3", Area::Middle, 7},  {"MaskEdit4", Area::Middle, 8},  {"MaskEdit5", Area::Middle, 9},
    {"MaskEdit6", Area::Middle, 10}, {"MaskEdit7", Area::Right, 2},   {"MaskEdit8", Area::Right, 3},
    {"MaskEdit9", Area::Right, 4},   {"MaskEdit10", Area::Right, 5},  {"MaskEdit11", Area::Right, 6},
    {"MaskEdit12", Area::Right, 7},
};

} // namespace

AdvancedPage::AdvancedPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet16"), parent),
      m_model(*context.setup->model<AdvancedModel>(PageId::Advanced))
{
    addHeading(this, QStringLiteral("Advanced Functions"));
    buildGroups();
    showModel();
    connect(&m_model, &PageModel::changed, this, &AdvancedPage::showModel);
}

void AdvancedPage::buildGroups()
{
    QGridLayout *grids[3] = {};
    auto *groups = new QHBoxLayout(this);
    groups->setContentsMargins(8, 40, 8, 8);
    for (QGridLayout *&grid : grids) {
        auto *group = new QGroupBox(this);
        auto *column = new QVBoxLayout(group);
        grid = new QGridLayout;
        column->addLayout(grid);
        column->addStretch();
        groups->addWidget(group, 0, Qt::AlignTop);
    }
    const int lastColumn[3] = {Visible, Visible, ControlVisible};
    for (int area = 0; area < 3; ++area) {
        for (int column = Visible; column <= lastColumn[area]; ++column)
            grids[area]->addWidget(new QLabel(QString::fromLatin1(ColumnHeadings[column]), this), 0, column,
                                   Qt::AlignCenter);
    }
    buildTexts(grids);
    buildBoxes(grids);

    m_print = new PrintStringEdit(this);
    m_print->setObjectName(QStringLiteral("Memo2"));
    m_print->setToolTip(QStringLiteral("Print String"));
    m_print->setAccessibleName(QStringLiteral("Print string"));
    m_print->setMaximumHeight(m_print->fontMetrics().lineSpacing() * 4);
    m_print->installEventFilter(this);
    grids[int(Area::Right)]->addWidget(m_print, 8, 0, 1, 4);
    // Every change of the text, typed, pasted or set by a screen reader; the
    // program's own updates are made with signals blocked.
    connect(m_print, &QPlainTextEdit::textChanged, this, [this]() { m_model.editPrintString(m_print->toPlainText()); });

    m_clock = new MeterClockPanel(context(), m_model.clock(), this);
    grids[int(Area::Right)]->addWidget(m_clock, 9, 0, 1, 4);

    // Tab goes down each group in turn, as the groups are read.
    QWidget *previous = nullptr;
    for (int area = 0; area < 3; ++area) {
        QGridLayout *grid = grids[area];
        for (int row = 1; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                QLayoutItem *item = grid->itemAtPosition(row, column);
                QWidget *widget = item ? item->widget() : nullptr;
                if (!widget || qobject_cast<QLabel *>(widget) || widget == m_clock)
                    continue;
                if (previous)
                    setTabOrder(previous, widget);
                previous = widget;
            }
        }
    }
}

void AdvancedPage::buildTexts(QGridLayout *const grids[])
{
    QFont large = font();
    large.setPixelSize(20);
    for (int i = 0; i < AdvancedModel::Texts; ++i) {
        const TextField &entry = Texts[i];
        const QString item = QString::fromLatin1(AdvancedModel::displayTexts()[std::size_t(i)].item);
        auto *field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(entry.name));
        field->setFont(large);
        field->setToolTip(item);
        field->setAccessibleName(item + QStringLiteral(" text"));
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^*]*")), field));
        field->installEventFilter(this);
        grids[int(entry.area)]->addWidget(field, entry.row, 0);
        m_texts[std::size_t(i)] = field;
        // Typed, pasted or set by a screen reader alike.
        connect(field, &QLineEdit::textChanged, this,
                [this, i](const QString &text) { m_model.editDisplayText(i, text); });
    }
}

void AdvancedPage::buildBoxes(QGridLayout *const grids[])
{
    for (const LockoutBox &entry : Boxes) {
        auto *box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(BoxPrefixes[entry.mask]) + QString::number(entry.bit));
        m_boxes[std::size_t(entry.mask)][std::size_t(entry.bit)] = box;
        if (entry.area == Area::None) {
            box->hide();
            box->setEnabled(false);
            continue;
        }
        box->setAccessibleName(QString::fromLatin1(entry.item) + QString::fromLatin1(ColumnSuffixes[entry.column]));
        QGridLayout *grid = grids[int(entry.area)];
        grid->addWidget(box, entry.row, entry.column, Qt::AlignCenter);
        if (entry.label) {
            auto *label = new QLabel(QString::fromLatin1(entry.label), this);
            label->setBuddy(box);
            grid->addWidget(label, entry.row, 0);
            if (entry.mask == AdvancedModel::PageMask && entry.bit == AdvancedModel::Code10Bit) {
                label->setObjectName(QStringLiteral("Label56"));
                m_code10Label = label;
            }
        }
        // Every change the operator makes, by mouse, keyboard or a screen
        // reader's Toggle action; the model's values are shown with signals
        // blocked.
        const int mask = entry.mask;
        const int bit = entry.bit;
        connect(box, &QCheckBox::toggled, this, [this, mask, bit](bool checked) {
            runGuarded(context(), [this, mask, bit, checked]() { m_model.setChecked(mask, bit, checked); });
        });
    }
}

void AdvancedPage::showModel()
{
    for (int mask = 0; mask < AdvancedModel::Masks; ++mask) {
        const quint16 kept = AdvancedModel::masks()[std::size_t(mask)].kept;
        for (int bit = 0; bit < AdvancedModel::Bits; ++bit) {
            QCheckBox *box = m_boxes[std::size_t(mask)][std::size_t(bit)];
            if (!box)
                continue;
            const QSignalBlocker blocker(box);
            box->setChecked(m_model.isChecked(mask, bit));
            // The kept boxes stay disabled.
            if (!(kept & (1u << bit)))
                box->setEnabled(m_model.isMaskRead(mask));
        }
    }
    m_code10Label->setVisible(m_model.hasCode10Row());
    m_boxes[AdvancedModel::PageMask][AdvancedModel::Code10Bit]->setVisible(m_model.hasCode10Row());

    for (int i = 0; i < AdvancedModel::Texts; ++i) {
        QLineEdit *field = m_texts[std::size_t(i)];
        if (field->text() != m_model.displayText(i)) {
            const QSignalBlocker blocker(field);
            field->setText(m_model.displayText(i));
        }
        field->setEnabled(m_model.isDisplayTextRead(i));
    }
    if (m_print->toPlainText() != m_model.printString()) {
        const QSignalBlocker blocker(m_print);
        m_print->setPlainText(m_model.printString());
    }
    m_print->setEnabled(m_model.isPrintStringRead());
}

void AdvancedPage::enter(const PageEntry &)
{
    m_model.enter();
}

bool AdvancedPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_print)
                runGuarded(context(), [this]() { m_model.leavePrintString(); });
            for (int i = 0; i < AdvancedModel::Texts; ++i) {
                if (watched == m_texts[std::size_t(i)])
                    runGuarded(context(), [this, i]() { m_model.leaveDisplayText(i); });
            }
        }
    }
    return Page::eventFilter(watched, event);
}
