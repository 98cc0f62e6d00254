// The board as a person sees it: cell colours and drawn close times in a grab of the widget.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "board/race_board.h"
#include "common/program_state.h"
#include "tests/board/race_slots.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

using namespace plx;

namespace {

// Pixels of the cell that satisfy `test`.
template <typename Test>
int CountPixels(const QImage& image, const QRect& cell, Test test) {
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (test(QColor(image.pixel(x, y)))) ++count;
    return count;
}

QRect CellOnBoard(const RaceBoard& board, const BoardGrid* grid, int row) {
    return grid->CellRect(row).translated(grid->mapTo(&board, QPoint(0, 0)));
}

}  // namespace

TEST(BoardRendering, SelectedAndUnselectedRacesOfADay) {
    plxtest::TestApp();
    plxtest::TempDir folder;
    plxtest::RecordingMessages messages;
    ResetProgram();
    Program().exeFolder = folder.path();
    TheTimetable().Clear();
    // A day like the demo's: venue 1 with twelve races from 10:30, the first two armed.
    for (int r = 1; r <= 12; ++r) {
        int minutes = 10 * 60 + 30 + (r - 1) * 35;
        char close[8];
        std::snprintf(close, sizeof close, "%02d%02d", minutes / 60 % 24, minutes % 60);
        char armed = r <= 2 ? '1' : '0';
        plxtest::PutRace(TheTimetable(), 1, r, close, armed, armed);
    }
    RaceBoard board;
    board.DrawBoard();
    QImage image = board.grab().toImage();

    QRect selected = CellOnBoard(board, board.sg_time[0], 0);
    QRect unselected = CellOnBoard(board, board.sg_time[0], 2);
    EXPECT_EQ(QColor(image.pixel(selected.topRight())), QColor(255, 255, 128));
    EXPECT_EQ(QColor(image.pixel(unselected.topRight())), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(CellOnBoard(board, board.sg_time[1], 0).center())), QColor(Qt::white));
    // The time is drawn: dark text on light yellow, silver text on white.
    EXPECT_GT(CountPixels(image, selected, [](QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; }),
              20);
    EXPECT_GT(
        CountPixels(image, unselected,
                    [](QColor c) { return c.red() >= 180 && c.red() <= 215 && std::abs(c.red() - c.blue()) < 8; }),
        20);
    EXPECT_EQ(CountPixels(image, unselected, [](QColor c) { return c.red() < 150; }), 0);
    // The board background is grey outside the grids.
    EXPECT_EQ(QColor(image.pixel(10, 240)), QColor(128, 128, 128));
    TheTimetable().Clear();
    ResetProgram();
}

TEST(BoardRendering, TabBackgroundIsTheGreyPanelWithNothingBesideIt) {
    plxtest::TestApp();
    QWidget sheet;
    sheet.setFixedSize(240, 250);
    QImage before = sheet.grab().toImage();
    struct Painted final : QWidget {
        using QWidget::QWidget;
        void paintEvent(QPaintEvent*) override { PaintTabBackground(this); }
    } painted;
    painted.setFixedSize(240, 250);
    QImage image = painted.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(100, 100)), QColor(128, 128, 128));
    // Right of the panel the sheet stays as the style paints it: no box, no border.
    for (int x = 226; x < 240; ++x)
        for (int y = 0; y < 250; y += 7)
            ASSERT_EQ(image.pixel(x, y), before.pixel(x, y)) << x << "," << y;
}
