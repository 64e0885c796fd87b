#include "common/Paths.h"

#include "common/BuildConfig.h"

namespace {
QString installOverride;
QString documentationOverride;
} // namespace

QString InstallFolder()
{
    return installOverride.isEmpty() ? QString::fromUtf8(BuildConfig::INSTALL_DIR) : installOverride;
}

QString DocumentationFolder()
{
    return documentationOverride.isEmpty() ? QString::fromUtf8(BuildConfig::DOC_DIR) : documentationOverride;
}

void setInstallFolder(const QString& folder)
{
    installOverride = folder;
}

void setDocumentationFolder(const QString& folder)
{
    documentationOverride = folder;
}

QString SettingsFilePath()
{
    return InstallFolder() + QStringLiteral("/Bin/COM_1.INI");
}

QString BaseSoundFolder()
{
    return InstallFolder() + QStringLiteral("/Sounds/ZERO");
}
