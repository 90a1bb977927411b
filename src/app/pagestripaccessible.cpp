#include "app/pagestripaccessible.h"

#include "app/pagestrip.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace {

QAccessibleInterface *pageStripFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("PageTabArea") && object && object->isWidgetType())
        return new PageTabListAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installPageStripAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(pageStripFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

// ------------------------------------------------------------ PageTabAccessible

PageTabAccessible::PageTabAccessible(PageTabArea *area, int index) : m_area(area), m_index(index) {}

QString PageTabAccessible::selectAction()
{
    return QStringLiteral("Select");
}

bool PageTabAccessible::isValid() const
{
    return m_area && m_area->isTabVisible(m_index);
}

QObject *PageTabAccessible::object() const
{
    return nullptr;
}

QWindow *PageTabAccessible::window() const
{
    return m_area ? m_area->window()->windowHandle() : nullptr;
}

QAccessibleInterface *PageTabAccessible::parent() const
{
    return m_area ? QAccessible::queryAccessibleInterface(m_area.data()) : nullptr;
}

QAccessibleInterface *PageTabAccessible::child(int) const
{
    return nullptr;
}

int PageTabAccessible::childCount() const
{
    return 0;
}

int PageTabAccessible::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

QAccessibleInterface *PageTabAccessible::childAt(int, int) const
{
    return nullptr;
}

QString PageTabAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    switch (type) {
    case QAccessible::Name:
        return m_area->tabText(m_index);
    case QAccessible::Description:
        return m_area->tabToolTip(m_index);
    default:
        return {};
    }
}

void PageTabAccessible::setText(QAccessible::Text, const QString &) {}

QRect PageTabAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = m_area->tabRect(m_index);
    return QRect(m_area->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role PageTabAccessible::role() const
{
    return QAccessible::PageTab;
}

QAccessible::State PageTabAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    state.selectable = true;
    const bool current = m_area->currentIndex() == m_index;
    state.selected = current;
    state.focused = current && m_area->hasFocus();
    state.hotTracked = m_area->hoveredIndex() == m_index;
    state.disabled = !m_area->isEnabled();
    state.invisible = !m_area->isVisible();
    state.offscreen = !m_area->isVisible();
    return state;
}

void *PageTabAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList PageTabAccessible::actionNames() const
{
    if (!isValid() || !m_area->isEnabled())
        return {};
    return {pressAction(), selectAction()};
}

QString PageTabAccessible::localizedActionName(const QString &name) const
{
    if (name == selectAction())
        return QCoreApplication::translate("PageTabAccessible", "Select");
    return QAccessibleActionInterface::localizedActionName(name);
}

QString PageTabAccessible::localizedActionDescription(const QString &name) const
{
    if (name == pressAction() || name == selectAction())
        return QCoreApplication::translate("PageTabAccessible", "Shows this page");
    return QAccessibleActionInterface::localizedActionDescription(name);
}

void PageTabAccessible::doAction(const QString &name)
{
    if (isValid() && (name == pressAction() || name == selectAction()))
        m_area->requestTab(m_index);
}

QStringList PageTabAccessible::keyBindingsForAction(const QString &) const
{
    return {};
}

// -------------------------------------------------------- PageTabListAccessible

PageTabListAccessible::PageTabListAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::PageTabList) {}

PageTabListAccessible::~PageTabListAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

PageTabArea *PageTabListAccessible::area() const
{
    return static_cast<PageTabArea *>(widget());
}

int PageTabListAccessible::childCount() const
{
    return area()->visibleCount();
}

QAccessibleInterface *PageTabListAccessible::child(int index) const
{
    const int tab = area()->visibleTab(index);
    if (tab < 0)
        return nullptr;
    if (const auto found = m_children.constFind(tab); found != m_children.cend())
        return QAccessible::accessibleInterface(found.value());
    auto *iface = new PageTabAccessible(area(), tab);
    m_children.insert(tab, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

int PageTabListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *tab = dynamic_cast<const PageTabAccessible *>(child);
    if (!tab || tab->area() != area())
        return -1;
    return area()->visiblePosition(tab->tabIndex());
}

QAccessibleInterface *PageTabListAccessible::childAt(int x, int y) const
{
    const int tab = area()->tabAt(area()->mapFromGlobal(QPoint(x, y)));
    return tab >= 0 ? child(area()->visiblePosition(tab)) : nullptr;
}
