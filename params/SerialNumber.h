// The serial number in the set-up window's header: the lot, "-", and the
// running serial padded with zeros to at least four digits.
#pragma once

#include <QString>

namespace Params {

// "%4d" with every blank turned into "0": 7 gives "0007", 123456 gives
// "123456". The padding sits before a sign, so -5 gives "00-5".
QString FormatSerialPart(int num);

// The text FormattaSerialNumber puts into the header label: the first part's
// caption as shown, "-", then the formatted part just read.
QString SerialHeaderText(const QString& firstPartCaption, int num);

// Whether a serial number as the header shows it has a part whose four bytes
// all read "not set" (a board never numbered, or one whose number was wiped):
// every such board shows the same text, so it names none of them.
bool SerialIsUnset(const QString& serialNumber);

} // namespace Params
