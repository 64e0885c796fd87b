// The fixed folders of an installation, chosen at build time. Tests point them
// at a temporary folder.
#pragma once

#include <QString>

QString InstallFolder();
QString DocumentationFolder();
void setInstallFolder(const QString& folder);       // empty restores the built-in one
void setDocumentationFolder(const QString& folder); // empty restores the built-in one

// Bin/COM_1.INI under the installation folder.
QString SettingsFilePath();

// Sounds/ZERO under the installation folder: the base sound set.
QString BaseSoundFolder();
