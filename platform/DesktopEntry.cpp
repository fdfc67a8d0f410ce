#include "platform/DesktopEntry.h"

#include "platform/MessageLanguages.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessora {

namespace {

// A desktop entry is a key file (the XDG Desktop Entry format): lines that are blank, comments
// ("#"), group headers ("[Group]") or "Key=value" / "Key[locale]=value". The reader below
// looks only at the keys it uses, in the [Desktop Entry] group, without copying the rest.

enum class Key {
    Type,
    Name,
    NoDisplay,
    Hidden,
    DBusActivatable,
    Terminal,
    OnlyShowIn,
    NotShowIn,
    TryExec,
    Exec,
    Path,
    Icon,
    StartupWMClass,
    GnomeAutostartEnabled,
    Count
};

constexpr std::array<std::pair<const char*, Key>, size_t(Key::Count)> kKeys{{
    {"Type", Key::Type},
    {"Name", Key::Name},
    {"NoDisplay", Key::NoDisplay},
    {"Hidden", Key::Hidden},
    {"DBusActivatable", Key::DBusActivatable},
    {"Terminal", Key::Terminal},
    {"OnlyShowIn", Key::OnlyShowIn},
    {"NotShowIn", Key::NotShowIn},
    {"TryExec", Key::TryExec},
    {"Exec", Key::Exec},
    {"Path", Key::Path},
    {"Icon", Key::Icon},
    {"StartupWMClass", Key::StartupWMClass},
    {"X-GNOME-Autostart-enabled", Key::GnomeAutostartEnabled},
}};

std::optional<Key> keyNamed(QByteArrayView name) {
    for (const auto& [text, key] : kKeys) {
        if (name == QByteArrayView(text)) {
            return key;
        }
    }
    return std::nullopt;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedStart(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\r' || text[i] == '\n' ||
                               text[i] == '\f' || text[i] == '\v')) {
        ++i;
    }
    return text.sliced(i);
}

QByteArrayView trimmedEnd(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

// "[Group]", blanks allowed after the bracket; the name without brackets, or absent.
std::optional<QByteArrayView> groupHeader(QByteArrayView line) {
    line = trimmedEnd(line);
    if (!line.startsWith('[') || !line.endsWith(']') || line.size() < 2) {
        return std::nullopt;
    }
    const QByteArrayView name = line.sliced(1, line.size() - 2);
    if (name.contains('[') || name.contains(']')) {
        return std::nullopt;
    }
    return name;
}

// Only these keys are read in the user's language; translations of the others are passed over.
bool isLocalized(Key key) {
    return key == Key::Name || key == Key::Icon;
}

// The values of one key: the plain one and, for a localized key, those for the user's
// languages, by rank.
struct Values {
    std::optional<QByteArrayView> plain;
    QList<std::optional<QByteArrayView>> translations;
};

// Undoes the escapes of a value: \s \n \t \r \\ and, in a list's item, \;. Any other
// backslash is kept as written.
QByteArray unescaped(QByteArrayView value, bool listItem) {
    QByteArray result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result.append(value[i]);
            continue;
        }
        switch (const char escaped = value[++i]) {
            case 's':
                result.append(' ');
                break;
            case 'n':
                result.append('\n');
                break;
            case 't':
                result.append('\t');
                break;
            case 'r':
                result.append('\r');
                break;
            case '\\':
                result.append('\\');
                break;
            default:
                if (!(listItem && escaped == ';')) {
                    result.append('\\');
                }
                result.append(escaped);
                break;
        }
    }
    return result;
}

// A value as text; absent when it is not valid UTF-8 (a NUL byte counts as invalid too).
std::optional<QString> text(QByteArrayView value, bool listItem = false) {
    if (!value.isValidUtf8() || value.contains('\0')) {
        return std::nullopt;
    }
    if (!value.contains('\\')) {
        return QString::fromUtf8(value);
    }
    return QString::fromUtf8(unescaped(value, listItem));
}

std::optional<QString> stringValue(const Values& values) {
    return values.plain ? text(*values.plain) : std::nullopt;
}

// The translation for the most preferred language that is valid UTF-8, else the plain value.
std::optional<QString> localizedValue(const Values& values) {
    for (const std::optional<QByteArrayView>& translation : values.translations) {
        if (translation) {
            if (std::optional<QString> value = text(*translation)) {
                return value;
            }
        }
    }
    return stringValue(values);
}

bool booleanValue(const Values& values) {
    const QByteArrayView value = trimmedEnd(values.plain.value_or(QByteArrayView()));
    return value == "true" || value == "1";
}

