#include "kfactorpanel.h"

#include "kfactormodel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Setter = void (KFactorModel::*)(const QString &);

struct Entry
{
    const char *caption;
    const char *name;
    const char *accessibleName;
    QString (KFactorModel::*value)() const;
    Setter set;
};

const Entry Entries[] = {
    {"Input Rate", "KFactorRate", "Input rate", &KFactorModel::rate, &KFactorModel::setRate},
    {"after", "KFactorTime", "Time", &KFactorModel::time, &KFactorModel::setTime},
    {"equals Totaliser Value", "KFactorTotal", "Totaliser value", &KFactorModel::total, &KFactorModel::setTotal},
};

} // namespace

KFactorPanel::KFactorPanel(const PageContext &context, KFactorModel &model, QWidget *parent)
    : QFrame(parent), m_context(context), m_model(model)
{
    setObjectName(QStringLiteral("Panel7"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);

    auto *grid = new QGridLayout(this);
    for (int row = 0; row < 3; ++row) {
        const Entry &entry = Entries[row];
        auto *label = new QLabel(QString::fromLatin1(entry.caption));
        auto *field = new QLineEdit((model.*entry.value)());
        field->setObjectName(QString::fromLatin1(entry.name));
        field->setAccessibleName(QString::fromLatin1(entry.accessibleName));
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        const Setter set = entry.set;
        connect(field, &QLineEdit::textChanged, this, [this, set](const QString &text) { (m_model.*set)(text); });
    }
    grid->addWidget(new QLabel(QStringLiteral("Counts")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Counts")), 2, 2);
    auto *unit = new QComboBox;
    unit->setObjectName(QStringLiteral("KFactorUnit"));
    unit->setAccessibleName(QStringLiteral("Time unit"));
    unit->setEditable(true);
    unit->setInsertPolicy(QComboBox::NoInsert);
    unit->setMaxVisibleItems(4);
    unit->addItems(KFactorModel::units());
    unit->setCurrentText(model.unit());
    grid->addWidget(unit, 1, 2);
    connect(unit, &QComboBox::currentTextChanged, this, [this](const QString &text) { m_model.setUnit(text); });

    m_low = new QLabel;
    m_low->setObjectName(QStringLiteral("Label116"));
    m_high = new QLabel;
    m_high->setObjectName(QStringLiteral("Label115"));
    for (QLabel *label : {m_low, m_high}) {
        label->setTextFormat(Qt::PlainText); // they show the meter's replies
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    }
    grid->addWidget(m_low, 3, 0, 1, 3);
    grid->addWidget(m_high, 4, 0, 1, 3);

    auto *buttons = new QHBoxLayout;
    m_send = new QPushButton(QStringLiteral("Send Values to Meter"));
    m_send->setObjectName(QStringLiteral("KFactorSend"));
    auto *calculate = new QPushButton(QStringLiteral("Calculate K Factor"));
    calculate->setObjectName(QStringLiteral("KFactorCalculate"));
    buttons->addWidget(m_send);
    buttons->addWidget(calculate);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(m_send, &QPushButton::clicked, this, [this]() { runGuarded(m_context, [this]() { m_model.send(); }); });
    connect(calculate, &QPushButton::clicked, this, [this]() {
        runGuarded(m_context, [this]() {
            struct BusyCursor
            {
                BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
                ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
            } busy;
            m_model.calculate();
        });
    });
    showModel();
    connect(&m_model, &KFactorModel::changed, this, &KFactorPanel::showModel);
}

void KFactorPanel::showModel()
{
    m_high->setText(m_model.highText());
    m_low->setText(m_model.lowText());
    m_send->setEnabled(m_model.canSend());
    setVisible(m_model.isOpen());
}
