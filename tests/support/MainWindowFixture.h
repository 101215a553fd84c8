#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "TestSupport.h"
#include "app/frm_main.h"
#include "catalog/CatalogState.h"

namespace bravel::test {

// The main window loaded and shown with fresh program state, closed again at the end.
class ShownMainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAll();
        window = std::make_unique<frm_main>();
        window->load();
        window->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        window->close();
        window.reset();
        resetCatalogState();
    }

    std::unique_ptr<frm_main> window;
};

}  // namespace bravel::test
