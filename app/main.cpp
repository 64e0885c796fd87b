#include "app/Main.h"
#include "app/Forms.h"
#include "common/Application.h"

#include <QScreen>

int main(int argc, char** argv)
{
    TavrinApplication app(argc, argv);
    CreateForms();
    // Without a window manager (a bare X server) maximising is not honoured: start
    // with the screen's size so the window fills it either way.
    MainForm->setGeometry(MainForm->screen()->availableGeometry());
    MainForm->showMaximized();
    const int result = app.exec();
    DestroyForms();
    return result;
}
