#include "app/pagestrip.h"

#include "app/pagestripaccessible.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

// ---------------------------------------------------------------- PageTabArea

PageTabArea::PageTabArea(QWidget *parent) : QWidget(parent)
{
    installPageStripAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setToolTip(tr("Click on Tab to change page"));
    setAccessibleName(tr("Pages"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred, QSizePolicy::TabWidget);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int PageTabArea::addTab(const QString &text)
{
    Tab tab;
    tab.text = text;
    m_tabs.append(tab);
    relayout();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    return int(m_tabs.size()) - 1;
}

int PageTabArea::count() const
{
    return int(m_tabs.size());
}

QString PageTabArea::tabText(int index) const
{
    return index >= 0 && index < count() ? m_tabs.at(index).text : QString();
}

void PageTabArea::setTabText(int index, const QString &text)
{
    if (index < 0 || index >= count() || m_tabs.at(index).text == text)
        return;
    m_tabs[index].text = text;
    relayout();
    const int position = visiblePosition(index);
    if (position >= 0 && QAccessible::isActive()) {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        renamed.setChild(position);
        QAccessible::updateAccessibility(&renamed);
    }
}

QString PageTabArea::tabToolTip(int index) const
{
    return index >= 0 && index < count() ? m_tabs.at(index).toolTip : QString();
}

void PageTabArea::setTabToolTip(int index, const QString &tip)
{
    if (index >= 0 && index < count())
        m_tabs[index].toolTip = tip;
}

bool PageTabArea::isTabVisible(int index) const
{
    return index >= 0 && index < count() && m_tabs.at(index).visible;
}

void PageTabArea::setTabVisible(int index, bool visible)
{
    if (index < 0 || index >= count() || m_tabs.at(index).visible == visible)
        return;
    m_tabs[index].visible = visible;
    if (!visible && m_hovered == index)
        m_hovered = -1;
    relayout();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

int PageTabArea::currentIndex() const
{
    return m_current;
}

void PageTabArea::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    update();
    const int position = visiblePosition(index);
    if (position >= 0 && QAccessible::isActive()) {
        QAccessibleEvent selected(this, QAccessible::Selection);
        selected.setChild(position);
        QAccessible::updateAccessibility(&selected);
        if (hasFocus())
            notifyAccessibleFocus();
    }
}

QRect PageTabArea::tabRect(int index) const
{
    return index >= 0 && index < count() ? m_tabs.at(index).rect : QRect();
}

int PageTabArea::tabAt(const QPoint &pos) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_tabs.at(i).visible && m_tabs.at(i).rect.contains(pos))
            return i;
    }
    return -1;
}

int PageTabArea::rowCount() const
{
    return m_rows;
}

int PageTabArea::hoveredIndex() const
{
    return m_hovered;
}

int PageTabArea::visibleCount() const
{
    return int(std::count_if(m_tabs.cbegin(), m_tabs.cend(), [](const Tab &t) { return t.visible; }));
}

int PageTabArea::visibleTab(int position) const
{
    if (position < 0)
        return -1;
    for (int i = 0; i < count(); ++i) {
        if (m_tabs.at(i).visible && position-- == 0)
            return i;
    }
    return -1;
}

int PageTabArea::visiblePosition(int index) const
{
    if (!isTabVisible(index))
        return -1;
    int position = 0;
    for (int i = 0; i < index; ++i) {
        if (m_tabs.at(i).visible)
            ++position;
    }
    return position;
}

int PageTabArea::neighbourTab(int from, int step) const
{
    const int n = count();
    if (n == 0 || step == 0)
        return -1;
    const int delta = step > 0 ? 1 : -1;
    int idx = from;
    for (int i = 0; i < n; ++i) {
        if (from < 0 && i == 0)
            idx = delta > 0 ? 0 : n - 1;
        else
            idx = ((idx + delta) % n + n) % n;
        if (idx == from)
            return -1;
        if (m_tabs.at(idx).visible)
            return idx;
    }
    return -1;
}

void PageTabArea::requestTab(int index)
{
    if (!isEnabled() || index < 0 || index >= count())
        return;
    emit tabRequested(index);
}

bool PageTabArea::hasHeightForWidth() const
{
    return true;
}

int PageTabArea::heightForWidth(int width) const
{
    return std::max(flow(width, nullptr), 1) * rowHeight();
}

QSize PageTabArea::sizeHint() const
{
    // A narrow hint: the layout gives the area the width it has, and the
    // height follows from heightForWidth().
    const QSize minimum = minimumSizeHint();
    return {minimum.width(), heightForWidth(minimum.width())};
}

QSize PageTabArea::minimumSizeHint() const
{
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        if (m_tabs.at(i).visible)
            widest = std::max(widest, tabSize(i).width());
    }
    return {widest, rowHeight()};
}

