#include "app/Forms.h"
#include "app/MainWindow.h"
#include "common/Define.h"
#include "common/ui/Application.h"

#include <QScreen>

int main(int argc, char** argv)
{
    TavrinApplication app(argc, argv);
    // A name and no display name: Qt appends a display name to every title bar,
    // and each window's title bar shows exactly its caption.
    TavrinApplication::setApplicationName(QString::fromLatin1(Define::PROGRAM_NAME));
    CreateForms();
    // Without a window manager (a bare X server) maximising is not honoured: start
    // with the screen's size so the window fills it either way.
    mainWindow->setGeometry(mainWindow->screen()->availableGeometry());
    mainWindow->showMaximized();
    const int result = app.exec();
    DestroyForms();
    return result;
}
