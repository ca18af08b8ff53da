// The demo's window on screens smaller and larger than its form (the suite
// runs on several offscreen screens): it starts at the form's natural size
// shrunk to the screen, with scroll bars where the form does not fit.
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "demo/app.h"
#include "demo/main_frame.h"

namespace {

TEST(DemoScreen, WindowFitsTheScreenAndTheFormScrolls) {
  CLexaroDemoApp app;
  QString error;
  ASSERT_TRUE(app.InitInstance({}, &error)) << error.toStdString();
  CMainFrame* frame = app.MainFrame();
  QRect available = frame->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(frame->frameGeometry()))
      << frame->frameGeometry().width() << "x" << frame->frameGeometry().height() << " on " << available.width()
      << "x" << available.height();
  QSize decoration = frame->frameGeometry().size() - frame->size();
  EXPECT_EQ(frame->size(), CMainFrame::kNaturalSize.boundedTo(available.size() - decoration));

  // Every control can be reached: the form keeps at least the size its
  // controls need, and scrolls in the directions it exceeds the window.
  QScrollArea* area = frame->FormArea();
  QSize needed = frame->View()->minimumSizeHint();
  QSize shown = area->viewport()->size();
  EXPECT_GE(frame->View()->width(), needed.width());
  EXPECT_GE(frame->View()->height(), needed.height());
  EXPECT_EQ(area->horizontalScrollBar()->maximum() > 0, needed.width() > shown.width());
  EXPECT_EQ(area->verticalScrollBar()->maximum() > 0, needed.height() > shown.height());
}

}  // namespace
