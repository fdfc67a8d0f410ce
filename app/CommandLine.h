#pragma once

#include <QString>
#include <QStringList>

namespace tessora {

// What the user asked for on the command line.
struct CommandLine {
    enum class Action {
        Run,          // start the resident application
        ListApps,     // print the ranked catalog for `query`
        Arrange,      // arrange `apps` in `layout`
        UnitTesting,  // start nothing (used by test harnesses)
        CheckForUpdates,  // print the newest version from `feed` (the built-in one when empty)
        Help,
        Version,
        Invalid,  // `error` says why
    };
    Action action = Action::Run;
    QString query;
    QString layout;
    QStringList apps;
    QString feed;       // --feed URL
    QString publicKey;  // --public-key KEY
    QString caFile;     // --ca-file FILE
    QString error;
};

CommandLine parseCommandLine(const QStringList& arguments);

QString usageText(const QString& program);

}  // namespace tessora
