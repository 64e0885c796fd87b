#include "params/ProfileApplyReport.h"

namespace Params {

namespace {
constexpr double MS_PER_SECOND = 1000.0;
}

QJsonObject ReportJson(const ProfileApplyReport& report)
{
    QJsonObject json{{QStringLiteral("port"), report.port},
                     {QStringLiteral("serialNumber"), report.serialNumber},
                     {QStringLiteral("release"), report.release},
                     {QStringLiteral("valuesWritten"), report.valuesWritten},
                     {QStringLiteral("valuesVerified"), report.valuesVerified},
                     {QStringLiteral("slotsUploaded"), report.slotsUploaded},
                     {QStringLiteral("slotsSkipped"), report.slotsSkipped},
                     {QStringLiteral("durationMs"), report.durationMs},
                     {QStringLiteral("ok"), report.ok()},
                     {QStringLiteral("started"), report.started}};
    if (!report.ok())
        json.insert(QStringLiteral("failure"), report.failure);
    return json;
}

QString ReportSummary(const ProfileApplyReport& report)
{
    if (!report.started)
        return QStringLiteral("%1: the profile was not applied; nothing of it was sent.\n%2")
            .arg(report.port, report.failure);
    QString text = QStringLiteral("%1 (serial %2, release %3): %4 values written, %5 verified; %6 slots "
                                  "uploaded, %7 left as they were; %8 s.")
                       .arg(report.port, report.serialNumber.isEmpty() ? QStringLiteral("-") : report.serialNumber,
                            report.release.isEmpty() ? QStringLiteral("-") : report.release)
                       .arg(report.valuesWritten)
                       .arg(report.valuesVerified)
                       .arg(report.slotsUploaded)
                       .arg(report.slotsSkipped)
                       .arg(static_cast<double>(report.durationMs) / MS_PER_SECOND, 0, 'f', 1);
    if (!report.ok())
        text += QStringLiteral("\n%1: %2").arg(report.port, report.failure);
    return text;
}

} // namespace Params
