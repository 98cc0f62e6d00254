// The odds tab widget.
#include "board/odds_board.h"

#include "board/board_model.h"
#include "board/race_board.h"
#include "board/race_pages.h"
#include "common/program_state.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {
namespace {

const QColor kLinkText(255, 255, 128);

}  // namespace

OddsBoard::OddsBoard(RaceBoard& board, QWidget* parent) : QWidget(parent), board_(board) {
    setObjectName(QStringLiteral("ts_odds_board"));
    setFixedSize(234, 246);

    BoardLabels labels = AddBoardLabels(this, board_, QStringLiteral("l_odds_opdt"), QStringLiteral("l_odds_rcourse"),
                                        QStringLiteral("l_odds_r"));
    l_odds_opdt = labels.date;
    l_odds_rcourse = labels.venues;
    l_odds_r = labels.races;

    for (int c = 0; c < 3; ++c) {
        const int column = c + 1;
        auto* html = new BoardGrid(QStringLiteral("sg_html%1").arg(column), 28, this);
        html->setGeometry(kBoardColumnLeft[c], kBoardGridTop, 30, kBoardGridHeight);
        connect(html, &BoardGrid::cellSelected, this, [this, column](int row) { sg_htmlSelectCell(column, row); });
        sg_html[c] = html;

        auto* java = new BoardGrid(QStringLiteral("sg_java%1").arg(column), 28, this);
        java->setGeometry(kBoardColumnLeft[c] + 30, kBoardGridTop, 30, kBoardGridHeight);
        connect(java, &BoardGrid::cellSelected, this, [this, column](int row) { sg_javaSelectCell(column, row); });
        sg_java[c] = java;
    }
}

void OddsBoard::paintEvent(QPaintEvent*) {
    PaintTabBackground(this);
}

void OddsBoard::FillOddsTab() {
    board_.drawing = true;
    const Timetable& table = TheTimetable();
    l_odds_opdt->setText(QString::fromUtf8(YmdSlash(BoardDateYmd(table))));
    for (int c = 0; c < 3; ++c) {
        int venue = ColumnVenue(Program().slotVenue, c + 1);
        l_odds_rcourse[c]->setText(QtText(VenueNameOf(venue)));
        for (int row = 0; row < 12; ++row) {
            bool race = !BoardRowAt(table, venue, row + 1).time.empty();
            board_.PaintCell(sg_html[c], row, Qt::black, kLinkText, false, race ? "HTML" : "");
            board_.PaintCell(sg_java[c], row, Qt::black, kLinkText, false, race ? "Java" : "");
        }
    }
    board_.drawing = false;
}

void OddsBoard::sg_htmlSelectCell(int column, int row) {
    board_.OpenRacePage(RacePage::OddsHtml, column, row);
}

void OddsBoard::sg_javaSelectCell(int column, int row) {
    board_.OpenRacePage(RacePage::OddsJava, column, row);
}

}  // namespace plx
