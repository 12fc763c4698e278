#include "app/preview/ChmSchemeHandler.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>

#include "app/preview/ChmContentType.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmStreamDevice.h"
#include "app/preview/ChmUrl.h"
#include "app/preview/ChmUrlSchemes.h"
#include "app/preview/PreviewRequestInterceptor.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::app {
namespace {

// How many streams are decoded at once; more wait their turn.
constexpr int kWorkers = 4;

QString ItemName(const QString& strChmFile, const QString& strStoredPath) {
  return QFileInfo(strChmFile).fileName() + QStringLiteral("::") + strStoredPath;
}

ChmPreviewService::Request RequestKind(bool blnFrame) {
  return blnFrame ? ChmPreviewService::Request::Navigation : ChmPreviewService::Request::Read;
}

}  // namespace

ChmSchemeHandler::ChmSchemeHandler(ChmPreviewService& service, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_service(service) {
  m_workers.setMaxThreadCount(kWorkers);
}

ChmSchemeHandler::~ChmSchemeHandler() {
  m_workers.clear();
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& weak : m_pipes) {
      if (const auto pipe = weak.lock()) pipe->Cancel();
    }
  }
  m_workers.waitForDone();
}

void ChmSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  // Set by the request filter, which alone knows what kind of request it is;
  // without its mark a request counts as a read.
  const bool blnFrame = job->requestHeaders().value(kFrameRequestHeader) == FrameRequestMark();
  // Stored files are read-only: forms that post to them get nothing.
  if (job->requestMethod() != "GET") {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
  } else if (IsMonikerScheme(job->requestUrl().scheme())) {
    RedirectMoniker(job, blnFrame);
  } else {
    Serve(job, blnFrame);
  }
}

