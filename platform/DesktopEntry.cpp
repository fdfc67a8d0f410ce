#include "platform/DesktopEntry.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessora {

namespace {

constexpr const char* kGroup = "Desktop Entry";

struct KeyFileUnref {
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileUnref>;

// Owns the error a GLib call may set.
class GlibError {
public:
    GlibError() = default;
    GlibError(const GlibError&) = delete;
    GlibError& operator=(const GlibError&) = delete;
    ~GlibError() { clear(); }

    GError** out() {
        clear();
        return &m_error;
    }
    bool isSet() const { return m_error != nullptr; }
    QString message() const { return m_error ? QString::fromUtf8(m_error->message) : QString(); }

private:
    void clear() {
        if (m_error) {
            g_error_free(m_error);
            m_error = nullptr;
        }
    }
    GError* m_error = nullptr;
};

// Takes ownership of a string GLib allocated.
std::optional<QString> adopt(gchar* value) {
    if (!value) {
        return std::nullopt;
    }
    QString result = QString::fromUtf8(value);
    g_free(value);
    return result;
}

// GKeyFile refuses values that are not valid UTF-8 (G_KEY_FILE_ERROR_UNKNOWN_ENCODING), so
// every value read here is UTF-8 or absent.
std::optional<QString> stringValue(GKeyFile* file, const char* key) {
    return adopt(g_key_file_get_string(file, kGroup, key, nullptr));
}

std::optional<QString> localizedValue(GKeyFile* file, const char* key) {
    // A null locale means the languages of the environment; a translation that is not valid
    // UTF-8 is passed over in favour of the next language or the plain value.
    return adopt(g_key_file_get_locale_string(file, kGroup, key, nullptr, nullptr));
}

bool booleanValue(GKeyFile* file, const char* key) {
    return g_key_file_get_boolean(file, kGroup, key, nullptr) != FALSE;
}

QStringList listValue(GKeyFile* file, const char* key) {
    gsize length = 0;
    gchar** values = g_key_file_get_string_list(file, kGroup, key, &length, nullptr);
    QStringList result;
    if (!values) {
        return result;
    }
    result.reserve(qsizetype(length));
    for (gsize i = 0; i < length; ++i) {
        if (values[i][0] != '\0') {
            result.append(QString::fromUtf8(values[i]));
        }
    }
    g_strfreev(values);
    return result;
}

void report(QString* problem, const QString& why) {
    if (problem) {
        *problem = why;
    }
}

// Closes a file descriptor when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(QByteArrayView data, QString* problem) {
    if (data.size() > kMaxDesktopEntryBytes) {
        report(problem, QStringLiteral("larger than %1 bytes").arg(kMaxDesktopEntryBytes));
        return std::nullopt;
    }
    KeyFilePtr file(g_key_file_new());
    GlibError error;
    // Without G_KEY_FILE_KEEP_TRANSLATIONS GKeyFile keeps only the translations for the
    // current languages, which is all we read and much cheaper.
    if (!g_key_file_load_from_data(file.get(), data.data(), gsize(data.size()), G_KEY_FILE_NONE,
                                   error.out())) {
        report(problem, QStringLiteral("not a key file: %1").arg(error.message()));
        return std::nullopt;
    }
    if (!g_key_file_has_group(file.get(), kGroup)) {
        report(problem, QStringLiteral("no [Desktop Entry] group"));
        return std::nullopt;
    }

    GKeyFile* f = file.get();
    DesktopEntry entry;
    entry.type = stringValue(f, "Type").value_or(QString());
    entry.name = localizedValue(f, "Name");
    entry.unlocalizedName = stringValue(f, "Name");
    entry.noDisplay = booleanValue(f, "NoDisplay");
    entry.hidden = booleanValue(f, "Hidden");
    entry.dbusActivatable = booleanValue(f, "DBusActivatable");
    entry.terminal = booleanValue(f, "Terminal");
    entry.onlyShowIn = listValue(f, "OnlyShowIn");
    entry.notShowIn = listValue(f, "NotShowIn");
    entry.tryExec = stringValue(f, "TryExec").value_or(QString());
    const std::optional<QString> exec = stringValue(f, "Exec");
    entry.exec = exec.value_or(QString());
    entry.execIsNotUtf8 = !exec && g_key_file_has_key(f, kGroup, "Exec", nullptr);
    entry.workingFolder = stringValue(f, "Path").value_or(QString());
    entry.icon = localizedValue(f, "Icon").value_or(QString());
    entry.startupWmClass = stringValue(f, "StartupWMClass").value_or(QString());
    return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const QString& path, QString* problem) {
    const QByteArray encoded = QFile::encodeName(path);
    // O_NONBLOCK: a FIFO named like an entry must not stall the reader; it is refused below.
    FileDescriptor fd(::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        report(problem, QStringLiteral("cannot open: %1").arg(errnoText(errno)));
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        report(problem, QStringLiteral("cannot stat: %1").arg(errnoText(errno)));
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        report(problem, QStringLiteral("not a regular file"));
        return std::nullopt;
    }
    if (info.st_size > kMaxDesktopEntryBytes) {
        report(problem, QStringLiteral("larger than %1 bytes").arg(kMaxDesktopEntryBytes));
        return std::nullopt;
    }

    // Read one byte past the limit so that a file that grew since fstat is still refused.
    QByteArray data(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled <= kMaxDesktopEntryBytes) {
        if (filled == data.size()) {
            data.resize(qMin(data.size() * 2, kMaxDesktopEntryBytes + 1));
        }
        const ssize_t count = ::read(fd.get(), data.data() + filled, size_t(data.size() - filled));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            report(problem, QStringLiteral("cannot read: %1").arg(errnoText(errno)));
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        filled += count;
    }
    data.truncate(filled);
    return parseDesktopEntry(data, problem);
}

}  // namespace tessora
