#include "app/WebPage.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include "settings/SettingKeys.h"

namespace bravel {
namespace {
// A page that never answers must not keep the window waiting for ever.
constexpr int kTransferTimeoutMs = 30000;
}  // namespace

QUrl downloadPageAddress() {
    const QUrl address = QUrl::fromUserInput(readText(keys::main_WebBrowser1_url).trimmed());
    if (address.isValid() &&
        (address.scheme() == QLatin1String("http") || address.scheme() == QLatin1String("https")))
        return address;
    return QUrl(QString::fromLatin1(keys::main_WebBrowser1_url.defaultValue));
}

WebPageLoader::WebPageLoader(QObject* parent) : QObject(parent) {}

WebPageLoader::~WebPageLoader() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void WebPageLoader::navigate(const QUrl& address) {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        reply_ = nullptr;
    }
    tag_ = QStringLiteral("Load");
    address_ = address;
    succeeded_ = false;
    body_.clear();
    contentType_.clear();
    errorText_.clear();
    QNetworkRequest request(address);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = manager_.get(request);
    connect(reply_, &QNetworkReply::finished, this, &WebPageLoader::finished);
}

void WebPageLoader::finished() {
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    succeeded_ = reply->error() == QNetworkReply::NoError;
    body_ = reply->readAll();
    contentType_ = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    errorText_ = succeeded_ ? QString() : reply->errorString();
    address_ = reply->url();
    reply->deleteLater();
    tag_.clear();
    emit DownloadComplete();
}

void WebPageLoader::waitUntilLoaded() {
    // Blocks only until the next event arrives, so the window stays responsive and the wait
    // ends with the reply's own finished event.
    // The loader may go away with its window while events run.
    const QPointer<WebPageLoader> self(this);
    while (self && !self->tag_.isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace bravel
