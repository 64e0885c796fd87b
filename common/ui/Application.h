// The application object: the single point through which every event passes,
// and so the one place where an error escaping a handler is caught and shown.
#pragma once

#include "common/Guarded.h"

#include <QApplication>

class TavrinApplication : public QApplication {
public:
    TavrinApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
