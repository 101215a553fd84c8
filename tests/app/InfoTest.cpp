#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "app/NetworkUpdate.h"
#include "app/UiWebBrowser.h"
#include "app/frm_info.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "catalog/CatalogState.h"
#include "platform/ProgramResources.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class InfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
        qputenv("no_proxy", "127.0.0.1");
        qputenv("NO_PROXY", "127.0.0.1");
    }
    void TearDown() override { resetCatalogState(); }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Opens the about window with the main window's button and reads it while it is shown.
    struct Seen {
        QString text;
        QPoint pos;
        QSize size;
        bool exitHasFocus = false;
        QImage icon;
    };
    static Seen openAbout(frm_main& window) {
        Seen seen;
        QTimer::singleShot(0, [&seen] {
            auto* about = qobject_cast<frm_info*>(QApplication::activeModalWidget());
            if (!about) return;
            seen.text = about->lbl_titel->text();
            seen.pos = about->pos();
            seen.size = about->size();
            seen.exitHasFocus = about->focusWidget() == about->but_exit;
            seen.icon = about->img_icon->pixmap().toImage();
            about->but_exit->click();
        });
        window.but_info->click();
        return seen;
    }

    QTemporaryDir dir;
};

TEST_F(InfoTest, AboutShowsTheTextCentredOverTheMainWindowEachTime) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.setGeometry(60, 40, 700, 420);
    const QString expected = "\r\n" + gProductName + "\r\nVersion: " + gVersion +
                             "\r\n\r\nein Programm von " + gCompanyName + "\r\n" + gAuthorName +
                             "\r\n";
    EXPECT_EQ(frm_info::infoText(), expected);
    EXPECT_TRUE(expected.contains("Version: 1.02.15"));

    const Seen first = openAbout(window);
    EXPECT_EQ(first.text, expected);
    EXPECT_EQ(first.pos, frm_info::centredOver(window.geometry(), first.size));
    EXPECT_TRUE(first.exitHasFocus);
    // The program's own icon, as the window and the desktop entry show it.
    EXPECT_FALSE(first.icon.isNull());
    EXPECT_EQ(first.icon, programIcon().pixmap(48, 48).toImage());

    window.move(150, 90);
    const Seen second = openAbout(window);
    EXPECT_EQ(second.text, expected);
    EXPECT_EQ(second.pos, frm_info::centredOver(window.geometry(), second.size));
    EXPECT_NE(second.pos, first.pos);
    EXPECT_TRUE(window.findChildren<frm_info*>().isEmpty());  // released after closing
    window.close();
}

TEST_F(InfoTest, CentringArithmetic) {
    EXPECT_EQ(frm_info::centredOver(QRect(100, 50, 600, 400), QSize(200, 100)), QPoint(300, 200));
    EXPECT_EQ(frm_info::centredOver(QRect(0, 0, 101, 51), QSize(20, 10)), QPoint(40, 20));
}

TEST_F(InfoTest, ToolPathAndArguments) {
    EXPECT_EQ(networkUpdateToolPath("", "/opt/bravel"), "/opt/bravel/frshwire");
    EXPECT_EQ(networkUpdateToolPath("", "/"), "/frshwire");
    EXPECT_EQ(networkUpdateToolPath("/srv/tools/update", "/opt/bravel"), "/srv/tools/update");
    EXPECT_EQ(networkUpdateArguments("/opt/Bravel 2/bravel"), QStringList{"-/opt/Bravel 2/bravel"});
}

TEST_F(InfoTest, NetworkUpdateWithoutToolShowsTheMessageAndStaysOpen) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    // No Freshwire and no frshwire beside the program.
    ASSERT_FALSE(QFile::exists(QCoreApplication::applicationDirPath() + "/frshwire"));
    window.mnu_appnetupdate->trigger();
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Die Netzwerkupdate-Funktion wurde nicht gefunden.");
    EXPECT_EQ(test::scriptedDialogs().messages[0].icon, MsgIcon::Information);
    EXPECT_TRUE(window.isVisible());

    // A folder at the configured path is no tool either.
    writeSetting(keys::Freshwire, dir.path());
    window.mnu_appnetupdate->trigger();
    EXPECT_EQ(test::scriptedDialogs().messages.size(), 2u);
    EXPECT_TRUE(window.isVisible());
    window.close();
}

