#include "launcher/ItemAccessibility.h"

#include "launcher/ItemScrollView.h"
#include "launcher/TabBar.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>
#include <mutex>

namespace tessora {

namespace {

// One item of a painted list, addressed by its index in the list.
class ItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ItemAccessible(ItemScrollView* view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override { return m_view && m_index < m_view->itemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_view ? QAccessible::queryAccessibleInterface(m_view) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? m_view->itemText(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = m_view->itemRectInViewport(m_index).toAlignedRect();
        return QRect(m_view->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = m_view->itemIsSelected(m_index);
        s.focused = m_view->itemIsHighlighted(m_index);
        const auto [first, last] = m_view->visibleItems();
        s.offscreen = m_index < first || m_index >= last;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) {
            m_view->activateItem(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return m_index; }

private:
    QPointer<ItemScrollView> m_view;
    int m_index;
};

// The list itself; its children are the items in view.
class ItemListAccessible final : public QAccessibleWidget {
public:
    explicit ItemListAccessible(ItemScrollView* view)
        : QAccessibleWidget(view, QAccessible::List) {}
    ~ItemListAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_items)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override {
        const auto [first, last] = view()->visibleItems();
        return last - first;
    }
    QAccessibleInterface* child(int index) const override {
        const auto [first, last] = view()->visibleItems();
        return index >= 0 && first + index < last ? item(first + index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child) {
                const auto [first, last] = view()->visibleItems();
                return it.key() >= first && it.key() < last ? it.key() - first : -1;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPointF local = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const auto [first, last] = view()->visibleItems();
        for (int i = first; i < last; ++i) {
            if (view()->itemRectInViewport(i).contains(local)) {
                return item(i);
            }
        }
        return nullptr;
    }

private:
    ItemScrollView* view() const { return static_cast<ItemScrollView*>(widget()); }

    QAccessibleInterface* item(int index) const {
        auto found = m_items.find(index);
        if (found == m_items.end()) {
            // Keep interfaces only around what is in view; a long scroll leaves none behind.
            constexpr qsizetype kept = 256;
            if (m_items.size() >= kept) {
                for (const QAccessible::Id id : std::as_const(m_items)) {
                    QAccessible::deleteAccessibleInterface(id);
                }
                m_items.clear();
            }
            const QAccessible::Id id =
                QAccessible::registerAccessibleInterface(new ItemAccessible(view(), index));
            found = m_items.insert(index, id);
        }
        return QAccessible::accessibleInterface(*found);
    }

    mutable QHash<int, QAccessible::Id> m_items;
};

// A tab pill: a page tab, selected while its tab is current.
class PillAccessible final : public QAccessibleWidget {
public:
    explicit PillAccessible(TabPill* pill) : QAccessibleWidget(pill, QAccessible::PageTab) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? pill()->text() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = pill()->isCurrent();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            pill()->click();
        }
    }

private:
    TabPill* pill() const { return static_cast<TabPill*>(widget()); }
};

QAccessibleInterface* launcherAccessibleFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ItemScrollView*>(object)) {
        return new ItemListAccessible(view);
    }
    if (auto* pill = qobject_cast<TabPill*>(object)) {
        return new PillAccessible(pill);
    }
    return nullptr;
}

}  // namespace

void installLauncherAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(launcherAccessibleFactory); });
}

}  // namespace tessora
