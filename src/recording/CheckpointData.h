#pragma once

#include "drawing/Drawing.h"

#include <QByteArray>

#include <optional>

// A drawing's snapshot as a checkpoint's data on its recorded line: compressed with zlib
// (qCompress), then in base64. Decoding takes nothing on trust: a damaged or hostile
// checkpoint is refused with a reason, whatever sizes it claims.
namespace recording {

QByteArray encode(const Drawing::Snapshot& snapshot);
std::optional<Drawing::Snapshot> decode(const QByteArray& data, QString* error);

} // namespace recording
