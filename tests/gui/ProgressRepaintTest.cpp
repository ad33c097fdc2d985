// The progress window is painted as the run asks, but no more often than a
// screen can show; the first and the last state are always painted.
#include "forms/QtConversionUI.h"
#include "forms/RepaintThrottle.h"
#include "forms/frmProgress.h"

#include <QApplication>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <chrono>

namespace velmora {
namespace {

using namespace std::chrono_literals;

struct TFakeClock {
    std::chrono::steady_clock::time_point Now{std::chrono::seconds(1000)};
    TRepaintThrottle::TClock Function() {
        return [this] { return Now; };
    }
};

TEST(TRepaintThrottleTest, YesFirstThenOncePerInterval) {
    TFakeClock clock;
    TRepaintThrottle throttle(16ms, clock.Function());
    EXPECT_TRUE(throttle.Due());
    EXPECT_FALSE(throttle.Due());
    clock.Now += 15ms;
    EXPECT_FALSE(throttle.Due());
    clock.Now += 1ms;
    EXPECT_TRUE(throttle.Due());
    EXPECT_FALSE(throttle.Due());
    throttle.Reset();
    EXPECT_TRUE(throttle.Due());
}

class TProgressPaintTest : public ::testing::Test {
protected:
    TFakeClock Clock;
    TProgressForm Form;
    TQtConversionUI UI{nullptr, TRepaintThrottle(16ms, Clock.Function())};
    void SetUp() override { UI.SetProgressForm(&Form); }
};

TEST_F(TProgressPaintTest, ManyRepaintsWithinOneFrameCostOnePaintAndTheLastStateIsShown) {
    UI.ShowProgress();
    ASSERT_TRUE(Form.isVisible());
    UI.SetTotalMax(4);
    UI.SetTotalPosition(3);
    UI.RepaintTotal();
    UI.SetCurrentMax(9999);
    for (int i = 0; i < 10000; ++i) {
        UI.SetCurrentPosition(i);
        UI.RepaintProgress();
    }
    EXPECT_EQ(UI.PaintCount(), 1);
    EXPECT_EQ(Form.pbTotal()->maximum(), 4) << "the first state was painted";
    EXPECT_EQ(Form.pbTotal()->value(), 3);
    Clock.Now += 16ms;
    UI.RepaintProgress();
    EXPECT_EQ(UI.PaintCount(), 2);
    EXPECT_EQ(Form.pbCurrent()->value(), 9999);

    UI.SetCurrentPosition(5);
    UI.RepaintProgress();
    EXPECT_EQ(Form.pbCurrent()->value(), 9999) << "not painted yet";
    UI.HideProgress();
    EXPECT_EQ(UI.PaintCount(), 3);
    EXPECT_EQ(Form.pbCurrent()->value(), 5);
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(TProgressPaintTest, BarsKeepTheirValuesUntilARunSetsThemAgain) {
    UI.ShowProgress();
    UI.SetTotalMax(2);
    UI.SetTotalPosition(2);
    UI.SetCurrentMax(7);
    UI.SetCurrentPosition(7);
    UI.HideProgress();
    UI.ShowProgress();
    EXPECT_EQ(UI.PaintCount(), 0);
    UI.RepaintProgress();
    EXPECT_EQ(Form.pbTotal()->value(), 2);
    EXPECT_EQ(Form.pbCurrent()->maximum(), 7);
    EXPECT_EQ(Form.pbCurrent()->value(), 7);
    UI.HideProgress();
}

TEST_F(TProgressPaintTest, AnEmptyRangeIsAnEmptyBarNotABusyIndicator) {
    UI.ShowProgress();
    UI.SetTotalMax(0);
    UI.SetTotalPosition(0);
    UI.SetCurrentMax(0);
    UI.SetCurrentPosition(0);
    UI.RepaintProgress();
    for (QProgressBar* bar : {Form.pbTotal(), Form.pbCurrent()}) {
        EXPECT_LT(bar->minimum(), bar->maximum());
        EXPECT_EQ(bar->value(), bar->minimum());
    }
    UI.HideProgress();
}

TEST_F(TProgressPaintTest, TheBusyCursorIsSetAndRestoredOnce) {
    UI.SetBusyCursor(true);
    UI.SetBusyCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    UI.SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    UI.SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace velmora
