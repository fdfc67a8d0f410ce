#pragma once

#include <QObject>

namespace tessora {

// Which page the settings window shows, and whether its sidebar is visible. Writes of an equal
// value notify nothing.
class PreferencesNavigation final : public QObject {
    Q_OBJECT
    Q_PROPERTY(Section section READ section WRITE setSection NOTIFY sectionChanged)
    Q_PROPERTY(bool sidebarVisible READ sidebarVisible WRITE setSidebarVisible NOTIFY
                   sidebarVisibleChanged)

public:
    enum class Section { Settings = 0, Shortcuts = 1 };
    Q_ENUM(Section)

    using QObject::QObject;

    Section section() const { return section_; }
    bool sidebarVisible() const { return sidebarVisible_; }

    void setSection(Section section) {
        if (section_ != section) {
            section_ = section;
            emit sectionChanged();
        }
    }
    void setSidebarVisible(bool visible) {
        if (sidebarVisible_ != visible) {
            sidebarVisible_ = visible;
            emit sidebarVisibleChanged();
        }
    }

signals:
    void sectionChanged();
    void sidebarVisibleChanged();

private:
    Section section_ = Section::Settings;
    bool sidebarVisible_ = true;
};

}  // namespace tessora
