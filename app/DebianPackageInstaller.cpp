#include "app/DebianPackageInstaller.h"

#include <QProcess>

namespace tessora {

namespace {

// Runs `program` with `arguments`; `finished` gets whether it exited with 0 and what it said
// on stderr.
void run(QObject* owner, const QString& program, const QStringList& arguments,
         std::function<void(bool, const QString&)> finished) {
    auto* process = new QProcess(owner);
    QObject::connect(process, &QProcess::finished, owner,
                     [process, finished](int code, QProcess::ExitStatus status) {
                         finished(status == QProcess::NormalExit && code == 0,
                                  QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, owner,
                     [process, finished](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             finished(false, process->errorString());
                             process->deleteLater();
                         }
                     });
    process->start(program, arguments);
}

}  // namespace

DebianPackageInstaller::DebianPackageInstaller(QString programPath, QObject* parent)
    : QObject(parent), m_programPath(std::move(programPath)) {}

void DebianPackageInstaller::installedFromPackage(std::function<void(bool)> answer) {
    if (!m_programPath.startsWith(QLatin1String("/usr/"))) {
        answer(false);
        return;
    }
    run(this, QStringLiteral("dpkg"), {QStringLiteral("-S"), m_programPath},
        [answer](bool owned, const QString&) { answer(owned); });
}

void DebianPackageInstaller::install(const QString& path, Done done) {
    run(this, QStringLiteral("pkexec"),
        {QStringLiteral("apt-get"), QStringLiteral("install"), QStringLiteral("-y"), path},
        [done](bool installed, const QString& said) {
            done(installed ? QString()
                           : QStringLiteral("The update could not be installed%1.")
                                 .arg(said.isEmpty() ? QString() : QStringLiteral(": ") + said));
        });
}

}  // namespace tessora
