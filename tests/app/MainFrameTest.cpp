#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "CatalogFiles.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "listtools/ToolTipContent.h"
#include "listtools/frm_ToolTip.h"
#include "platform/Twips.h"
#include "platform/UiWindowResize.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

// The frame of the frameless main window: resizing by its edges, its minimum size, the overlay
// over the list and clicks on the background.
class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        resetToolTipState();
        savedResize = UiWindowResize::systemResize;
        UiWindowResize::systemResize = [this](QWindow* native, Qt::Edges edges) {
            requested.push_back(edges);
            requestedFor = native;
            return systemTakesResize;
        };
    }
    void TearDown() override {
        UiWindowResize::systemResize = savedResize;
        frm_ToolTip::unload();
        QCoreApplication::processEvents();
        resetCatalogState();
    }

    // Presses the left button at a point of the window, on whatever lies there.
    static void pressAt(QWidget& window, const QPoint& pos) {
        QWidget* target = window.childAt(pos);
        if (!target) target = &window;
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(&window, pos));
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(&window, pos));
    }

    // A point of the window's own background that is no edge.
    static std::optional<QPoint> backgroundPoint(QWidget& window) {
        for (int y = 10; y < window.height() - 10; ++y)
            for (int x = 10; x < window.width() - 10; ++x)
                if (!window.childAt(QPoint(x, y))) return QPoint(x, y);
        return std::nullopt;
    }

    std::function<bool(QWindow*, Qt::Edges)> savedResize;
    std::vector<Qt::Edges> requested;
    QWindow* requestedFor = nullptr;
    bool systemTakesResize = true;
};

TEST_F(MainFrameTest, EdgesAndCornersAskTheWindowSystemToResize) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.resize(800, 500);
    QCoreApplication::processEvents();
    const int w = window.width();
    const int h = window.height();
    const std::pair<QPoint, Qt::Edges> presses[] = {
        {{w - 1, h - 1}, Qt::RightEdge | Qt::BottomEdge},
        {{w / 2, h - 2}, Qt::BottomEdge},
        {{w - 2, h / 2}, Qt::RightEdge},
        {{0, h / 2}, Qt::LeftEdge},
        {{w / 2, 1}, Qt::TopEdge},
        {{1, 1}, Qt::TopEdge | Qt::LeftEdge},
        {{w - 3, 10}, Qt::TopEdge | Qt::RightEdge},  // near the corner counts as the corner
        {{2, h - 12}, Qt::BottomEdge | Qt::LeftEdge},
    };
    for (const auto& [pos, edges] : presses) {
        requested.clear();
        pressAt(window, pos);
        ASSERT_EQ(requested.size(), 1u) << pos.x() << "," << pos.y();
        EXPECT_EQ(requested[0], edges) << pos.x() << "," << pos.y();
    }
    EXPECT_EQ(requestedFor, window.windowHandle());

    // Inside the edges nothing asks for a resize; a maximised window has no edges.
    requested.clear();
    pressAt(window, {w / 2, h / 2});
    pressAt(window, {8, h / 2});
    EXPECT_TRUE(requested.empty());
    window.showMaximized();
    QCoreApplication::processEvents();
    pressAt(window, {window.width() - 1, window.height() - 1});
    EXPECT_TRUE(requested.empty());
    window.close();
}

