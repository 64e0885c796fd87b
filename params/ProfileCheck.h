// A board profile checked whole before anything is sent: every value with the
// rules "Write Parameters" applies, every sound file read, checked against its
// checksum and converted for its slot. What comes out is ready to send (the
// parameter writes and every slot's stream in hand) or the list of every reason
// not to start.
#pragma once

#include "params/BoardProfile.h"
#include "params/ParameterWriter.h"
#include "sound/FontPlan.h"

#include <QList>
#include <QStringList>

namespace Sound {
struct JournalEntry;
}

namespace Params {

struct ProfileCheck {
    // The profile's parameters; its default bank is sent whenever it names one.
    WritePlan parameters;
    // Every slot the profile fills, bank by bank in the order of the map, each
    // with its stream and the checksum of its file as read.
    QList<Sound::FontUpload> uploads;
    // "banks.2.slots.swing1: <why>", entry by entry; empty: ready to send.
    QStringList problems;

    bool ok() const { return problems.isEmpty(); }
};

ProfileCheck CheckProfile(const BoardProfile& profile);

// Why the profile must not be applied to a board running `release`: "This
// board runs release 15.0; the profile is for release 16.0. Nothing was sent."
// Empty when the profile names no release or that very one.
QString ReleaseRefusal(const BoardProfile& profile, const QString& release);

// The uploads a board needs: those whose slot its journal does not know to hold
// that very file sent as the upload would send it (by the file's checksum and
// that of the bytes sent). An apply uploads these, or with --force all.
QList<Sound::FontUpload> UploadsNotOnBoard(const QList<Sound::FontUpload>& uploads,
                                           const QList<Sound::JournalEntry>& journal);

} // namespace Params
