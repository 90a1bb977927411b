#include "advancedpage.h"

#include "displaytext.h"
#include "lockoutmask.h"
#include "printstringedit.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/registers.h"
#include "link/replyframer.h"
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
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const char *const TagProperty = "tag";

struct Mask
{
    int reg;
    const char *boxPrefix;
    // Register 707 carries its sign in bit 15.
    bool signedWord;
    // Runs when the operator changes any of the mask's boxes.
    void (AdvancedPage::*click)();
};
const Mask MaskTable[AdvancedPage::Masks] = {{705, "CheckBox16", false, &AdvancedPage::writePageLockouts},
                                             {706, "CheckBoxSP", false, &AdvancedPage::writeSetpointLockouts},
                                             {707, "CheckBoxAF", true, &AdvancedPage::writeDisplayLockouts}};
constexpr int CodeMask = 0;
constexpr int Code10Bit = 13;

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
// 15 of register 707 are never shown: they keep those bits as read.
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

// A display text's tag selects its letter register: tag 1 is T ... tag 16 is J.
const char TagLetters[] = "TUVWLMNOPQRSHIKJ";

char letterOf(int tag)
{
    return TagLetters[tag - 1];
}

struct TextField
{
    const char *name;
    int tag;
    const char *creationText;
    const char *hint;
    Area area;
    int row;
};

// In the order the page reads them: H, I, J, K, T .. W, R, S, L .. Q.
const TextField Texts[] = {
    {"MaskEdit13", 13, "Peak", "Peak", Area::Middle, 1},
    {"MaskEdit14", 14, "Valley", "Valley", Area::Middle, 2},
    {"MaskEdit15", 16, "Total", "Total", Area::Middle, 4},
    {"MaskEdit16", 15, "Sub Total", "Sub Total", Area::Middle, 3},
    {"MaskEdit1", 1, "Chnl1", "Channel 1", Area::Middle, 5},
    {"MaskEdit2", 2, "Chnl2", "Channel 2", Area::Middle, 6},
    {"MaskEdit3", 3, "Chnl3", "Channel 3", Area::Middle, 7},
    {"MaskEdit4", 4, "Chnl4", "Channel 4", Area::Middle, 8},
    {"MaskEdit5", 11, "Over", "Overrange", Area::Middle, 9},
    {"MaskEdit6", 12, "Under", "Underrange", Area::Middle, 10},
    {"MaskEdit7", 5, "SP 1", "Setpoint 1", Area::Right, 2},
    {"MaskEdit8", 6, "SP 2", "Setpoint 2", Area::Right, 3},
    {"MaskEdit9", 7, "SP 3", "Setpoint 3", Area::Right, 4},
    {"MaskEdit10", 8, "SP 4", "Setpoint 4", Area::Right, 5},
    {"MaskEdit11", 9, "SP 5", "Setpoint 5", Area::Right, 6},
    {"MaskEdit12", 10, "SP 6", "Setpoint 6", Area::Right, 7},
};
static_assert(std::size(Texts) == 16);

constexpr char PrintLetter = 'X';

} // namespace

AdvancedPage::AdvancedPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet16"), parent)
{
    addHeading(this, QStringLiteral("Advanced Functions"));
    buildGroups();
    holdUnread();
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

    QFont large = font();
    large.setPixelSize(20);
    QWidget *previous = nullptr;
    for (int i = 0; i < int(std::size(Texts)); ++i) {
        const TextField &entry = Texts[i];
        auto *field = new QLineEdit(QString::fromLatin1(entry.creationText), this);
        field->setObjectName(QString::fromLatin1(entry.name));
        field->setProperty(TagProperty, entry.tag);
        field->setFont(large);
        field->setToolTip(QString::fromLatin1(entry.hint));
        field->setAccessibleName(QString::fromLatin1(entry.hint) + QStringLiteral(" text"));
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^*]*")), field));
        field->installEventFilter(this);
        grids[int(entry.area)]->addWidget(field, entry.row, 0);
        m_texts[i] = field;
    }

    for (const LockoutBox &entry : Boxes) {
        auto *box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(MaskTable[entry.mask].boxPrefix) + QString::number(entry.bit));
        box->setProperty(TagProperty, 1 << entry.bit);
        box->setChecked(entry.area != Area::None);
        m_boxes[entry.mask][entry.bit] = box;
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
            if (entry.mask == CodeMask && entry.bit == Code10Bit) {
                label->setObjectName(QStringLiteral("Label56"));
                m_code10Label = label;
            }
        }
        m_shownBits[entry.mask] |= quint16(1u << entry.bit);
        const auto click = MaskTable[entry.mask].click;
        // Every change the operator makes, by mouse, keyboard or a screen
        // reader's Toggle action; the read-back sets the boxes with signals
        // blocked.
        connect(box, &QCheckBox::toggled, this,
                [this, click]() { runGuarded(this->context(), [this, click]() { (this->*click)(); }); });
    }
    // Shown once detection finds a model with a Code 10 page.
    m_code10Label->hide();
    m_boxes[CodeMask][Code10Bit]->hide();

    m_print = new PrintStringEdit(this);
    m_print->setObjectName(QStringLiteral("Memo2"));
    m_print->setPlainText(QStringLiteral("Print String"));
    m_print->setToolTip(QStringLiteral("Print String"));
    m_print->setAccessibleName(QStringLiteral("Print string"));
    m_print->setMaximumHeight(m_print->fontMetrics().lineSpacing() * 4);
    m_print->installEventFilter(this);
    grids[int(Area::Right)]->addWidget(m_print, 8, 0, 1, 4);

    m_clock = new MeterClockPanel(context(), this);
    grids[int(Area::Right)]->addWidget(m_clock, 9, 0, 1, 4);

    // Tab goes down each group in turn, as the groups are read.
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

