// The message boxes, questions and file choosers of the windowed program.
#pragma once

// Makes them what dialogs() gives whenever no other implementation is installed.
void InstallQtDialogs();
