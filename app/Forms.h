// The six windows of the tool, created once at start-up in this order and
// reachable through these references until the program ends.
#pragma once

class TMainForm;
class TSerialForm1;
class TQorForm;
class Twaitform;
class THiddenForm;
class TBootForm;

extern TMainForm* MainForm;
extern TSerialForm1* SerialForm1;
extern TQorForm* QorForm;
extern Twaitform* waitform;
extern THiddenForm* HiddenForm;
extern TBootForm* BootForm;

// Creates the six windows (all hidden). Called once, after the application object.
void CreateForms();
// Destroys them in reverse order (tests create and destroy them per test case).
void DestroyForms();
