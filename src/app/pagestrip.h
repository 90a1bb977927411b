#pragma once

#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

class QShortcut;
class QStackedWidget;
class QStyleOptionTab;

// Draws the page tabs of a PageStrip, wrapped into as many rows as the width
// needs, and turns mouse, arrow-key and accessibility input into requests for
// a tab. It never changes the current tab by itself: the owning PageStrip
// decides whether a request is honoured.
class PageTabArea : public QWidget
{
    Q_OBJECT
public:
    explicit PageTabArea(QWidget *parent = nullptr);

    int addTab(const QString &text);
    int count() const;

    QString tabText(int index) const;
    void setTabText(int index, const QString &text);
    QString tabToolTip(int index) const;
    void setTabToolTip(int index, const QString &tip);
    bool isTabVisible(int index) const;
    void setTabVisible(int index, bool visible);

    int currentIndex() const;
    void setCurrentIndex(int index);

    // Geometry, in this widget's coordinates, for its current width.
    QRect tabRect(int index) const; // empty for a hidden tab
    int tabAt(const QPoint &pos) const;
    int rowCount() const;
    int hoveredIndex() const;

    // The visible tabs in index order, for the accessibility interface.
    int visibleCount() const;
    int visibleTab(int position) const;
    int visiblePosition(int index) const;

    // The visible tab after (step > 0) or before (step < 0) `from`, wrapping
    // around at the ends; -1 when no other visible tab exists. `from` may be a
    // hidden tab.
    int neighbourTab(int from, int step) const;

    // Asks the owner for a tab on behalf of the operator.
    void requestTab(int index);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void tabRequested(int index);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Tab
    {
        QString text;
        QString toolTip;
        bool visible = true;
        QRect rect;
    };

    void initTabOption(QStyleOptionTab *option, int index) const;
    QSize tabSize(int index) const;
    // Places the visible tabs in rows no wider than `width`; returns the row count.
    int flow(int width, QVector<QRect> *rects) const;
    int rowHeight() const;
    void relayout();
    void setHovered(int index);
    void notifyAccessibleFocus();

    QVector<Tab> m_tabs;
    int m_current = -1;
    int m_hovered = -1;
    int m_rows = 0;
};

// A page control whose tabs wrap into several rows when they do not fit in one.
// Tabs keep their index for life; hidden tabs take no place. Changes the
// operator makes (click, keyboard, accessibility action) pass the leave guard
// and are announced with userChangedPage(); changes made by the program through
// setCurrentIndex() or setTabVisible() are neither guarded nor announced.
class PageStrip : public QWidget
{
    Q_OBJECT
public:
    explicit PageStrip(QWidget *parent = nullptr);

    int addPage(QWidget *page, const QString &caption);
    int count() const;
    QWidget *page(int index) const;
    int indexOf(QWidget *page) const;

    QString tabText(int index) const;
    void setTabText(int index, const QString &caption);
    QString tabToolTip(int index) const;
    void setTabToolTip(int index, const QString &tip);
    bool isTabVisible(int index) const;
    void setTabVisible(int index, bool visible);

    int currentIndex() const;
    QWidget *currentPage() const;
    void setCurrentIndex(int index);

    // Consulted before every change the operator makes; returning false keeps
    // the current page.
    void setLeaveGuard(std::function<bool(int from, int to)> guard);

    QWidget *tabArea() const;
    QRect tabRect(int index) const;     // in tabArea() coordinates
    int tabAt(const QPoint &pos) const; // pos in tabArea() coordinates
    int rowCount() const;

signals:
    void userChangedPage(int index);

private:
    void operatorSelect(int index);
    void operatorStep(int step);

    PageTabArea *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::function<bool(int, int)> m_guard;
};
