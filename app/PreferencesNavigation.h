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

    Section section() const { return m_section; }
    bool sidebarVisible() const { return m_sidebarVisible; }

    void setSection(Section section) {
        if (m_section != section) {
            m_section = section;
            emit sectionChanged();
        }
    }
    void setSidebarVisible(bool visible) {
        if (m_sidebarVisible != visible) {
            m_sidebarVisible = visible;
            emit sidebarVisibleChanged();
        }
    }

signals:
    void sectionChanged();
    void sidebarVisibleChanged();

private:
    Section m_section = Section::Settings;
    bool m_sidebarVisible = true;
};

}  // namespace tessora