// Items separated by ";" ("\;" within an item); empty items are dropped, and the whole list
// when it is not valid UTF-8.
QStringList listValue(const Values& values) {
    const QByteArrayView value = values.plain.value_or(QByteArrayView());
    QStringList result;
    qsizetype itemStart = 0;
    for (qsizetype i = 0;; ++i) {
        if (i < value.size() && value[i] == '\\') {
            ++i;  // the escaped character is part of the item, even a ";"
            continue;
        }
        const bool ends = i >= value.size();
        if (ends || value[i] == ';') {
            const QByteArrayView item = value.sliced(itemStart, qMin(i, value.size()) - itemStart);
            std::optional<QString> itemText = text(item, true);
            if (!itemText) {
                return {};
            }
            if (!itemText->isEmpty()) {
                result.append(std::move(*itemText));
            }
            if (ends) {
                break;
            }
            itemStart = i + 1;
        }
    }
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
    const QList<QByteArray> languages = messageLanguages();
    std::array<Values, size_t(Key::Count)> values;
    for (size_t key = 0; key < values.size(); ++key) {
        if (isLocalized(Key(key))) {
            values[key].translations.resize(languages.size());
        }
    }

    bool inGroup = false;
    bool sawGroup = false;
    bool sawEntryGroup = false;
    qsizetype lineNumber = 0;
    for (qsizetype start = 0; start < data.size();) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0) {
            end = data.size();
        }
        QByteArrayView line = data.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        line = trimmedStart(line);
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (const std::optional<QByteArrayView> group = groupHeader(line)) {
            // A group may be written in several parts; they are one group.
            inGroup = *group == "Desktop Entry";
            sawGroup = true;
            sawEntryGroup = sawEntryGroup || inGroup;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const QByteArrayView name = trimmedEnd(equals < 0 ? line : line.first(equals));
        if (equals < 0 || name.isEmpty()) {
            report(problem, QStringLiteral("not a key file: line %1 is not a group, key or "
                                           "comment")
                                .arg(lineNumber));
            return std::nullopt;
        }
        if (!sawGroup) {
            report(
                problem,
                QStringLiteral("not a key file: line %1 comes before any group").arg(lineNumber));
            return std::nullopt;
        }
        if (!inGroup) {
            continue;
        }
        // Blanks after "=" are not part of the value.
        QByteArrayView value = line.sliced(equals + 1);
        while (!value.isEmpty() && isBlank(value.front())) {
            value = value.sliced(1);
        }
        const qsizetype bracket = name.indexOf('[');
        const std::optional<Key> key = keyNamed(bracket < 0 ? name : name.first(bracket));
        if (!key) {
            continue;
        }
        Values& slot = values[size_t(*key)];
        if (bracket < 0) {
            slot.plain = value;  // a key given twice: the later one counts
        } else if (isLocalized(*key) && name.endsWith(']')) {
            const QByteArrayView locale = name.sliced(bracket + 1, name.size() - bracket - 2);
            const qsizetype rank = languages.indexOf(locale);
            if (rank >= 0) {
                slot.translations[rank] = value;
            }
        }
    }
    if (!sawEntryGroup) {
        report(problem, QStringLiteral("no [Desktop Entry] group"));
        return std::nullopt;
    }

    const auto of = [&](Key key) -> const Values& { return values[size_t(key)]; };
    DesktopEntry entry;
    entry.type = stringValue(of(Key::Type)).value_or(QString());
    entry.name = localizedValue(of(Key::Name));
    entry.unlocalizedName = stringValue(of(Key::Name));
    entry.noDisplay = booleanValue(of(Key::NoDisplay));
    entry.hidden = booleanValue(of(Key::Hidden));
    entry.dbusActivatable = booleanValue(of(Key::DBusActivatable));
    entry.terminal = booleanValue(of(Key::Terminal));
    entry.onlyShowIn = listValue(of(Key::OnlyShowIn));
    entry.notShowIn = listValue(of(Key::NotShowIn));
    entry.tryExec = stringValue(of(Key::TryExec)).value_or(QString());
    const std::optional<QString> exec = stringValue(of(Key::Exec));
    entry.exec = exec.value_or(QString());
    entry.execIsNotUtf8 = !exec && of(Key::Exec).plain.has_value();
    entry.workingFolder = stringValue(of(Key::Path)).value_or(QString());
    entry.icon = localizedValue(of(Key::Icon)).value_or(QString());
    entry.startupWmClass = stringValue(of(Key::StartupWMClass)).value_or(QString());
    entry.autostartDisabled =
        trimmedEnd(of(Key::GnomeAutostartEnabled).plain.value_or("true")) == "false";
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
        filled += count;
        // A short read of a regular file is its end: no second call to learn that.
        if (count == 0 || filled < data.size()) {
            break;
        }
    }
    return parseDesktopEntry(QByteArrayView(data).first(filled), problem);
}

}  // namespace tessora
