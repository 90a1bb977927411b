#include "setupdialogs.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString minutesAndSeconds(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

SetupGroupsDialog::SetupGroupsDialog(const QList<Prompts::SetupGroup> &groups, qint64 msPerRead, QWidget *parent)
    : QDialog(parent), m_groups(groups), m_msPerRead(msPerRead)
{
    setWindowTitle(QStringLiteral("Save Meter Setup"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Read these groups of settings from the meter:"), this));
    for (const Prompts::SetupGroup &group : groups) {
        // "&" in a page's name ("Scale & Offset") is shown, not a mnemonic.
        QString name = group.name;
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto *box = new QCheckBox(QStringLiteral("%1 (%2 registers)").arg(name).arg(group.reads), this);
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &SetupGroupsDialog::showReadTime);
        layout->addWidget(box);
        m_boxes.append(box);
    }
    m_readTime = new QLabel(this);
    m_readTime->setTextFormat(Qt::PlainText);
    layout->addWidget(m_readTime);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("&Read and Save..."), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    showReadTime();
}

QList<bool> SetupGroupsDialog::chosen() const
{
    QList<bool> chosen;
    for (const QCheckBox *box : m_boxes)
        chosen.append(box->isChecked());
    return chosen;
}

void SetupGroupsDialog::showReadTime()
{
    int reads = 0;
    for (qsizetype i = 0; i < m_groups.size(); ++i) {
        if (m_boxes.at(i)->isChecked())
            reads += m_groups.at(i).reads;
    }
    m_readTime->setText(QStringLiteral("%1 registers to read, about %2 (min:s).")
                            .arg(reads)
                            .arg(minutesAndSeconds(reads * m_msPerRead)));
}

SetupProgress::SetupProgress(const QString &title, QWidget *parent)
    : m_dialog(new QProgressDialog(title, QStringLiteral("Cancel"), 0, 1, parent)),
      m_startedMs(QDateTime::currentMSecsSinceEpoch())
{
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->show();
}

SetupProgress::~SetupProgress()
{
    delete m_dialog;
}

bool SetupProgress::update(int done, int total, const QString &what)
{
    m_dialog->setMaximum(std::max(total, 1));
    m_dialog->setValue(done);
    QString text = QStringLiteral("%1 of %2").arg(done).arg(total);
    if (!what.isEmpty())
        text.prepend(what + QStringLiteral(": "));
    if (done > 0 && done < total) {
        const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_startedMs;
        text += QStringLiteral(", about %1 left").arg(minutesAndSeconds(elapsed * (total - done) / done));
    }
    m_dialog->setLabelText(text);
    return !m_dialog->wasCanceled();
}

ComparisonDialog::ComparisonDialog(const QList<Prompts::ComparisonRow> &rows, int writable, const QString &note,
                                   QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Compare Meter with Setup File"));
    resize(720, 480);
    auto *layout = new QVBoxLayout(this);
    int differing = 0;
    for (const Prompts::ComparisonRow &row : rows)
        differing += row.differs ? 1 : 0;
    auto *summary =
        new QLabel(QStringLiteral("%1 of %2 registers differ from the file.").arg(differing).arg(rows.size()), this);
    layout->addWidget(summary);

    auto *table = new QTableWidget(int(rows.size()), 6, this);
    table->setObjectName(QStringLiteral("ComparisonTable"));
    table->setAccessibleName(QStringLiteral("Meter and setup file, register by register"));
    table->setHorizontalHeaderLabels({QString(), QStringLiteral("Page"), QStringLiteral("Setting"),
                                      QStringLiteral("Register"), QStringLiteral("Meter"), QStringLiteral("File")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r) {
        const Prompts::ComparisonRow &row = rows.at(r);
        const QStringList cells{
            row.differs ? QStringLiteral("differs") : QString(), row.page, row.setting, row.reg, row.meter, row.file};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (row.differs) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    if (!note.isEmpty()) {
        auto *noteLabel = new QLabel(note, this);
        noteLabel->setTextFormat(Qt::PlainText);
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    if (writable > 0) {
        buttons->addButton(writable == 1 ? QStringLiteral("Write 1 Difference to Meter")
                                         : QStringLiteral("Write %1 Differences to Meter").arg(writable),
                           QDialogButtonBox::AcceptRole);
    }
    // Enter closes: writing to the meter takes a deliberate press.
    QPushButton *close = buttons->button(QDialogButtonBox::Close);
    close->setDefault(true);
    close->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
