#pragma once

#include "core/InstalledApp.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>
#include <deque>
#include <functional>

namespace tessora {

// Application icons for the launcher, loaded off the main thread so that typing never waits
// for the disk. Asking for an icon that is not loaded yet gives the placeholder tile at once
// and queues the load; iconLoaded() says when to repaint. One load runs at a time and the most
// recently asked-for icons go first, so scrolling quickly through a long list only loads what
// is on screen. A bounded number of icons is kept.
class IconCache : public QObject {
    Q_OBJECT

public:
    // Runs on the worker thread: the application's icon at `pixels` × `pixels` (a larger one is
    // scaled down), or a null image when it has none.
    using Loader = std::function<QImage(const InstalledApp&, int pixels)>;

    // The largest size the launcher draws an icon at, in logical pixels.
    static constexpr int largestDrawnSize = 64;

    // Icons from the applications' desktop entries and the current icon theme, kept at the
    // largest drawn size for screens of up to `devicePixelRatio` (the application's by default).
    explicit IconCache(QObject* parent = nullptr);
    explicit IconCache(Loader loader, QObject* parent = nullptr);
    IconCache(Loader loader, qreal devicePixelRatio, QObject* parent = nullptr);
    ~IconCache() override;

    // The icon as a square of `size` logical pixels with corners rounded by `radius`, for a
    // screen of `devicePixelRatio`.
    QPixmap icon(const InstalledApp& app, int size, double radius, qreal devicePixelRatio);
    bool isLoaded(const QString& id) const { return m_images.contains(id); }
    // Whether loads are queued or running.
    bool isBusy() const { return !m_loadingId.isEmpty() || !m_wanted.empty(); }

signals:
    void iconLoaded(const QString& id);

private:
    void request(const InstalledApp& app);
    void startNext();
    void finished(const QString& id, const QImage& image);
    const QImage& placeholder(const QString& name);

    Loader m_loader;
    int m_storedSize;
    QCache<QString, QImage> m_images;       // by id; a null image: the app has no icon of its own
    QCache<QString, QPixmap> m_pixmaps;     // rounded, at a display size; cost in kilobytes
    QHash<QString, QImage> m_placeholders;  // by initial letter
    std::deque<InstalledApp> m_wanted;      // newest first
    QSet<QString> m_wantedIds;
    QString m_loadingId;
    QThreadPool m_worker;  // last: finishes its job before the rest goes
};

}  // namespace tessora
