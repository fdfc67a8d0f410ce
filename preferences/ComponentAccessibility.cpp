#include "preferences/ComponentAccessibility.h"

#include "preferences/BrandMarks.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"

#include <QAccessibleWidget>

#include <mutex>

namespace tessora {

namespace {

// Drawings that carry no information: marked invisible so that screen readers pass over them.
class DecorativeAccessible : public QAccessibleWidget {
public:
    explicit DecorativeAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Graphic) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* componentAccessible(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    // Asked once per class of the object's hierarchy, most derived first: answer only then.
    if (widget == nullptr || className != QLatin1String(object->metaObject()->className())) {
        return nullptr;
    }
    if (qobject_cast<OrreryKeycap*>(object) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    }
    if (qobject_cast<OrrerySettingsRow*>(object) != nullptr ||
        qobject_cast<OrrerySettingsGroup*>(object) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    }
    if (qobject_cast<CasementLogo*>(object) != nullptr ||
        qobject_cast<CasementSymbol*>(object) != nullptr) {
        return new DecorativeAccessible(widget);
    }
    return nullptr;
}

}  // namespace

void installComponentAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(componentAccessible); });
}

bool showsKeyboardFocus(const QWidget& widget) {
    return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

}  // namespace tessora
