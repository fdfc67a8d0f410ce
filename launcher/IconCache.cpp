#include "launcher/IconCache.h"

#include "core/FreedMemory.h"
#include "launcher/AppIcon.h"
#include "platform/IconLookup.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <memory>
#include <mutex>

namespace tessora {

namespace {

constexpr int keptIcons = 256;
constexpr int keptPixmapKiB = 6 * 1024;
// Requests beyond this many are dropped, oldest first: they were for rows long scrolled past.
constexpr size_t maxWanted = 64;

IconCache::Loader standardLoader() {
    // The theme name comes from the GUI library, so it is read here, on the main thread; the
    // folders are searched the first time an icon is needed, on the worker.
    struct Shared {
        QString theme;
        std::once_flag once;
        IconDirectories directories;
    };
    auto shared = std::make_shared<Shared>();
    shared->theme = QIcon::themeName();
    return [shared](const InstalledApp& app, int pixels) {
        std::call_once(shared->once,
                       [&] { shared->directories = IconDirectories::standard(shared->theme); });
        return loadAppIcon(app, shared->directories, pixels);
    };
}

QPixmap rounded(const QImage& image, int size, double radius, qreal dpr) {
    const int pixels = static_cast<int>(std::ceil(size * dpr));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, pixels, pixels), radius * dpr, radius * dpr);
    painter.setClipPath(clip);
    painter.drawImage(QRectF(0, 0, pixels, pixels), image);
    painter.end();
    // Clipping is not anti-aliased on every paint engine: soften the edge with the same shape.
    QPixmap soft(pixels, pixels);
    soft.fill(Qt::transparent);
    QPainter edge(&soft);
    edge.setRenderHint(QPainter::Antialiasing);
    edge.setPen(Qt::NoPen);
    edge.setBrush(QBrush(pixmap));
    edge.drawPath(clip);
    edge.end();
    soft.setDevicePixelRatio(dpr);
    return soft;
}

}  // namespace

IconCache::IconCache(QObject* parent) : IconCache(standardLoader(), parent) {}

IconCache::IconCache(Loader loader, QObject* parent)
    : IconCache(std::move(loader), qGuiApp->devicePixelRatio(), parent) {}

IconCache::IconCache(Loader loader, qreal devicePixelRatio, QObject* parent)
    : QObject(parent),
      m_loader(std::move(loader)),
      m_storedSize(iconPixels(largestDrawnSize, devicePixelRatio)),
      m_images(keptIcons),
      m_pixmaps(keptPixmapKiB) {
    m_worker.setMaxThreadCount(1);
    // The thread ends a second after its last load rather than Qt's default 30 s: with it go
    // its stack and what it kept for itself, such as the fonts an SVG icon's text was drawn
    // with (per-thread in Qt). It outlives the gaps between the loads of one burst, so a burst
    // does not start a thread per icon.
    m_worker.setExpiryTimeout(1000);
}

IconCache::~IconCache() {
    m_wanted.clear();
    m_worker.clear();
    // A running load posts its result to us: wait for it, so that it never posts to a dead
    // object (posted events are dropped with us).
    m_worker.waitForDone();
}

const QImage& IconCache::placeholder(const QString& name) {
    const QString initial = name.trimmed().left(1).toUpper();
    auto found = m_placeholders.find(initial);
    if (found == m_placeholders.end()) {
        found = m_placeholders.insert(initial, placeholderIcon(initial, m_storedSize));
    }
    return *found;
}

QPixmap IconCache::icon(const InstalledApp& app, int size, double radius, qreal devicePixelRatio) {
    const QImage* loaded = m_images.object(app.id);
    if (!loaded) {
        request(app);
    }
    const bool own = loaded && !loaded->isNull();
    const QString key =
        (own ? app.id : QStringLiteral("\n") + app.name.trimmed().left(1).toUpper()) +
        QStringLiteral("|%1|%2|%3").arg(size).arg(radius).arg(devicePixelRatio);
    if (const QPixmap* pixmap = m_pixmaps.object(key)) {
        return *pixmap;
    }
    const QImage& source = own ? *loaded : placeholder(app.name);
    const QPixmap pixmap = rounded(source, size, radius, devicePixelRatio);
    const qint64 kib = std::max<qint64>(1, qint64(pixmap.width()) * pixmap.height() * 4 / 1024);
    m_pixmaps.insert(key, new QPixmap(pixmap), kib);
    return pixmap;
}

void IconCache::request(const InstalledApp& app) {
    if (m_loadingId == app.id) {
        return;
    }
    if (m_wantedIds.contains(app.id)) {
        // Asked for again: it is on screen now, so it moves to the front.
        const auto at = std::find_if(m_wanted.begin(), m_wanted.end(),
                                     [&](const InstalledApp& a) { return a.id == app.id; });
        if (at != m_wanted.end()) {
            m_wanted.erase(at);
        }
    }
    m_wanted.push_front(app);
    m_wantedIds.insert(app.id);
    while (m_wanted.size() > maxWanted) {
        m_wantedIds.remove(m_wanted.back().id);
        m_wanted.pop_back();
    }
    startNext();
}

void IconCache::startNext() {
    if (!m_loadingId.isEmpty()) {
        return;
    }
    if (m_wanted.empty()) {
        return;
    }
    const InstalledApp app = m_wanted.front();
    m_wanted.pop_front();
    m_wantedIds.remove(app.id);
    m_loadingId = app.id;
    const int size = m_storedSize;
    m_worker.start([this, app, size] {
        QImage image = m_loader(app, size);
        if (!image.isNull() && (image.width() > size || image.height() > size)) {
            image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        QMetaObject::invokeMethod(
            this, [this, id = app.id, image] { finished(id, image); }, Qt::QueuedConnection);
    });
}

void IconCache::finished(const QString& id, const QImage& image) {
    m_images.insert(id, new QImage(image));
    m_loadingId.clear();
    emit iconLoaded(id);
    startNext();
    if (!isBusy()) {
        // Decoding left pages of the heap holding only images long gone: they go back now,
        // off the main thread, rather than staying with the resident program for good.
        m_worker.start([] { releaseFreedMemory(); });
    }
}

}  // namespace tessora
