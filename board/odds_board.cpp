// The odds tab widget.
#include "board/odds_board.h"

#include "board/board_model.h"
#include "board/race_board.h"
#include "board/race_pages.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {
namespace {

constexpr int kColumnLeft[3] = {32, 96, 160};
// The Gothic faces here need 13 pixels for a 12-pixel line, so labels are one pixel taller than
// the 12 of the layout and the venue labels sit one pixel higher, clear of the grids below them.
constexpr int kLabelHeight = 13;
constexpr int kVenueLabelTop = 19;
constexpr int kRaceTop[12] = {36, 53, 70, 87, 104, 121, 139, 156, 173, 190, 207, 224};
const QColor kLinkText(255, 255, 128);

}  // namespace

OddsBoard::OddsBoard(RaceBoard& board, QWidget* parent) : QWidget(parent), board_(board) {
    setObjectName(QStringLiteral("ts_odds_board"));
    setFixedSize(234, 246);

    l_odds_opdt = new BoardLabel(QStringLiteral("l_odds_opdt"), this);
    l_odds_opdt->setGeometry(4, 4, 73, kLabelHeight);
    connect(l_odds_opdt, &BoardLabel::clicked, this, [this] { board_.l_yyyymmddClick(); });

    for (int c = 0; c < 3; ++c) {
        const int column = c + 1;
        auto* label = new BoardLabel(QStringLiteral("l_odds_rcourse%1").arg(column), this);
        label->setGeometry(kColumnLeft[c], kVenueLabelTop, 60, kLabelHeight);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        connect(label, &BoardLabel::clicked, this, [this, column] { board_.l_basyoClick(column); });
        l_odds_rcourse[c] = label;

        auto* html = new BoardGrid(QStringLiteral("sg_html%1").arg(column), 28, this);
        html->setGeometry(kColumnLeft[c], 32, 30, 205);
        connect(html, &BoardGrid::cellSelected, this, [this, column](int row) { sg_htmlSelectCell(column, row); });
        sg_html[c] = html;

        auto* java = new BoardGrid(QStringLiteral("sg_java%1").arg(column), 28, this);
        java->setGeometry(kColumnLeft[c] + 30, 32, 30, 205);
        connect(java, &BoardGrid::cellSelected, this, [this, column](int row) { sg_javaSelectCell(column, row); });
        sg_java[c] = java;
    }
    for (int r = 0; r < 12; ++r) {
        const int race = r + 1;
        auto* label = new BoardLabel(QStringLiteral("l_odds_r%1").arg(race), this);
        label->setGeometry(2, kRaceTop[r], 27, kLabelHeight);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setText(QStringLiteral("%1R").arg(race, 2, 10, QLatin1Char('0')));
        connect(label, &BoardLabel::clicked, this, [this, race] { board_.l_rClick(race); });
        l_odds_r[r] = label;
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
        l_odds_rcourse[c]->setText(QString::fromUtf8(Cp932ToUtf8(VenueNameOf(venue))));
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