void AdvancedPage::adaptTo(const MeterIdentity &identity)
{
    if (!identity.hasOption("B") && !identity.hasOption("3"))
        return;
    m_code10Label->show();
    m_boxes[CodeMask][Code10Bit]->show();
    context().shared->pageLockLimit = 14;
}

void AdvancedPage::holdUnread()
{
    for (int mask = 0; mask < Masks; ++mask)
        setMaskReadable(mask, false);
    for (QLineEdit *field : m_texts)
        field->setEnabled(false);
    m_print->setEnabled(false);
}

void AdvancedPage::enter(const PageEntry &)
{
    holdUnread();
    readLockouts();
    readTexts();
    context().exchange->framer()->enable();
}

void AdvancedPage::readLockouts()
{
    for (int mask = 0; mask < Masks; ++mask) {
        const QString reply = context().exchange->comms(readCommand(MaskTable[mask].reg)).value;
        const quint16 value = lockoutmask::fromReply(reply);
        for (int bit = 0; bit < Bits; ++bit) {
            if (QCheckBox *b = m_boxes[mask][bit]) {
                const QSignalBlocker blocker(b);
                b->setChecked(value & (1u << bit));
            }
        }
        setMaskReadable(mask, true);
    }
}

void AdvancedPage::readTexts()
{
    const int width = displaytext::width(context().identity->modelCode);
    for (QLineEdit *field : m_texts) {
        const char letter = letterOf(field->property(TagProperty).toInt());
        field->setText(displaytext::rightAligned(context().exchange->comms(readCommand(letter)).text, width));
        field->setEnabled(true);
    }
    m_print->setPlainText(context().exchange->comms(readCommand(PrintLetter)).text);
    m_print->setEnabled(true);
}

void AdvancedPage::setMaskReadable(int mask, bool readable)
{
    m_read[mask] = readable;
    // The hidden boxes of register 707 only hold bits and stay disabled.
    for (int bit = 0; bit < Bits; ++bit) {
        if (m_shownBits[mask] & (1u << bit))
            m_boxes[mask][bit]->setEnabled(readable);
    }
}

quint16 AdvancedPage::countedBits(int mask) const
{
    if (mask == CodeMask) {
        const int last = std::min(context().shared->pageLockLimit - 1, Code10Bit);
        return lockoutmask::bits(2, last);
    }
    quint16 bits = 0;
    for (QCheckBox *b : m_boxes[mask]) {
        if (b)
            bits |= quint16(b->property(TagProperty).toInt());
    }
    return bits;
}

quint16 AdvancedPage::checkedBits(int mask) const
{
    quint16 bits = 0;
    for (QCheckBox *b : m_boxes[mask]) {
        if (b && b->isChecked())
            bits |= quint16(b->property(TagProperty).toInt());
    }
    return bits;
}

void AdvancedPage::writeMask(int mask)
{
    if (!m_read[mask])
        return;
    // Built once the line is free, from the boxes as they are then: quick
    // clicks during a wait leave the meter with the mask the page shows.
    context().exchange->comms([this, mask]() {
        return writeCommand(MaskTable[mask].reg,
                            lockoutmask::written(checkedBits(mask), countedBits(mask), MaskTable[mask].signedWord));
    });
}

void AdvancedPage::writePageLockouts()
{
    writeMask(CodeMask);
}

void AdvancedPage::writeSetpointLockouts()
{
    writeMask(1);
}

void AdvancedPage::writeDisplayLockouts()
{
    writeMask(2);
}

void AdvancedPage::writeDisplayText(QLineEdit *field)
{
    if (!field->isModified())
        return;
    const QString text = displaytext::forWrite(field->text());
    field->setText(text);
    context().exchange->comms(writeCommand(letterOf(field->property(TagProperty).toInt()), text));
}

void AdvancedPage::writePrintString()
{
    // Only the operator's edit is sent: the text as read may not survive the
    // trip back (a reply ends at its first CR LF).
    QTextDocument *document = m_print->document();
    if (!document->isModified())
        return;
    document->setModified(false);
    context().exchange->comms(writeCommand(PrintLetter, displaytext::printForWire(m_print->toPlainText())));
}

bool AdvancedPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field for another control; the window losing
        // activation or a popup opening is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_print)
                runGuarded(context(), [this]() { writePrintString(); });
            else if (auto *field = qobject_cast<QLineEdit *>(watched))
                runGuarded(context(), [this, field]() { writeDisplayText(field); });
        }
    }
    return Page::eventFilter(watched, event);
}
