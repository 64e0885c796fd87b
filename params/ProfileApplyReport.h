// What applying a profile did to one board, for the owner (a readable summary)
// and for scripts (JSON): which board, what was written and verified, which
// slots were sent or left alone, how long it took and what failed.
#pragma once

#include <QJsonObject>
#include <QString>

namespace Params {

struct ProfileApplyReport {
    QString port;
    QString serialNumber;
    QString release;
    int valuesWritten = 0;
    int valuesVerified = 0;
    int slotsUploaded = 0;
    int slotsSkipped = 0; // the journal knows them to hold their file already
    qint64 durationMs = 0;
    QString failure; // empty: the board holds the profile
    // False: the board failed before the apply began (its port did not open, it
    // did not answer, its read failed) and nothing of the profile was sent; the
    // failure then names the port itself.
    bool started = true;

    bool ok() const { return failure.isEmpty(); }
};

QJsonObject ReportJson(const ProfileApplyReport& report);
// "/dev/ttyACM0 (serial 1523-0042, release 16.0): 85 values written, 85 verified;
// 19 slots uploaded, 0 left as they were; 41.2 s." and the failure on a second line;
// "/dev/ttyACM1: the profile was not applied; nothing of it was sent." and the
// failure for a board where it never started.
QString ReportSummary(const ProfileApplyReport& report);

} // namespace Params
