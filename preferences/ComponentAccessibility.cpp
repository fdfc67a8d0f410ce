#include "preferences/ComponentAccessibility.h"

#include "preferences/BrandMarks.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/OrrerySettingsGroup.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"

#include <QAbstractButton>
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

// A switch as a check box whose actions act as a click does: the views act on clicked(), which
// a bare toggle() (Qt's own action for check boxes) never emits, so a screen reader's toggle
// would move the knob and change nothing.
class SwitchAccessible : public QAccessibleWidget {
public:
    explicit SwitchAccessible(OrrerySwitch* widget)
        : QAccessibleWidget(widget, QAccessible::CheckBox) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return button()->isEnabled() ? QStringList{toggleAction(), pressAction()} : QStringList();
    }
    void doAction(const QString& action) override {
        if (button()->isEnabled() && (action == toggleAction() || action == pressAction())) {
            button()->click();
        }
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* componentAccessible(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    // Asked once per class of the object's hierarchy, most derived first: answer only then.
    if (widget == nullptr || className != QLatin1String(object->metaObject()->className())) {
        return nullptr;
    }
    if (auto* control = qobject_cast<OrrerySwitch*>(object)) {
        return new SwitchAccessible(control);
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
