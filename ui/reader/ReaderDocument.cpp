#include "ui/reader/ReaderDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/preview/ChmPreviewService.h"
#include "engine/help/HelpListing.h"

namespace velmora::ui {
namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

ReaderLink LinkOf(const help::ListedTopic& topic, const QString& strChmFile) {
  ReaderLink link;
  link.strTitle = Utf8(topic.title);
  link.strText = Utf8(topic.target.Text());
  const help::Target& target = topic.target;
  switch (target.kind) {
    case help::Target::Kind::None:
      break;
    case help::Target::Kind::Page: {
      link.kind = ReaderLink::Kind::Page;
      link.blnMissing = target.missing;
      QString strFile = strChmFile;
      if (!target.file.empty()) {
        // Another CHM file is looked for beside this one only.
        strFile = app::ChmPreviewService::Shared().FindSibling(strChmFile, Utf8(target.file));
        link.blnMissing = link.blnMissing || strFile.isEmpty();
      }
      link.target = TargetInFile(strFile.isEmpty() ? strChmFile : strFile, Utf8(target.path + target.anchor));
      break;
    }
    case help::Target::Kind::Web: {
      // Only web pages go to the browser; mail and ftp addresses are not followed.
      const QString strScheme = QUrl(link.strText).scheme().toLower();
      link.kind = strScheme == QLatin1String("http") || strScheme == QLatin1String("https") ? ReaderLink::Kind::Web
                                                                                              : ReaderLink::Kind::Refused;
      break;
    }
    case help::Target::Kind::Refused:
      link.kind = ReaderLink::Kind::Refused;
      break;
  }
  return link;
}

std::vector<ReaderEntry> EntriesOf(help::HelpFile& file, help::HelpFolder& folder, help::SitemapKind kind,
                                   const QString& strChmFile) {
  std::vector<ReaderEntry> entries;
  const std::optional<help::Listing> listing = help::ListSitemap(file, folder, kind);
  if (!listing) return entries;
  entries.reserve(listing->entries.size());
  for (const help::ListedEntry& listed : listing->entries) {
    ReaderEntry entry;
    entry.lngLevel = int(listed.level);
    entry.strName = Utf8(listed.name);
    for (const help::ListedTopic& topic : listed.topics) entry.links << LinkOf(topic, strChmFile);
    for (const std::string& strKeyword : listed.seeAlso) entry.seeAlso << Utf8(strKeyword);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::unique_ptr<ReaderDocument> LoadReaderDocument(const QString& strChmFile, const QString& strEncoding) {
  const QString strFile = QDir::cleanPath(QFileInfo(strChmFile).absoluteFilePath());
  platform::ChmArchive::OpenResult result;
  const std::unique_ptr<help::HelpFile> file = help::HelpFile::Open(QFile::encodeName(strFile).toStdString(), result);
  if (!file) return nullptr;
  file->setCharset(strEncoding.toStdString());
  auto document = std::make_unique<ReaderDocument>();
  document->strChmFile = strFile;
  document->strTitle = Utf8(file->facts().title).trimmed();
  // The default topic is written as a contents entry's target would be.
  const help::Target home = file->Resolve(file->facts().defaultTopic, "/");
  if (home.kind == help::Target::Kind::Page && home.file.empty() && !home.missing) {
    document->home = TargetInFile(strFile, Utf8(home.path + home.anchor));
  }
  help::HelpFolder folder(QFile::encodeName(QFileInfo(strFile).absolutePath()).toStdString());
  document->contents = EntriesOf(*file, folder, help::SitemapKind::Contents, strFile);
  document->index = EntriesOf(*file, folder, help::SitemapKind::Index, strFile);
  return document;
}

}  // namespace velmora::ui
