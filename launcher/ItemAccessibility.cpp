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
    ItemAccessible(ItemScrollView* view, int index) : view_(view), index_(index) {}

    bool isValid() const override { return view_ && index_ < view_->itemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? view_->itemText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = view_->itemRectInViewport(index_).toAlignedRect();
        return QRect(view_->viewport()->mapToGlobal(local.topLeft()), local.size());
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
        s.selected = view_->itemIsSelected(index_);
        s.focused = view_->itemIsHighlighted(index_);
        const auto [first, last] = view_->visibleItems();
        s.offscreen = index_ < first || index_ >= last;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) {
            view_->activateItem(index_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return index_; }

private:
    QPointer<ItemScrollView> view_;
    int index_;
};

// The list itself; its children are the items in view.
class ItemListAccessible final : public QAccessibleWidget {
public:
    explicit ItemListAccessible(ItemScrollView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ItemListAccessible() override {
        for (const QAccessible::Id id : std::as_const(items_)) {
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
        for (auto it = items_.cbegin(); it != items_.cend(); ++it) {
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
        auto found = items_.find(index);
        if (found == items_.end()) {
            // Keep interfaces only around what is in view; a long scroll leaves none behind.
            constexpr qsizetype kept = 256;
            if (items_.size() >= kept) {
                for (const QAccessible::Id id : std::as_const(items_)) {
                    QAccessible::deleteAccessibleInterface(id);
                }
                items_.clear();
            }
            const QAccessible::Id id = QAccessible::registerAccessibleInterface(new ItemAccessible(view(), index));
            found = items_.insert(index, id);
        }
        return QAccessible::accessibleInterface(*found);
    }

    mutable QHash<int, QAccessible::Id> items_;
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
