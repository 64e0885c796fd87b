#include "app/Forms.h"
#include "app/Main.h"
#include "common/Application.h"

int main(int argc, char** argv)
{
    TavrinApplication app(argc, argv);
    TavrinApplication::setApplicationName(QStringLiteral("Tavrin Manager"));
    TavrinApplication::setApplicationDisplayName(QStringLiteral("Tavrin Manager"));
    CreateForms();
    MainForm->showMaximized();
    const int result = app.exec();
    DestroyForms();
    return result;
}
