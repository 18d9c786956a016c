#include "scheme/file_scheme_factory.h"

#include <QWebEngineUrlRequestJob>

#include "scheme/file_scheme.h"
#include "scheme/file_scheme_reply.h"

namespace scheme {

void TFileSchemeFactory::requestStarted(QWebEngineUrlRequestJob* job) {
    auto handler = std::make_unique<TFileScheme>();
    handler->ProcessRequest(job->requestUrl());
    TResponseHeaders headers;
    qint64 responseLength = 0;
    handler->GetResponseHeaders(headers, responseLength);
    // Qt WebEngine 6.4 answers every reply with status 200 and offers no way
    // to give another status with a body: fail() would replace our not-found
    // page by the engine's own error page and lose the path it shows. So the
    // not-found page is replied like any page; its 404 stays the handler's
    // answer (GetResponseHeaders) and the page says "not found".
    auto* reply = new TFileSchemeReply(std::move(handler), responseLength);
    connect(job, &QObject::destroyed, reply, &QObject::deleteLater);
    job->reply(headers.MimeType.toUtf8(), reply);
}

}  // namespace scheme
