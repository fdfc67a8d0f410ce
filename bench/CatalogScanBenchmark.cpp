// Time of a warm catalog scan over 1,000 desktop entries shaped like those of a desktop
// installation: some translated into many languages, some nested, some hidden.
#include "workspace/AppCatalog.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

constexpr int kEntries = 1000;

const char* const kLanguages[] = {"ar",    "ca", "cs", "da", "de", "el",    "es",   "fi",
                                  "fr",    "he", "hu", "it", "ja", "ko",    "nl",   "pl",
                                  "pt_BR", "ru", "sv", "tr", "uk", "zh_CN", "zh_TW"};

QByteArray entryText(int index) {
    const QByteArray name = "Application " + QByteArray::number(index);
    QByteArray text = "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + name +
                      "\nGenericName=Utility\nComment=Does useful things with files\n"
                      "Exec=app" +
                      QByteArray::number(index) + " %U\nIcon=app" + QByteArray::number(index) +
                      "\nTerminal=false\nCategories=Utility;GTK;\n"
                      "MimeType=text/plain;application/x-example;\n"
                      "Keywords=tool;helper;files;\nStartupNotify=true\n";
    if (index % 3 == 0) {  // a third come with translations of everything
        for (const char* language : kLanguages) {
            const QByteArray tag = QByteArray("[") + language + "]=";
            text += "Name" + tag + name + " (" + language + ")\nGenericName" + tag +
                    "Werkzeug\nComment" + tag + "Macht nützliche Dinge mit Dateien\nKeywords" +
                    tag + "werkzeug;helfer;\n";
        }
    }
    if (index % 10 == 1) {
        text += "NoDisplay=true\n";
    }
    if (index % 5 == 2) {
        text += "TryExec=sh\n";
    }
    if (index % 7 == 3) {
        text += "OnlyShowIn=GNOME;XFCE;\n";
    }
    text += "Actions=new-window;\n\n[Desktop Action new-window]\nName=New Window\nExec=app\n";
    return text;
}

// The folders are written once for all runs of the benchmark.
struct Installation {
    QTemporaryDir dir;
    tessora::CatalogEnvironment env = tessora::CatalogEnvironment::fromProcess();

    Installation() {
        const QString home = dir.filePath("home/applications");
        const QString system = dir.filePath("system/applications");
        for (int i = 0; i < kEntries; ++i) {
            QString folder = i % 4 == 0 ? home : system;
            if (i % 8 == 1) {
                folder += QStringLiteral("/vendor%1").arg(i % 3);
            }
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/app%1.desktop").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(entryText(i)) < 0) {
                throw std::runtime_error("cannot write the entries");
            }
        }
        env.applicationFolders = {home, system};
        env.currentDesktops = {QStringLiteral("GNOME")};
    }
};

void BM_CatalogScan(benchmark::State& state) {
    static Installation installation;
    benchmark::DoNotOptimize(tessora::scanApplications(installation.env, {}));  // warm up
    for (auto _ : state) {
        benchmark::DoNotOptimize(tessora::scanApplications(installation.env, {}));
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_CatalogScan)->Unit(benchmark::kMillisecond);

}  // namespace
