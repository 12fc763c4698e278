#pragma once
// The bytes of one stored file, ready for the web engine to read on its
// own thread: in memory when small, else in a temporary file, so that a
// stream of a hundred megabytes is never held in memory.

#include <QByteArray>
#include <QIODevice>
#include <memory>

#include "platform/storage/ChmArchive.h"

namespace velmora::app {

// Files up to this size are served from memory.
inline constexpr qint64 kReplyMemoryLimit = 4 * 1024 * 1024;

struct ChmReplyBody {
  std::unique_ptr<QIODevice> device;  // open for reading, at the start
  QByteArray head;                    // the first bytes, for the charset check
};

// Extracts the entry; an empty device when the extraction fails or the
// temporary file cannot be written (no part of a file is served).
ChmReplyBody ExtractReplyBody(platform::ChmArchive& archive, const platform::ChmArchive::Entry& entry,
                              qint64 lngMemoryLimit = kReplyMemoryLimit);

}  // namespace velmora::app
