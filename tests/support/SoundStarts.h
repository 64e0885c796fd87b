// Starting the set-up window's sound operations as a user does, with sounds
// written for the purpose into the test's folder.
#pragma once

#include <QString>

// Uploads a ramp of samples into Bank 1 Swing 1 from folder (the window's sound
// folder); the upload's question is answered by whatever dialogs are installed.
// False when the sound could not be written.
bool StartUpload(const QString& folder, int samples);
// Loads the base sound set through F12, with its first two files (of samples
// each) in installFolder; the other 17 are missing. False when they could not be written.
bool StartBulkLoad(const QString& installFolder, int samples);
