// The application object: the single point through which every event passes,
// and so the one place where an error escaping a handler is caught and shown.
#pragma once

#include <QApplication>
#include <functional>

class TavrinApplication : public QApplication {
public:
    TavrinApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs a handler; an exception leaving it stops it and is shown in the default
// error box, and the program goes on. Returns false when the handler failed.
bool runGuarded(const std::function<void()>& handler);

// Shows the default error box for the exception being handled.
void ShowCurrentException();
