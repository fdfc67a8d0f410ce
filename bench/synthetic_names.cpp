// Prints the names of the synthetic benchmark catalog, one per line, for tools like fzf.
#include "bench/SyntheticCatalog.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    for (const auto& entry : tessora::bench::syntheticCatalog(count)) {
        std::puts(entry.name.toUtf8().constData());
    }
    return 0;
}
