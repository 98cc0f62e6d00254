// The odds tab: the board's date and venues, and for each of the three venues the links to the
// odds pages of its races in two forms. Its labels toggle the same alarms as the race board's.
#pragma once

#include <QWidget>
#include <array>

#include "board/board_grid.h"

namespace plx {

class RaceBoard;

class OddsBoard : public QWidget {
    Q_OBJECT
public:
    OddsBoard(RaceBoard& board, QWidget* parent = nullptr);

    void FillOddsTab();

    void sg_htmlSelectCell(int column, int row);
    void sg_javaSelectCell(int column, int row);

    BoardLabel* l_odds_opdt;
    std::array<BoardLabel*, 3> l_odds_rcourse{};
    std::array<BoardLabel*, 12> l_odds_r{};
    std::array<BoardGrid*, 3> sg_html{};
    std::array<BoardGrid*, 3> sg_java{};

protected:
    void paintEvent(QPaintEvent*) override;

private:
    RaceBoard& board_;
};

}  // namespace plx