TEST_F(InfoTest, NetworkUpdateStartsTheToolWithTheProgramPathAndCloses) {
    const QString tool = path("werkzeug mit blank");
    const QString record = path("argumente.txt");
    test::writeFile(tool, ("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                           record + ".part'\nmv '" + record + ".part' '" + record + "'\n")
                              .toUtf8());
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    writeSetting(keys::Freshwire, "  " + tool + "  ");
    writeSetting(keys::AppEXELocal, "/opt/Bravel Programm/bravel; echo x");
    window.mnu_appnetupdate->trigger();
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    EXPECT_FALSE(window.isVisible());
    for (int waited = 0; waited < 10000 && !QFile::exists(record); waited += 50) QTest::qWait(50);
    EXPECT_EQ(test::readFile(record), "-/opt/Bravel Programm/bravel; echo x\n");
}

TEST_F(InfoTest, NetworkUpdateThatCannotStartKeepsTheProgramOpen) {
    const QString tool = path("frshwire");
    test::writeFile(tool, "kein Programm");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner);  // not executable
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    writeSetting(keys::Freshwire, tool);
    window.mnu_appnetupdate->trigger();
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Die Netzwerkupdate-Funktion wurde nicht gefunden.");
    EXPECT_TRUE(window.isVisible());
    window.close();
}

// One HTTP answer on 127.0.0.1.
class OnePageServer : public QObject {
  public:
    explicit OnePageServer(const QByteArray& body) : body_(body) {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                request_ += socket->readAll();
                if (!request_.contains("\r\n\r\n")) return;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: text/html; "
                    "charset=utf-8\r\nContent-Length: " +
                    QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
                socket->disconnectFromHost();
            });
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/bravel/download.html").arg(server_.serverPort());
    }
    QByteArray request() const { return request_; }

  private:
    QTcpServer server_;
    QByteArray body_;
    QByteArray request_;
};

TEST_F(InfoTest, WebButtonLoadsTheDownloadPageThenShowsItAndHidesItWhenOff) {
    OnePageServer server(
        "<html><body><h1>Bravel herunterladen</h1><p>Version 1.02.15 für Linux</p></body></html>");
    writeSetting(keys::main_WebBrowser1_url, server.address());
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    EXPECT_FALSE(window.WebBrowser1->isVisible());
    EXPECT_EQ(window.WebBrowser1->objectName(), "WebBrowser1");

    window.but_web->click();  // returns once the page has arrived
    EXPECT_TRUE(window.but_web->isChecked());
    EXPECT_TRUE(window.WebBrowser1->tag().isEmpty());
    EXPECT_TRUE(window.WebBrowser1->isVisible());
    EXPECT_TRUE(window.WebBrowser1->toPlainText().contains("Bravel herunterladen"));
    EXPECT_TRUE(window.WebBrowser1->toPlainText().contains("für Linux"));
    EXPECT_TRUE(server.request().startsWith("GET /bravel/download.html HTTP/1.1"));

    window.but_web->click();
    EXPECT_FALSE(window.WebBrowser1->isVisible());
    window.close();
}

TEST_F(InfoTest, WebButtonOnAClosedPortEndsTheWaitAndSaysSo) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }  // closed again: nothing listens there
    writeSetting(keys::main_WebBrowser1_url, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.but_web->click();
    EXPECT_TRUE(window.WebBrowser1->tag().isEmpty());
    EXPECT_TRUE(window.WebBrowser1->isVisible());
    EXPECT_TRUE(
        window.WebBrowser1->toPlainText().startsWith("Die Seite konnte nicht geladen werden."));
    window.close();
}

TEST_F(InfoTest, DownloadPageAddressFallsBackToTheDefault) {
    EXPECT_EQ(downloadPageAddress().toString(),
              QString::fromLatin1(keys::main_WebBrowser1_url.defaultValue));
    writeSetting(keys::main_WebBrowser1_url, "file:///etc/passwd");
    EXPECT_EQ(downloadPageAddress().scheme(), "https");
    writeSetting(keys::main_WebBrowser1_url, "http://127.0.0.1:9/x");
    EXPECT_EQ(downloadPageAddress().toString(), "http://127.0.0.1:9/x");
}

}  // namespace
