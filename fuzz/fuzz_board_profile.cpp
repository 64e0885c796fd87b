// A board profile, whatever it holds, in JSON or as an archive with its sounds:
// either refused with a reason, or taken whole; what was taken, written again,
// reads back as the same bytes, and every sound it names was unpacked inside
// the profile's own folder.
//
// Input: the file's bytes.
#include "FuzzInput.h"

#include "params/BoardProfile.h"
#include "params/ProfileArchive.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ExactBlock file(data, size);
    const bool archive = Params::IsProfileArchive(file.bytes());
    const Params::BoardProfileRead read = archive ? Params::ReadProfileArchiveBytes(file.bytes())
                                                  : Params::ReadBoardProfile(file.bytes(), QStringLiteral("/profiles"));
    FUZZ_CHECK(read.profile.has_value() != !read.error.isEmpty());
    if (!read.profile)
        return 0;
    const QString folder = read.profile->folder;
    if (archive)
        for (const auto& bank : read.profile->banks)
            for (const Params::ProfileSlot& slot : bank ? bank->slotFiles : QMap<int, Params::ProfileSlot>())
                FUZZ_CHECK(QFileInfo(read.profile->pathOf(slot.file)).canonicalFilePath().startsWith(
                    QFileInfo(folder).canonicalFilePath() + '/'));

    const QByteArray written = Params::WriteBoardProfile(*read.profile);
    const Params::BoardProfileRead again = Params::ReadBoardProfile(written, folder);
    FUZZ_CHECK(again.profile.has_value());
    FUZZ_CHECK(again.profile->banks == read.profile->banks);
    FUZZ_CHECK(again.profile->firmwareRelease == read.profile->firmwareRelease);
    FUZZ_CHECK(again.profile->parameters.edits == read.profile->parameters.edits);
    FUZZ_CHECK(Params::WriteBoardProfile(*again.profile) == written);
    return 0;
}
