// A parameter file, whatever it holds: either refused with a reason, or taken
// whole; what was taken, saved again, reads back the same.
//
// Input: the file's bytes.
#include "FuzzInput.h"

#include "params/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ExactBlock file(data, size);
    const Params::ParameterFileResult read = Params::ReadParameterFile(file.bytes());
    FUZZ_CHECK(read.content.has_value() != !read.error.isEmpty());
    if (!read.content)
        return 0;

    const Params::ParameterFileContent& first = *read.content;
    const Params::ParameterFileResult again = Params::ReadParameterFile(Params::WriteParameterFile(first));
    FUZZ_CHECK(again.content.has_value());
    const Params::ParameterFileContent& second = *again.content;
    FUZZ_CHECK(second.edits == first.edits);
    FUZZ_CHECK(second.defaultBank == first.defaultBank);
    FUZZ_CHECK(second.frequencyMode == first.frequencyMode);
    FUZZ_CHECK(second.release == first.release);
    FUZZ_CHECK(second.serialNumber == first.serialNumber);
    return 0;
}
