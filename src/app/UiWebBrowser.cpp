#include "app/UiWebBrowser.h"

#include <QPointer>
#include <QStringDecoder>

#include "base/AppValues.h"
#include "platform/Err.h"

namespace bravel {

UiWebBrowser::UiWebBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("WebBrowser1"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &UiWebBrowser::linkClicked);
    connect(&loader_, &WebPageLoader::DownloadComplete, this, [this] {
        if (wanted_) showLoadedPage();
    });
    hide();
}

void UiWebBrowser::but_web_Toggled(bool on) {
    Err.Clear();
    wanted_ = on;
    if (!on) {
        hide();
        return;
    }
    if (loader_.loading()) return;  // an earlier switch-on is still waiting
    const QPointer<UiWebBrowser> self(this);
    loader_.navigate(downloadPageAddress());
    loader_.waitUntilLoaded();
    if (!self || !wanted_) return;  // switched off, or the window went away, while waiting
    show();
    setFocus();
}

void UiWebBrowser::showLoadedPage() {
    if (!loader_.succeeded()) {
        setPlainText(QStringLiteral("Die Seite konnte nicht geladen werden.") + gCrLf +
                     loader_.address().toString() + gCrLf + loader_.errorText());
        return;
    }
    document()->setBaseUrl(loader_.address());
    const QByteArray body = loader_.body();
    if (loader_.contentType().startsWith(QLatin1String("text/plain"))) {
        setPlainText(QString::fromUtf8(body));
        return;
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    setHtml(decoder.isValid() ? QString(decoder.decode(body)) : QString::fromUtf8(body));
}

void UiWebBrowser::linkClicked(const QUrl& link) {
    const QUrl target = loader_.address().resolved(link);
    if (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https"))
        return;
    loader_.navigate(target);  // shown when it has arrived
}

QVariant UiWebBrowser::loadResource(int, const QUrl&) {
    // A fetched page must not pull local files into the view.
    return QVariant();
}

}  // namespace bravel
