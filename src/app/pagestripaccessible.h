#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class PageTabArea;

// Registers the accessibility factory for PageTabArea; safe to call repeatedly.
void installPageStripAccessibility();

// One page tab, as screen readers and accessibility-driven tests see it. It is
// not a QObject: the tab list creates it, keeps it by tab index and deletes it.
class PageTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PageTabAccessible(PageTabArea *area, int index);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    QString localizedActionName(const QString &name) const override;
    QString localizedActionDescription(const QString &name) const override;
    void doAction(const QString &name) override;
    QStringList keyBindingsForAction(const QString &name) const override;

    int tabIndex() const { return m_index; }
    const PageTabArea *area() const { return m_area; }

    static QString selectAction();

private:
    QPointer<PageTabArea> m_area;
    int m_index = -1;
};

// The tab area as a page tab list whose children are its visible tabs.
class PageTabListAccessible : public QAccessibleWidget
{
public:
    explicit PageTabListAccessible(QWidget *widget);
    ~PageTabListAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

private:
    PageTabArea *area() const;

    mutable QHash<int, QAccessible::Id> m_children; // tab index -> registered interface
};
