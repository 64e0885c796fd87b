// main() for a Qt Test program: the tool's own application object (so the
// default error box is in place) on the offscreen platform unless told otherwise.
#pragma once

#include "common/ui/Application.h"

#include <QStandardPaths>
#include <QTest>

#define TAVRIN_TEST_MAIN(TestClass)                                                                          \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QStandardPaths::setTestModeEnabled(true); /* journals and settings away from the user's own */       \
        TavrinApplication app(argc, argv);                                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
