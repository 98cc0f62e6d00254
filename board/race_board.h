// The race board of the race tab: date, venue and race labels, the nine grids of close times,
// information and refund links, the venue menu, and the handlers of every click on them.
#pragma once

#include <QMenu>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "board/board_grid.h"
#include "board/race_pages.h"

namespace plx {

class RaceBoard : public QWidget {
    Q_OBJECT
public:
    explicit RaceBoard(QWidget* parent = nullptr);

    // Asks for one line of text (caption and prompt in CP932); nothing when cancelled.
    // Replaceable so that tests answer instead of a person.
    using TextQuestion =
        std::function<std::optional<std::string>(const std::string& caption, const std::string& prompt)>;
    void SetTextQuestion(TextQuestion ask) { askText_ = std::move(ask); }

    void DrawBoard();
    void PaintCell(BoardGrid* grid, int row, const QColor& background, const QColor& textColour, bool bold,
                   const std::string& text);
    void ToggleAlarms(int column, int race);
    void EditCloseTime(int column, int race);
    // Opens the page of the race in board column 1..3 and row 0..11; nothing for an empty row.
    void OpenRacePage(RacePage page, int column, int row);

    // True while DrawBoard or the odds tab fill runs; the tick's board refresh waits for it.
    bool drawing = false;

    // Handlers, named after their controls.
    void l_yyyymmddClick() { ToggleAlarms(0, 0); }
    void l_basyoClick(int column) { ToggleAlarms(column, 0); }
    void l_rClick(int race) { ToggleAlarms(0, race); }
    void sg_timeSelectCell(int column, int row) { ToggleAlarms(column, row + 1); }
    void sg_timeMouseUp(int column, int row);
    void l_basyoMouseDown(int column, const QPoint& globalPos);
    void N1Click(int itemIndex);
    void sg_infoSelectCell(int column, int row) { OpenRacePage(RacePage::Info, column, row); }
    void sg_rfdSelectCell(int column, int row) { OpenRacePage(RacePage::Result, column, row); }

    BoardLabel* l_yyyymmdd;
    std::array<BoardLabel*, 3> l_basyo{};
    std::array<BoardLabel*, 12> l_r{};
    QLabel* l_msg;
    std::array<BoardGrid*, 3> sg_time{};
    std::array<BoardGrid*, 3> sg_info{};
    std::array<BoardGrid*, 3> sg_rfd{};
    QMenu* pm_basyo;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Build();
    TextQuestion askText_;
};

// Paints the grey background and the separator that every tab of the main window has.
void PaintTabBackground(QWidget* widget);

// Where the race board and the odds tab put board column 1..3 (index 0..2) and its grids.
inline constexpr int kBoardColumnLeft[3] = {32, 96, 160};
inline constexpr int kBoardGridTop = 32;
inline constexpr int kBoardGridHeight = 205;

// The labels both board tabs have, placed alike on `tab`: the date, the three venues and the
// twelve race numbers ("01R".."12R"), named `dateName`, `venuePrefix`1..3 and `racePrefix`1..12.
// A left click on one toggles the alarms it names, through `board`.
struct BoardLabels {
    BoardLabel* date;
    std::array<BoardLabel*, 3> venues;
    std::array<BoardLabel*, 12> races;
};
BoardLabels AddBoardLabels(QWidget* tab, RaceBoard& board, const QString& dateName, const QString& venuePrefix,
                           const QString& racePrefix);

}  // namespace plx
