#pragma once

// The controller's 310-byte profile image and the 1025-character notes: decoded on upload, built for download.

#include "profile/profile.h"

#include <QByteArray>

#include <optional>

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

// The notes in a profile text reply: its first n characters, n being the
// position of the last non-blank among the first 1022 (the 1023rd is never
// part of the notes).
QString notesFromTextReply(const QByteArray& textReply);

// A working profile from an upload: the decoded image (timers in tenths,
// divided by 10 and rounded down) and the notes of the text reply.
Profile workingFromUpload(const Profile& uploaded, const QByteArray& textReply);

// A PIN text as the two packed-decimal bytes: filled up on the left with "0"
// to four characters, only the first four used, a character that is not a
// digit counting as 0.
QByteArray packedDecimalFromPin(const QString& pin);

// Builds the image from a working profile (timers in whole seconds, written
// as tenths): the edited slots from `working`, the other slots with their
// fixed values, blanks for the profile ID and date. Fails, naming the setting
// and its value in *error, when a value does not fit its bytes (a timer above
// 6553 s or below 0, a system value outside 0..65535, an option outside
// 0..255, e.g. a selector with nothing selected). Nothing is clamped.
std::optional<QByteArray> encodeProfileImage(const Profile& working, QString* error);

// The notes as the controller takes them: 1025 characters, the notes filled
// up with blanks (empty notes send 1025 blanks, 1024 characters one blank).
// Notes longer than 1024 characters are refused.
constexpr int ProfileTextDownloadSize = 1025;
std::optional<QByteArray> encodeProfileText(const QString& notes, QString* error);

} // namespace gx
