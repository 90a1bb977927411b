#include "operator.h"

#include "app/pagestrip.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

// A caption as shown: "&&" is a literal "&", a single "&" marks a mnemonic.
QString shownCaption(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&'))
                shown += text.at(++i);
            continue;
        }
        shown += text.at(i);
    }
    return shown;
}

} // namespace

Operator::Operator(Rig &rig) : m_rig(rig) {}

void Operator::showWindow()
{
    if (m_rig.window->isActiveWindow())
        return;
    m_rig.window->show();
    QApplication::setActiveWindow(m_rig.window.get());
    [&]() { QVERIFY(QTest::qWaitForWindowActive(m_rig.window.get())); }();
}

void Operator::openTab(PageId page)
{
    PageStrip *strip = m_rig.pageControl();
    const QRect tab = strip->tabRect(pageIndex(page));
    [&]() { QVERIFY2(!tab.isEmpty(), "the tab is not shown"); }();
    QTest::mouseClick(strip->tabArea(), Qt::LeftButton, {}, tab.center());
}

QWidget *Operator::currentPage() const
{
    return m_rig.pageControl()->currentPage();
}

QAbstractButton *Operator::button(const QString &caption) const
{
    const auto matches = [&caption](const QAbstractButton *b) {
        return b->isVisibleTo(b->window()) && shownCaption(b->text()) == caption;
    };
    if (QWidget *current = currentPage()) {
        for (QAbstractButton *b : current->findChildren<QAbstractButton *>()) {
            if (matches(b))
                return b;
        }
    }
    for (QAbstractButton *b : m_rig.window->findChildren<QAbstractButton *>()) {
        if (matches(b))
            return b;
    }
    return nullptr;
}

void Operator::press(const QString &caption)
{
    QAbstractButton *found = button(caption);
    [&]() { QVERIFY2(found, qPrintable(QStringLiteral("no button \"%1\"").arg(caption))); }();
    if (found)
        found->click();
}

void Operator::pick(int code, int group, int digit)
{
    auto *option =
        m_rig.window->findChild<QAbstractButton *>(QStringLiteral("RadioButton%1%2%3").arg(code).arg(group).arg(digit));
    [&]() { QVERIFY(option); }();
    if (option)
        option->click();
}

QLineEdit *Operator::type(const QString &objectName, const QString &text)
{
    showWindow();
    auto *edit = find<QLineEdit>(objectName);
    [&]() { QVERIFY2(edit, qPrintable(QStringLiteral("no field %1").arg(objectName))); }();
    if (!edit)
        return nullptr;
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
    return edit;
}

void Operator::typeAndLeave(const QString &objectName, const QString &text)
{
    if (type(objectName, text))
        leave();
}

void Operator::leave()
{
    if (QWidget *focused = QApplication::focusWidget())
        QTest::keyClick(focused, Qt::Key_Tab);
}
