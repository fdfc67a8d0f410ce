#pragma once

#include <QWidget>

class QLabel;

namespace tessora {

class SidebarToggle;

// The bar above a settings page: the page's title, and before it the "Show sidebar" button
// while the sidebar is away. Its leading padding leaves room for the sidebar's own button when
// the sidebar is visible (28) and moves clear of the window's corner when it is hidden (124).
// `sidebarShown` runs from 0 (hidden) to 1 (visible) as the sidebar slides, and everything in
// the header moves and fades with it.
class PreferencesHeader final : public QWidget {
    Q_OBJECT

public:
    explicit PreferencesHeader(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;
    QLabel* titleLabel() const { return m_title; }
    SidebarToggle* showControl() const { return m_show; }

    // `showControl`: whether the "Show sidebar" button is there, which it is while the sidebar is
    // away or on its way out.
    void setSidebarShown(qreal shown, bool showControl);
    // The space before the first item, as laid out now.
    qreal leadingPadding() const;

    static constexpr int kHeight = 58;
    static constexpr int kPaddingWithSidebar = 28;
    static constexpr int kPaddingWithoutSidebar = 124;
    static constexpr int kTrailingPadding = 28;
    static constexpr int kSpacing = 12;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    SidebarToggle* m_show;
    QLabel* m_title;
    qreal m_sidebarShown = 1.0;
    bool m_showControl = false;
};

}  // namespace tessora
