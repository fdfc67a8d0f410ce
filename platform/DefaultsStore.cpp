#include "platform/DefaultsStore.h"

#include "platform/DefaultsFile.h"
#include "platform/DefaultsFormat.h"

#include <QDir>
#include <QJsonArray>
#include <QLoggingCategory>

namespace tessora {

namespace {

Q_LOGGING_CATEGORY(lcDefaults, "tessora.defaults")

constexpr QLatin1String kSettingsFileName("settings.json");

std::optional<QString> suiteFolder(const QString& domain) {
    if (domain == QLatin1String("org.tessora.Orrery")) {
        return QStringLiteral("orrery");
    }
    if (domain == QLatin1String("org.tessora.OrreryPreview")) {
        return QStringLiteral("orrery-preview");
    }
    return std::nullopt;
}

}  // namespace

DefaultsStore::DefaultsStore(Kind kind, QString path, QJsonObject values)
    : m_kind(kind), m_path(std::move(path)), m_values(std::move(values)) {}

QString DefaultsStore::configHome() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(fromEnvironment)) {
        return QDir::cleanPath(fromEnvironment);
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

std::unique_ptr<DefaultsStore> DefaultsStore::openStandard(const QString& configHome) {
    return openWritable(Kind::Standard,
                        configHome + QStringLiteral("/tessora/") + kSettingsFileName);
}

std::unique_ptr<DefaultsStore> DefaultsStore::openFile(const QString& path) {
    return openWritable(Kind::File, path);
}

std::unique_ptr<DefaultsStore> DefaultsStore::inMemory(const QJsonObject& values) {
    return std::unique_ptr<DefaultsStore>(new DefaultsStore(Kind::Memory, QString(), values));
}

std::unique_ptr<DefaultsStore> DefaultsStore::openWritable(Kind kind, const QString& path) {
    std::unique_ptr<DefaultsStore> store(new DefaultsStore(kind, path, {}));
    // A write killed before its rename leaves its complete temporary file behind.
    for (const QString& leftover : removeInterruptedWrites(path)) {
        qCInfo(lcDefaults) << "Removed" << leftover << "left by a save that did not finish";
    }
    const DefaultsFileRead read = readDefaultsFile(path, kMaxDefaultsFileBytes);
    DefaultsParse parsed;
    switch (read.outcome) {
        case DefaultsFileRead::Outcome::Missing:
            return store;
        case DefaultsFileRead::Outcome::Link:
            qCWarning(lcDefaults) << "Not using the settings file" << path << ":" << read.problem
                                  << "- starting with no settings, which will not be saved there";
            store->m_unsavable = read.problem;
            return store;
        case DefaultsFileRead::Outcome::Unreadable:
            qCWarning(lcDefaults) << "Cannot read the settings file" << path << ":" << read.problem
                                  << "- starting with no settings";
            // Saving would replace something whose content we never saw.
            store->m_unsavable = QStringLiteral("what is there could not be read");
            return store;
        case DefaultsFileRead::Outcome::TooLarge:
            parsed.outcome = DefaultsParse::Outcome::Corrupt;
            parsed.problem = QStringLiteral("larger than %1 bytes").arg(kMaxDefaultsFileBytes);
            break;
        case DefaultsFileRead::Outcome::Read:
            parsed = parseDefaults(read.bytes);
            break;
    }
    switch (parsed.outcome) {
        case DefaultsParse::Outcome::Values:
            store->m_values = parsed.values;
            break;
        case DefaultsParse::Outcome::Empty:
            qCWarning(lcDefaults) << "The settings file" << path
                                  << "is empty - starting with no settings";
            break;
        case DefaultsParse::Outcome::Corrupt:
            qCWarning(lcDefaults) << "The settings file" << path << "is corrupt:" << parsed.problem
                                  << "- starting with no settings";
            if (const std::optional<QString> aside = keepDefaultsFileAside(path)) {
                qCWarning(lcDefaults) << "The corrupt settings file was kept as" << *aside;
            } else {
                qCWarning(lcDefaults) << "Cannot move the corrupt settings file" << path
                                      << "aside; changes will not be saved over it";
                store->m_unsavable = QStringLiteral("the corrupt file could not be moved aside");
            }
            break;
    }
    return store;
}

const QStringList& DefaultsStore::previousEditionDomains() {
    static const QStringList domains{QStringLiteral("org.tessora.Orrery"),
                                     QStringLiteral("org.tessora.OrreryPreview")};
    return domains;
}

std::unique_ptr<DefaultsStore> DefaultsStore::openSuite(const QString& configHome,
                                                        const QString& domain) {
    const std::optional<QString> folder = suiteFolder(domain);
    if (!folder) {
        qCWarning(lcDefaults) << "No settings are known for the domain" << domain;
        return nullptr;
    }
    const QString path =
        configHome + QLatin1Char('/') + *folder + QLatin1Char('/') + kSettingsFileName;
    const DefaultsFileRead read = readDefaultsFile(path, kMaxDefaultsFileBytes);
    if (read.outcome == DefaultsFileRead::Outcome::Missing) {
        return nullptr;
    }
    if (read.outcome != DefaultsFileRead::Outcome::Read) {
        qCWarning(lcDefaults) << "Cannot read the earlier settings file" << path << ":"
                              << (read.problem.isEmpty() ? QStringLiteral("too large")
                                                         : read.problem);
        return nullptr;
    }
    const DefaultsParse parsed = parseDefaults(read.bytes);
    if (parsed.outcome == DefaultsParse::Outcome::Corrupt) {
        qCWarning(lcDefaults) << "Ignoring the corrupt earlier settings file" << path << ":"
                              << parsed.problem;
        return nullptr;
    }
    return std::unique_ptr<DefaultsStore>(new DefaultsStore(Kind::Suite, path, parsed.values));
}

std::optional<bool> DefaultsStore::boolValue(const QString& key) const {
    return defaultsBool(m_values.value(key));
}

std::optional<qint64> DefaultsStore::integerValue(const QString& key) const {
    return defaultsInteger(m_values.value(key));
}

std::optional<QString> DefaultsStore::textValue(const QString& key) const {
    return defaultsText(m_values.value(key));
}

std::optional<QStringList> DefaultsStore::textListValue(const QString& key) const {
    return defaultsTextList(m_values.value(key));
}

std::optional<QJsonValue> DefaultsStore::value(const QString& key) const {
    const auto found = m_values.constFind(key);
    if (found == m_values.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void DefaultsStore::setBool(const QString& key, bool value) {
    setValue(key, QJsonValue(value));
}

void DefaultsStore::setInteger(const QString& key, qint64 value) {
    setValue(key, QJsonValue(value));
}

void DefaultsStore::setText(const QString& key, const QString& value) {
    setValue(key, QJsonValue(value));
}

void DefaultsStore::setTextList(const QString& key, const QStringList& value) {
    setValue(key, QJsonArray::fromStringList(value));
}

void DefaultsStore::setValue(const QString& key, const QJsonValue& value) {
    if (value.isUndefined()) {
        remove(key);
        return;
    }
    if (!acceptsChanges(key)) {
        return;
    }
    const auto found = m_values.constFind(key);
    if (found != m_values.constEnd() && sameDefaultsValue(*found, value)) {
        return;
    }
    m_values.insert(key, value);
    save();
}

void DefaultsStore::remove(const QString& key) {
    if (!acceptsChanges(key) || !m_values.contains(key)) {
        return;
    }
    m_values.remove(key);
    save();
}

bool DefaultsStore::acceptsChanges(const QString& key) const {
    if (isReadOnly()) {
        qCWarning(lcDefaults) << "Not changing" << key << "in the read-only settings of" << m_path;
        return false;
    }
    return true;
}

void DefaultsStore::save() {
    if (m_path.isEmpty()) {
        return;
    }
    if (!m_unsavable.isEmpty()) {
        qCWarning(lcDefaults) << "Not saving the settings to" << m_path << ":" << m_unsavable;
        return;
    }
    if (const std::optional<QString> problem =
            writeDefaultsFile(m_path, serializeDefaults(m_values))) {
        qCWarning(lcDefaults) << "Cannot save the settings to" << m_path << ":" << *problem;
    }
}

}  // namespace tessora
