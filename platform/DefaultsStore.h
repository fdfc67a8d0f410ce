#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace tessora {

// The user's settings: typed values under text keys, kept in one JSON object file.
//
// The file is read once, when the store opens; every change rewrites the whole file at once.
// A reader asks for one type and gets nothing when the key is missing or holds another type;
// each caller applies its own value for that case. A file that cannot be understood is kept
// aside as "<name>.corrupt" and the store starts empty. Main thread only.
class DefaultsStore {
public:
    // The folder that holds the settings of every edition: $XDG_CONFIG_HOME when it is an
    // absolute path, otherwise ~/.config. The only place that reads the environment.
    static QString configHome();

    // The process's standard store: <configHome>/tessora/settings.json.
    static std::unique_ptr<DefaultsStore> openStandard(const QString& configHome);
    static std::unique_ptr<DefaultsStore> openFile(const QString& path);
    // A store that never touches the disk, starting with `values`.
    static std::unique_ptr<DefaultsStore> inMemory(const QJsonObject& values = {});

    // Domains of earlier editions whose settings may be carried over, oldest first.
    static const QStringList& previousEditionDomains();
    // A read-only view of an earlier edition's settings; null when the domain is unknown or
    // its file is missing, unreadable or corrupt. Files of earlier editions are never modified.
    static std::unique_ptr<DefaultsStore> openSuite(const QString& configHome,
                                                    const QString& domain);

    DefaultsStore(const DefaultsStore&) = delete;
    DefaultsStore& operator=(const DefaultsStore&) = delete;
    ~DefaultsStore() = default;

    bool isStandard() const { return m_kind == Kind::Standard; }
    bool isReadOnly() const { return m_kind == Kind::Suite; }
    // The settings file; empty for a store in memory.
    QString filePath() const { return m_path; }

    bool contains(const QString& key) const { return m_values.contains(key); }
    QStringList keys() const { return m_values.keys(); }

    std::optional<bool> boolValue(const QString& key) const;
    std::optional<qint64> integerValue(const QString& key) const;
    std::optional<QString> textValue(const QString& key) const;
    std::optional<QStringList> textListValue(const QString& key) const;
    // The value as stored, whatever its type (for carrying settings over unchanged).
    std::optional<QJsonValue> value(const QString& key) const;

    void setBool(const QString& key, bool value);
    void setInteger(const QString& key, qint64 value);
    void setText(const QString& key, const QString& value);
    void setTextList(const QString& key, const QStringList& value);
    // Any JSON value; an undefined one removes the key.
    void setValue(const QString& key, const QJsonValue& value);
    void remove(const QString& key);

private:
    enum class Kind { Standard, File, Memory, Suite };

    DefaultsStore(Kind kind, QString path, QJsonObject values);
    static std::unique_ptr<DefaultsStore> openWritable(Kind kind, const QString& path);

    bool acceptsChanges(const QString& key) const;
    void save();

    Kind m_kind;
    QString m_path;
    QJsonObject m_values;
    // Why changes cannot reach the file (an unreadable file we must not overwrite); empty
    // when they can.
    QString m_unsavable;
};

}  // namespace tessora