void ChmSchemeHandler::Serve(QWebEngineUrlRequestJob* job, bool blnFrame) {
  const std::optional<ChmLocation> location = ChmUrl::FromUrl(job->requestUrl());
  if (!location) {
    Fail(job, blnFrame, job->requestUrl().toString(), PreviewFailure::NotFound, QWebEngineUrlRequestJob::UrlInvalid);
    return;
  }
  if (!m_service.MayServe(location->strChmFile, job->initiator(), RequestKind(blnFrame))) {
    Fail(job, blnFrame, ItemName(location->strChmFile, location->strStoredPath), PreviewFailure::Refused,
         QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  // A page reached without the help viewer's address in its path (a link
  // to "/x.htm", "../" above the root) is sent to the address with it, so
  // that location.href of every page holds it.
  const QByteArray mark = "/" + ChmUrl::AddressSegment({}).chopped(2);
  if (blnFrame && !job->requestUrl().path(QUrl::FullyEncoded).toLatin1().startsWith(mark)) {
    QUrl target = ChmUrl::ToUrl(*location);
    target.setQuery(job->requestUrl().query(QUrl::FullyEncoded));
    job->redirect(target);
    return;
  }
  auto pipe = std::make_shared<ChmStreamPipe>();
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pipes.erase(std::remove_if(m_pipes.begin(), m_pipes.end(), [](const auto& weak) { return weak.expired(); }),
                  m_pipes.end());
    m_pipes.push_back(pipe);
  }
  // A request the engine drops stops its worker (also before the reply).
  connect(job, &QObject::destroyed, this, [pipe] { pipe->Cancel(); });
  const QPointer<QWebEngineUrlRequestJob> guarded(job);
  const qint64 lngLimit = m_service.StreamLimit();
  const QByteArray charset = m_service.PageCharset(location->strChmFile);
  m_workers.start([this, guarded, location = *location, pipe, blnFrame, lngLimit, charset] {
    Decode(guarded, location, pipe, blnFrame, lngLimit, charset);
  });
}

// On a worker thread. The job is touched only on the window's thread, in
// the calls posted back.
void ChmSchemeHandler::Decode(const QPointer<QWebEngineUrlRequestJob>& job, const ChmLocation& location,
                              const std::shared_ptr<ChmStreamPipe>& pipe, bool blnFrame, qint64 lngLimit,
                              const QByteArray& charset) {
  const QString strItem = ItemName(location.strChmFile, location.strStoredPath);
  const auto fail = [this, job, blnFrame, strItem](PreviewFailure failure, QWebEngineUrlRequestJob::Error error) {
    QMetaObject::invokeMethod(this, [this, job, blnFrame, strItem, failure, error] {
      if (job) Fail(job, blnFrame, strItem, failure, error);
    }, Qt::QueuedConnection);
  };
  const std::shared_ptr<platform::ChmArchive> archive = m_service.Archives().Acquire(location.strChmFile);
  const platform::ChmArchive::Entry* entry = archive ? archive->find(location.strStoredPath.toStdString()) : nullptr;
  // The file's root address ("x.chm::/") shows its default topic, as help
  // viewers do; pages that find themselves at an unexpected address send
  // themselves there.
  if (!entry && archive && location.strStoredPath == QLatin1String("/")) {
    const std::string strTopic = archive->defaultTopic();
    if (!strTopic.empty() && archive->find(strTopic)) {
      const QUrl target =
          ChmUrl::ToUrl({location.strChmFile, ChmUrl::CleanStoredPath(QString::fromStdString(strTopic))});
      QMetaObject::invokeMethod(this, [job, target] {
        if (job) job->redirect(target);
      }, Qt::QueuedConnection);
      return;
    }
  }
  if (!entry) {
    fail(PreviewFailure::NotFound, QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  if (entry->length > std::uint64_t(lngLimit)) {
    fail(PreviewFailure::TooLarge, QWebEngineUrlRequestJob::RequestFailed);
    return;
  }
  const std::uint32_t lngLcid = archive->languageId();
  const qint64 lngSize = qint64(entry->length);
  QByteArray head;
  bool blnReplied = false;
  // The reply goes out once the first bytes tell the charset, before the
  // pipe could fill up.
  const auto reply = [&] {
    blnReplied = true;
    const QByteArray contentType = ChmContentType(location.strStoredPath, head, lngLcid, charset);
    QMetaObject::invokeMethod(this, [job, pipe, contentType, lngSize] {
      if (!job) return;
      auto* device = new ChmStreamDevice(pipe, lngSize);
      connect(job, &QObject::destroyed, device, &QObject::deleteLater);
      job->reply(contentType, device);
    }, Qt::QueuedConnection);
  };
  const bool blnOk = archive->extract(*entry, [&](const char* bytes, std::size_t length) {
    if (!blnReplied) {
      head.append(bytes, qsizetype(std::min<std::size_t>(length, std::size_t(kCharsetSniffBytes - head.size()))));
      if (head.size() >= kCharsetSniffBytes) reply();
    }
    return pipe->Write(bytes, qsizetype(length));
  });
  if (!blnReplied) {
    if (!blnOk) {
      fail(PreviewFailure::Damaged, QWebEngineUrlRequestJob::RequestFailed);
      return;
    }
    reply();
  }
  pipe->Finish(blnOk);
}

void ChmSchemeHandler::RedirectMoniker(QWebEngineUrlRequestJob* job, bool blnFrame) {
  const std::optional<ChmMoniker> moniker = ChmUrl::FromMonikerUrl(job->requestUrl());
  if (!moniker) {
    Fail(job, blnFrame, job->requestUrl().toString(), PreviewFailure::NotFound, QWebEngineUrlRequestJob::UrlInvalid);
    return;
  }
  const QString strItem = moniker->strFile + QStringLiteral("::") + moniker->strStoredPath;
  const std::optional<ChmLocation> from = ChmUrl::FromUrl(job->initiator());
  if (!from) {
    Fail(job, blnFrame, strItem, PreviewFailure::Refused, QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const QString strTarget = m_service.FindSibling(from->strChmFile, moniker->strFile);
  if (strTarget.isEmpty()) {
    Fail(job, blnFrame, strItem, PreviewFailure::NotFound, QWebEngineUrlRequestJob::UrlNotFound);
  } else if (!m_service.MayServe(strTarget, job->initiator(), RequestKind(blnFrame))) {
    Fail(job, blnFrame, strItem, PreviewFailure::Refused, QWebEngineUrlRequestJob::RequestDenied);
  } else {
    job->redirect(ChmUrl::ToUrl(ChmLocation{strTarget, moniker->strStoredPath}));
  }
}

void ChmSchemeHandler::Fail(QWebEngineUrlRequestJob* job, bool blnFrame, const QString& strItem,
                            PreviewFailure failure, QWebEngineUrlRequestJob::Error error) {
  if (!blnFrame) {
    job->fail(error);
    return;
  }
  auto* page = new QBuffer;
  page->setData(PreviewErrorPage(strItem, failure));
  page->open(QIODevice::ReadOnly);
  connect(job, &QObject::destroyed, page, &QObject::deleteLater);
  job->reply("text/html; charset=utf-8", page);
}

}  // namespace velmora::app
