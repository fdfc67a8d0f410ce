// Test entry point: a QCoreApplication exists for the whole run, so that event-loop based
// code (timers, queued deliveries, thread-pool results) works inside tests.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
