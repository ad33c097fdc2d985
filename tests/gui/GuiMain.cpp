// One application object for all GUI tests, on Qt's offscreen platform
// unless the environment asks for another.
#include "forms/Application.h"

#include <gtest/gtest.h>

namespace {

QtMessageHandler PreviousHandler = nullptr;

// The offscreen platform reports, for every window shown, a window-manager
// hint it cannot pass on; that says nothing about the tests.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (PreviousHandler)
        PreviousHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PreviousHandler = qInstallMessageHandler(QuietHandler);
    velmora::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
