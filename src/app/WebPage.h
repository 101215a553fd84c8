#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

class QNetworkReply;

namespace bravel {

// The maker's download page: the setting main_WebBrowser1_url, or its default.
QUrl downloadPageAddress();

// Fetches one page for the embedded browser. The tag reads "Load" from navigate() until the
// load has finished or failed; DownloadComplete then empties it.
class WebPageLoader : public QObject {
    Q_OBJECT
  public:
    explicit WebPageLoader(QObject* parent = nullptr);
    ~WebPageLoader() override;

    void navigate(const QUrl& address);
    // Lets window events run until the tag is empty again.
    void waitUntilLoaded();

    QString tag() const { return tag_; }
    bool loading() const { return reply_ != nullptr; }
    bool succeeded() const { return succeeded_; }
    QUrl address() const { return address_; }
    QByteArray body() const { return body_; }
    QString contentType() const { return contentType_; }
    QString errorText() const { return errorText_; }

  signals:
    void DownloadComplete();

  private:
    void finished();

    QNetworkAccessManager manager_;
    QNetworkReply* reply_ = nullptr;
    QString tag_;
    QUrl address_;
    bool succeeded_ = false;
    QByteArray body_;
    QString contentType_;
    QString errorText_;
};

}  // namespace bravel