TEST_F(MainFrameTest, WithoutTheWindowSystemTheWindowFollowsTheMouseDownToItsMinimum) {
    systemTakesResize = false;
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.setGeometry(50, 40, 800, 500);
    QCoreApplication::processEvents();
    QWidget* corner = window.childAt(QPoint(799, 499));
    ASSERT_NE(corner, nullptr);
    const QPoint start(corner->width() - 1, corner->height() - 1);
    QTest::mousePress(corner, Qt::LeftButton, {}, start);
    QMouseEvent grow(QEvent::MouseMove, QPointF(start + QPoint(40, 30)),
                     corner->mapToGlobal(QPointF(start + QPoint(40, 30))), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(corner, &grow);
    EXPECT_EQ(window.geometry(), QRect(50, 40, 840, 530));
    QMouseEvent shrink(QEvent::MouseMove, QPointF(start - QPoint(700, 400)),
                       corner->mapToGlobal(QPointF(start - QPoint(700, 400))), Qt::NoButton,
                       Qt::LeftButton, {});
    QCoreApplication::sendEvent(corner, &shrink);
    EXPECT_EQ(window.geometry(), QRect(50, 40, twipsToPixels(9890), twipsToPixels(5700)));
    QTest::mouseRelease(corner, Qt::LeftButton, {}, start);

    // The left edge moves the left side; the right side stays.
    window.setGeometry(50, 40, 800, 500);
    QWidget* left = window.childAt(QPoint(0, 250));
    ASSERT_NE(left, nullptr);
    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(0, 250));
    QMouseEvent pull(QEvent::MouseMove, QPointF(-30, 250), left->mapToGlobal(QPointF(-30, 250)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(left, &pull);
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(-30, 250));
    EXPECT_EQ(window.geometry(), QRect(20, 40, 830, 500));
    window.close();
}

TEST_F(MainFrameTest, TheMinimumSizeIsExactlyThatOfTheDesignAndIsSavedSo) {
    {
        frm_main window;
        ASSERT_TRUE(window.load());
        window.show();
        window.resize(300, 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.size(), QSize(twipsToPixels(9890), twipsToPixels(5700)));
        window.close();
    }
    EXPECT_EQ(readNumber(keys::main_height), 5700);
    EXPECT_NEAR(readNumber(keys::main_width), 9890, 15 / 2.0 + 0.1);  // the nearest whole pixel
}

TEST_F(MainFrameTest, TheOverlayCoversTheWholeListAfterResizesAndAPressFocusesNew) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    ASSERT_TRUE(window.lbl_lstoverlay->isVisible());
    EXPECT_EQ(window.lbl_lstoverlay->text(), " Kein Katalog geladen.");
    for (const QSize& size :
         {QSize(900, 600), QSize(1100, 700), QSize(700, 420), QSize(1000, 650)}) {
        window.resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.lbl_lstoverlay->geometry(), window.lst_Files->rect()) << size.width();
        EXPECT_TRUE(
            window.lbl_lstoverlay->geometry().contains(window.lst_Files->header()->geometry()));
        const QPoint corner = window.lst_Files->rect().bottomRight();
        EXPECT_EQ(window.lst_Files->childAt(corner), window.lbl_lstoverlay)
            << "the overlay lies on top";
    }
    window.but_DB->setFocus();
    QApplication::setActiveWindow(&window);
    QTest::mousePress(window.lbl_lstoverlay, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(window.but_DBNew->hasFocus());
    window.but_DB->setFocus();
    QTest::mouseRelease(window.lbl_lstoverlay, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(window.but_DBNew->hasFocus());
    window.close();
}

TEST_F(MainFrameTest, RowsAreTallEnoughForAccentsDescendersAndTheGridLine) {
    QTemporaryDir dir;
    const QString source = dir.path() + "/Bericht Ü3 gjpq.txt";
    test::writeFile(source, "x");
    const QString catalog = dir.path() + "/zeilen.bvk";
    ASSERT_TRUE(test::writeCatalog(catalog, {{source, dir.path(), {}, {}, {}}}));
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    ASSERT_EQ(window.controller().model().rowCount(), 1);
    const QFontMetrics metrics(window.lst_Files->font());
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    EXPECT_GE(row.height(), metrics.height() + 3);
    window.close();
}

TEST_F(MainFrameTest, AClickOnTheBackgroundClosesTheToolTip) {
    systemTakesResize = false;
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    const std::optional<QPoint> background = backgroundPoint(window);
    ASSERT_TRUE(background.has_value());
    ToolTipRequest request;
    request.text = "  offen";
    request.sourceName = "FRM_MAIN";
    request.positionText = "1500;1500";
    request.owner = &window;
    ASSERT_NE(frm_ToolTip::open(request), nullptr);
    QTest::mouseClick(&window, Qt::LeftButton, {}, *background);
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    window.close();
}

}  // namespace
