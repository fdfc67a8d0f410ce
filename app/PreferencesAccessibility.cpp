#include "app/PreferencesAccessibility.h"

#include "app/ShortcutRow.h"

#include <QAccessibleWidget>

#include <mutex>

namespace tessora {

namespace {

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
    if (qobject_cast<ShortcutRow*>(object) != nullptr) {
        return new ShortcutRowAccessible(widget);
    }
    return nullptr;
}

}  // namespace

void installPreferencesAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(preferencesAccessible); });
}

}  // namespace tessora
