// A board profile, whatever it holds: either refused with a reason, or taken
// whole; what was taken, written again, reads back as the same bytes.
//
// Input: the file's bytes.
#include "FuzzInput.h"

#include "params/BoardProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ExactBlock file(data, size);
    const QString folder = QStringLiteral("/profiles");
    const Params::BoardProfileRead read = Params::ReadBoardProfile(file.bytes(), folder);
    FUZZ_CHECK(read.profile.has_value() != !read.error.isEmpty());
    if (!read.profile)
        return 0;

    const QByteArray written = Params::WriteBoardProfile(*read.profile);
    const Params::BoardProfileRead again = Params::ReadBoardProfile(written, folder);
    FUZZ_CHECK(again.profile.has_value());
    FUZZ_CHECK(again.profile->banks == read.profile->banks);
    FUZZ_CHECK(again.profile->firmwareRelease == read.profile->firmwareRelease);
    FUZZ_CHECK(again.profile->parameters.edits == read.profile->parameters.edits);
    FUZZ_CHECK(Params::WriteBoardProfile(*again.profile) == written);
    return 0;
}
