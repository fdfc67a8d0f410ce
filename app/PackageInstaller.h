#pragma once

#include <QString>
#include <functional>

namespace tessora {

// How a verified update reaches the system. The real one asks the system's authorisation
// prompt to install a Debian package; tests give their own.
class PackageInstaller {
public:
    using Done = std::function<void(const QString& error)>;  // empty error: installed

    virtual ~PackageInstaller() = default;

    // Whether the running program came from our package, so that installing a newer package
    // replaces it. Answers through `answer`, perhaps later.
    virtual void installedFromPackage(std::function<void(bool)> answer) = 0;
    // Installs the package file at `path`; `done` runs once, perhaps later.
    virtual void install(const QString& path, Done done) = 0;
    // The program to start after an install: the installed one.
    virtual QString programPath() const = 0;
};

}  // namespace tessora
