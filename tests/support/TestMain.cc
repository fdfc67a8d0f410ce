// Test entry point: an application object exists for the whole run, so that event-loop based
// code (timers, queued deliveries, thread-pool results) works inside tests. Suites of views get
// a QApplication on the offscreen platform, so they need no display.
#include <gtest/gtest.h>

#include <QLoggingCategory>

#ifdef TESSORA_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TESSORA_TEST_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    TestApplication app(argc, argv);
    // As in the program: routine steps are logged at debug level, shown only when asked for.
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));
    return RUN_ALL_TESTS();
}
