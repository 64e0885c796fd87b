#include "app/Forms.h"

#include "app/About.h"
#include "app/Main.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/Hidden.h"
#include "firmware/Boot.h"

TMainForm* MainForm = nullptr;
TSerialForm1* SerialForm1 = nullptr;
TQorForm* QorForm = nullptr;
Twaitform* waitform = nullptr;
THiddenForm* HiddenForm = nullptr;
TBootForm* BootForm = nullptr;

void CreateForms()
{
    MainForm = new TMainForm;
    SerialForm1 = new TSerialForm1;
    QorForm = new TQorForm;
    waitform = new Twaitform;
    HiddenForm = new THiddenForm;
    BootForm = new TBootForm;
    HiddenForm->attach(*SerialForm1->Link);
    // The set-up window's sending controls stay off while the firmware window is open.
    BootForm->installEventFilter(SerialForm1);
}

template <typename T> static void destroy(T*& form)
{
    delete form;
    form = nullptr;
}

void DestroyForms()
{
    destroy(BootForm);
    destroy(HiddenForm);
    destroy(waitform);
    destroy(QorForm);
    destroy(SerialForm1);
    destroy(MainForm);
}
