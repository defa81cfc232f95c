// SPDX-License-Identifier: Apache-2.0
#include "TabControlAccessible.h"

#include "CTabControl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace vellmark {
namespace {

// One tab: it has no widget of its own, so it is described through its tab control.
class PageTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabAccessible(CTabControl* tabs, int index) : m_tabs(tabs), m_index(index) {}

    bool isValid() const override { return m_tabs && m_index < m_tabs->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_tabs ? m_tabs->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_tabs.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? m_tabs->tabText(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.selectable = true;
        s.focusable = m_tabs->focusPolicy() != Qt::NoFocus;
        s.selected = m_tabs->currentIndex() == m_index;
        s.focused = s.selected && m_tabs->hasFocus();
        s.invisible = !m_tabs->isVisible();
        s.disabled = !m_tabs->isEnabled();
        return s;
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_tabs->tabRect(m_index);
        return QRect(m_tabs->mapToGlobal(r.topLeft()), r.size());
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                 : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid() && m_tabs->isEnabled())
            m_tabs->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CTabControl> m_tabs;
    int m_index;
};

class TabControlAccessible : public QAccessibleWidget {
public:
    explicit TabControlAccessible(CTabControl* tabs)
        : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~TabControlAccessible() override {
        for (QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Tabs()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_children.value(index))
            return QAccessible::accessibleInterface(id);
        auto* tab = new PageTabAccessible(Tabs(), index);
        m_children.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_children.cbegin(); it != m_children.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(Tabs()->tabAt(Tabs()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return Tabs()->hasFocus() ? child(Tabs()->currentIndex()) : nullptr;
    }

private:
    CTabControl* Tabs() const { return static_cast<CTabControl*>(widget()); }
    mutable QHash<int, QAccessible::Id> m_children;
};

QAccessibleInterface* TabControlFactory(const QString& key, QObject* object) {
    if (key == QLatin1StringView(CTabControl::staticMetaObject.className()))
        if (auto* tabs = qobject_cast<CTabControl*>(object))
            return new TabControlAccessible(tabs);
    return nullptr;
}

} // namespace

void InstallTabControlAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(&TabControlFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void NotifyTabSelected(CTabControl& tabs, int index) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent selection(&tabs, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (tabs.hasFocus()) {
        QAccessibleEvent focus(&tabs, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace vellmark
