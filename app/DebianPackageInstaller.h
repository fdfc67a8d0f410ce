#pragma once

#include "app/PackageInstaller.h"

#include <QObject>

namespace tessora {

// Our Debian package: the program lives under /usr and dpkg owns it. Installing runs
// `pkexec apt-get install -y <file>`, which asks for the administrator's password.
class DebianPackageInstaller final : public QObject, public PackageInstaller {
    Q_OBJECT

public:
    explicit DebianPackageInstaller(QString programPath, QObject* parent = nullptr);

    void installedFromPackage(std::function<void(bool)> answer) override;
    void install(const QString& path, Done done) override;
    QString programPath() const override { return m_programPath; }

private:
    QString m_programPath;
};

}  // namespace tessora
