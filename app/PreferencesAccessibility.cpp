#include "app/PreferencesAccessibility.h"

#include "app/AttentionBadge.h"
#include "app/ShortcutRow.h"
#include "app/SidebarEntry.h"

#include <QAccessibleWidget>

#include <mutex>

namespace tessora {

namespace {

class SidebarEntryAccessible final : public QAccessibleWidget {
public:
    explicit SidebarEntryAccessible(SidebarEntry* entry)
        : QAccessibleWidget(entry, QAccessible::Button), m_entry(entry) {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && m_entry->accessibleName().isEmpty()) {
            return m_entry->text();
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = m_entry->isSelected();
        state.pressed = m_entry->isDown();
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            m_entry->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    SidebarEntry* m_entry;
};

// One element for the whole row: what it does and its keys, read together.
class ShortcutRowAccessible final : public QAccessibleWidget {
public:
    explicit ShortcutRowAccessible(QWidget* row)
        : QAccessibleWidget(row, QAccessible::StaticText) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* preferencesAccessible(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    // Asked once per class of the object's hierarchy, most derived first: answer only then.
    if (widget == nullptr || className != QLatin1String(object->metaObject()->className())) {
        return nullptr;
    }
    if (auto* entry = qobject_cast<SidebarEntry*>(object)) {
        return new SidebarEntryAccessible(entry);
    }
    if (qobject_cast<ShortcutRow*>(object) != nullptr) {
        return new ShortcutRowAccessible(widget);
    }
    if (qobject_cast<AttentionBadge*>(object) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    }
    return nullptr;
}

}  // namespace

void installPreferencesAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(preferencesAccessible); });
}

}  // namespace tessora