void PageTabArea::initTabOption(QStyleOptionTab *option, int index) const
{
    option->initFrom(this);
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    const Tab &tab = m_tabs.at(index);
    option->shape = QTabBar::RoundedNorth;
    // Captions are plain text: an ampersand is shown, not taken as a mnemonic.
    option->text = QString(tab.text).replace(QLatin1Char('&'), QLatin1String("&&"));
    option->rect = tab.rect;
    option->tabIndex = index;
    if (index == m_current) {
        option->state |= QStyle::State_Selected;
        if (hasFocus())
            option->state |= QStyle::State_HasFocus;
    }
    if (index == m_hovered && isEnabled())
        option->state |= QStyle::State_MouseOver;
}

QSize PageTabArea::tabSize(int index) const
{
    QStyleOptionTab option;
    initTabOption(&option, index);
    const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vspace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QFontMetrics metrics = fontMetrics();
    const QSize contents(metrics.size(Qt::TextShowMnemonic, option.text).width() + hspace, metrics.height() + vspace);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
}

int PageTabArea::rowHeight() const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = QStringLiteral("X");
    const int vspace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QSize contents(fontMetrics().horizontalAdvance(option.text), fontMetrics().height() + vspace);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this).height();
}

int PageTabArea::flow(int width, QVector<QRect> *rects) const
{
    if (rects)
        rects->fill(QRect(), count());
    const int height = rowHeight();
    QVector<QVector<int>> rows; // tab indices per row
    QVector<int> widths(count(), 0);
    int x = 0;
    for (int i = 0; i < count(); ++i) {
        if (!m_tabs.at(i).visible)
            continue;
        // A tab wider than the whole area gets the whole row and is clipped.
        widths[i] = std::min(tabSize(i).width(), std::max(width, 1));
        if (rows.isEmpty() || (x > 0 && x + widths.at(i) > width)) {
            rows.append(QVector<int>());
            x = 0;
        }
        rows.last().append(i);
        x += widths.at(i);
    }
    if (!rects)
        return int(rows.size());

    for (int r = 0; r < rows.size(); ++r) {
        const QVector<int> &row = rows.at(r);
        // Once the tabs wrap, every row is stretched to the full width, as a
        // classic multi-line tab control does.
        int spare = 0;
        if (rows.size() > 1) {
            spare = width;
            for (int i : row)
                spare -= widths.at(i);
            spare = std::max(spare, 0);
        }
        x = 0;
        for (int k = 0; k < row.size(); ++k) {
            const int i = row.at(k);
            const int share = spare / int(row.size()) + (k < spare % int(row.size()) ? 1 : 0);
            (*rects)[i] = QRect(x, r * height, widths.at(i) + share, height);
            x += widths.at(i) + share;
        }
    }
    return int(rows.size());
}

void PageTabArea::relayout()
{
    QVector<QRect> rects;
    m_rows = flow(width(), &rects);
    for (int i = 0; i < count(); ++i)
        m_tabs[i].rect = rects.at(i);
    if (heightForWidth(width()) != height())
        updateGeometry();
    update();
}

void PageTabArea::setHovered(int index)
{
    if (index == m_hovered)
        return;
    const int old = m_hovered;
    m_hovered = index;
    update(tabRect(old));
    update(tabRect(index));
}

void PageTabArea::notifyAccessibleFocus()
{
    const int position = visiblePosition(m_current);
    if (position < 0 || !QAccessible::isActive())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(position);
    QAccessible::updateAccessibility(&focus);
}

bool PageTabArea::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = tabAt(help->pos());
        if (index >= 0 && !m_tabs.at(index).toolTip.isEmpty()) {
            QToolTip::showText(help->globalPos(), m_tabs.at(index).toolTip, this, tabRect(index));
            return true;
        }
    }
    return QWidget::event(event);
}

void PageTabArea::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const int height = std::max(rowHeight(), 1);
    int selected = -1;
    QVector<QStyleOptionTab> options;
    options.reserve(count());
    for (int i = 0; i < count(); ++i) {
        if (!m_tabs.at(i).visible)
            continue;
        QStyleOptionTab option;
        initTabOption(&option, i);
        option.row = option.rect.top() / height;
        // Neighbours only count when they share the row.
        const int previous = neighbourTab(i, -1);
        const int next = neighbourTab(i, 1);
        const bool first = previous < 0 || previous >= i || m_tabs.at(previous).rect.top() != option.rect.top();
        const bool last = next < 0 || next <= i || m_tabs.at(next).rect.top() != option.rect.top();
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        if (!first && previous == m_current)
            option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
        else if (!last && next == m_current)
            option.selectedPosition = QStyleOptionTab::NextIsSelected;
        if (i == m_hovered && i != m_current && isEnabled()) {
            // Hot tracking: the caption under the mouse takes the highlight colour.
            const QColor hot = option.palette.color(QPalette::Highlight);
            option.palette.setColor(QPalette::WindowText, hot);
            option.palette.setColor(QPalette::ButtonText, hot);
        }
        if (i == m_current)
            selected = int(options.size());
        options.append(option);
    }
    // The selected tab goes last so that it overlaps its neighbours.
    // Each tab is clipped to its own cell: some styles draw the selected tab
    // taller to join the page below, which would cover the next row.
    const auto draw = [&painter](const QStyleOptionTab &option) {
        painter.setClipRect(option.rect);
        painter.drawControl(QStyle::CE_TabBarTab, option);
    };
    for (int k = 0; k < options.size(); ++k) {
        if (k != selected)
            draw(options.at(k));
    }
    if (selected >= 0)
        draw(options.at(selected));
}

void PageTabArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void PageTabArea::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
        relayout();
        break;
    case QEvent::EnabledChange:
        m_hovered = -1;
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void PageTabArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index < 0) {
        event->ignore();
        return;
    }
    event->accept();
    requestTab(index);
}

void PageTabArea::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(isEnabled() ? tabAt(event->position().toPoint()) : -1);
    QWidget::mouseMoveEvent(event);
}

void PageTabArea::leaveEvent(QEvent *event)
{
    setHovered(-1);
    QWidget::leaveEvent(event);
}

void PageTabArea::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
        if (step != 0) {
            const int target = neighbourTab(m_current, step);
            if (target >= 0)
                requestTab(target);
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void PageTabArea::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update(tabRect(m_current));
    notifyAccessibleFocus();
}

void PageTabArea::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update(tabRect(m_current));
}

// ------------------------------------------------------------------ PageStrip

PageStrip::PageStrip(QWidget *parent)
    : QWidget(parent), m_tabs(new PageTabArea(this)), m_stack(new QStackedWidget(this))
{
    m_stack->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
    setFocusProxy(m_tabs);

    connect(m_tabs, &PageTabArea::tabRequested, this, &PageStrip::operatorSelect);

    // Window-wide page keys, as on a standard tab control. Shortcut overrides
    // are resolved before a focus widget sees Tab, so Ctrl+Tab arrives here
    // rather than moving the keyboard focus.
    auto *next = new QShortcut(this);
    next->setKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    next->setContext(Qt::WindowShortcut);
    connect(next, &QShortcut::activated, this, [this] { operatorStep(1); });

    auto *previous = new QShortcut(this);
    previous->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_Backtab),
                       QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    previous->setContext(Qt::WindowShortcut);
    connect(previous, &QShortcut::activated, this, [this] { operatorStep(-1); });
}

int PageStrip::addPage(QWidget *page, const QString &caption)
{
    if (!page)
        return -1;
    if (const int existing = indexOf(page); existing >= 0)
        return existing;
    const int index = m_stack->addWidget(page);
    m_tabs->addTab(caption);
    if (m_tabs->currentIndex() < 0)
        setCurrentIndex(index);
    return index;
}

int PageStrip::count() const
{
    return m_stack->count();
}

QWidget *PageStrip::page(int index) const
{
    return m_stack->widget(index);
}

int PageStrip::indexOf(QWidget *page) const
{
    return page ? m_stack->indexOf(page) : -1;
}

QString PageStrip::tabText(int index) const
{
    return m_tabs->tabText(index);
}

void PageStrip::setTabText(int index, const QString &caption)
{
    m_tabs->setTabText(index, caption);
}

QString PageStrip::tabToolTip(int index) const
{
    return m_tabs->tabToolTip(index);
}

void PageStrip::setTabToolTip(int index, const QString &tip)
{
    m_tabs->setTabToolTip(index, tip);
}

bool PageStrip::isTabVisible(int index) const
{
    return m_tabs->isTabVisible(index);
}

void PageStrip::setTabVisible(int index, bool visible)
{
    if (index < 0 || index >= count() || m_tabs->isTabVisible(index) == visible)
        return;
    m_tabs->setTabVisible(index, visible);
    if (visible || index != currentIndex())
        return;
    // The current tab went away: the following visible page takes over,
    // failing that the previous one.
    for (int i = index + 1; i < count(); ++i) {
        if (m_tabs->isTabVisible(i)) {
            setCurrentIndex(i);
            return;
        }
    }
    for (int i = index - 1; i >= 0; --i) {
        if (m_tabs->isTabVisible(i)) {
            setCurrentIndex(i);
            return;
        }
    }
}

int PageStrip::currentIndex() const
{
    return m_tabs->currentIndex();
}

QWidget *PageStrip::currentPage() const
{
    return m_stack->currentWidget();
}

void PageStrip::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == currentIndex())
        return;
    m_stack->setCurrentIndex(index);
    m_tabs->setCurrentIndex(index);
}

void PageStrip::setLeaveGuard(std::function<bool(int, int)> guard)
{
    m_guard = std::move(guard);
}

QWidget *PageStrip::tabArea() const
{
    return m_tabs;
}

QRect PageStrip::tabRect(int index) const
{
    return m_tabs->tabRect(index);
}

int PageStrip::tabAt(const QPoint &pos) const
{
    return m_tabs->tabAt(pos);
}

int PageStrip::rowCount() const
{
    return m_tabs->rowCount();
}

void PageStrip::operatorSelect(int index)
{
    if (!isEnabled() || index < 0 || index >= count() || index == currentIndex())
        return;
    if (m_guard && !m_guard(currentIndex(), index))
        return;
    setCurrentIndex(index);
    emit userChangedPage(index);
}

void PageStrip::operatorStep(int step)
{
    if (!isEnabled())
        return;
    const int target = m_tabs->neighbourTab(currentIndex(), step);
    if (target >= 0)
        operatorSelect(target);
}
