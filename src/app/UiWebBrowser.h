#pragma once

#include <QTextBrowser>

#include "app/WebPage.h"

namespace bravel {

// The main window's embedded browser WebBrowser1: a text browser that shows pages fetched by
// WebPageLoader. It reads nothing else: pictures and style sheets a page names stay out.
class UiWebBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit UiWebBrowser(QWidget* parent = nullptr);

    // The web button: on loads the download page, waits for it and shows it; off hides it.
    void but_web_Toggled(bool on);

    QString tag() const { return loader_.tag(); }
    WebPageLoader& loader() { return loader_; }

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    void showLoadedPage();
    void linkClicked(const QUrl& link);

    WebPageLoader loader_;
    bool wanted_ = false;  // the web button is on
};

}  // namespace bravel
