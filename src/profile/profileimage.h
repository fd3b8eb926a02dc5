#pragma once

#include "profile/profile.h"

#include <QByteArray>

namespace gx {

// The controller's profile image: 310 bytes (timers, system values, switches,
// messages, sensors, PINs, then LED, ID and date/time filler).
constexpr int ProfileImageSize = 310;

// A PIN held as packed decimal (one digit per half-byte, thousands first) as
// text of at least four characters, padded on the left with "0". Half-bytes
// above 9 are taken as they are: 0x1A 0x00 gives 1*1000 + 10*100 = "2000".
QString pinFromPackedDecimal(quint8 first, quint8 second);

// Decodes the first 310 bytes of `image` into a profile as uploaded (timers
// in tenths of a second). Bytes missing from a shorter image count as 0.
Profile decodeProfileImage(const QByteArray& image);

} // namespace gx
