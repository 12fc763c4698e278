#include "app/preview/ChmReplyBody.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>

#include "app/preview/ChmContentType.h"

namespace velmora::app {
namespace {

std::unique_ptr<QIODevice> ExtractToMemory(platform::ChmArchive& archive, const platform::ChmArchive::Entry& entry) {
  QByteArray data;
  data.reserve(static_cast<qsizetype>(entry.length));
  const bool blnOk = archive.extract(entry, [&data](const char* bytes, std::size_t length) {
    data.append(bytes, static_cast<qsizetype>(length));
    return true;
  });
  if (!blnOk) return nullptr;
  auto buffer = std::make_unique<QBuffer>();
  buffer->setData(data);
  buffer->open(QIODevice::ReadOnly);
  return buffer;
}

std::unique_ptr<QIODevice> ExtractToTemporaryFile(platform::ChmArchive& archive,
                                                  const platform::ChmArchive::Entry& entry) {
  auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/velmora-preview-XXXXXX"));
  if (!file->open()) return nullptr;
  QTemporaryFile* target = file.get();
  const bool blnOk = archive.extract(entry, [target](const char* bytes, std::size_t length) {
    return target->write(bytes, static_cast<qint64>(length)) == static_cast<qint64>(length);
  });
  if (!blnOk || !file->flush() || !file->seek(0)) return nullptr;
  return file;
}

}  // namespace

ChmReplyBody ExtractReplyBody(platform::ChmArchive& archive, const platform::ChmArchive::Entry& entry,
                              qint64 lngMemoryLimit) {
  ChmReplyBody body;
  body.device = entry.length <= static_cast<std::uint64_t>(lngMemoryLimit) ? ExtractToMemory(archive, entry)
                                                                          : ExtractToTemporaryFile(archive, entry);
  if (body.device) {
    body.head = body.device->peek(kCharsetSniffBytes);
  }
  return body;
}

}  // namespace velmora::app
