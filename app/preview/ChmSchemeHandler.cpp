#include "app/preview/ChmSchemeHandler.h"

#include <QWebEngineUrlRequestJob>

#include "app/preview/ChmContentType.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmReplyBody.h"
#include "app/preview/ChmUrl.h"
#include "app/preview/ChmUrlSchemes.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::app {

ChmSchemeHandler::ChmSchemeHandler(ChmPreviewService& service, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_service(service) {}

void ChmSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  // Stored files are read-only: forms that post to them get nothing.
  if (job->requestMethod() != "GET") {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
  } else if (IsMonikerScheme(job->requestUrl().scheme())) {
    RedirectMoniker(job);
  } else {
    Serve(job);
  }
}

void ChmSchemeHandler::Serve(QWebEngineUrlRequestJob* job) {
  const std::optional<ChmLocation> location = ChmUrl::FromUrl(job->requestUrl());
  if (!location) {
    job->fail(QWebEngineUrlRequestJob::UrlInvalid);
    return;
  }
  if (!m_service.IsAdmitted(location->strChmFile)) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const std::shared_ptr<platform::ChmArchive> archive = m_service.Archives().Acquire(location->strChmFile);
  const platform::ChmArchive::Entry* entry =
      archive ? archive->find(location->strStoredPath.toStdString()) : nullptr;
  if (!entry) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  ChmReplyBody body = ExtractReplyBody(*archive, *entry);
  if (!body.device) {
    job->fail(QWebEngineUrlRequestJob::RequestFailed);
    return;
  }
  const QByteArray contentType = ChmContentType(location->strStoredPath, body.head, archive->languageId());
  // The engine reads the device on its own thread until the job is gone.
  QIODevice* device = body.device.release();
  connect(job, &QObject::destroyed, device, &QObject::deleteLater);
  job->reply(contentType, device);
}

void ChmSchemeHandler::RedirectMoniker(QWebEngineUrlRequestJob* job) {
  const std::optional<ChmMoniker> moniker = ChmUrl::FromMonikerUrl(job->requestUrl());
  const std::optional<ChmLocation> from = ChmUrl::FromUrl(job->initiator());
  if (!moniker || !from || !m_service.IsAdmitted(from->strChmFile)) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const QString strTarget = m_service.AdmitSibling(from->strChmFile, moniker->strFile);
  if (strTarget.isEmpty()) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  job->redirect(ChmUrl::ToUrl(ChmLocation{strTarget, moniker->strStoredPath}));
}

}  // namespace velmora::app
