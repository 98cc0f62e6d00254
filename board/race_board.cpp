// The race board widget.
#include "board/race_board.h"

#include <QInputDialog>
#include <QPainter>

#include "board/board_model.h"
#include "board/timetable_file.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/shell/browser.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/venue.h"

namespace plx {
namespace {

const QColor kSelected(255, 255, 128);
const QColor kSilver(192, 192, 192);
// The Gothic faces here need 13 pixels for a 12-pixel line, so labels are one pixel taller than
// the 12 of the layout and the venue labels sit one pixel higher, clear of the grids below them.
constexpr int kLabelHeight = 13;
constexpr int kVenueLabelTop = 19;
constexpr int kRaceTop[12] = {36, 53, 70, 87, 104, 121, 139, 156, 173, 190, 207, 224};

std::optional<std::string> AskWithDialog(const std::string& caption, const std::string& prompt) {
    bool ok = false;
    QString entry = QInputDialog::getText(nullptr, QtText(caption), QtText(prompt), QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return Cp932Text(entry);
}

}  // namespace

void PaintTabBackground(QWidget* widget) {
    QPainter painter(widget);
    painter.fillRect(0, 0, 226, 244, QColor(128, 128, 128));
}

BoardLabels AddBoardLabels(QWidget* tab, RaceBoard& board, const QString& dateName, const QString& venuePrefix,
                           const QString& racePrefix) {
    BoardLabels labels;
    labels.date = new BoardLabel(dateName, tab);
    labels.date->setGeometry(4, 4, 73, kLabelHeight);
    QObject::connect(labels.date, &BoardLabel::clicked, tab, [&board] { board.l_yyyymmddClick(); });

    for (int c = 0; c < 3; ++c) {
        const int column = c + 1;
        auto* label = new BoardLabel(venuePrefix + QString::number(column), tab);
        label->setGeometry(kBoardColumnLeft[c], kVenueLabelTop, 60, kLabelHeight);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QObject::connect(label, &BoardLabel::clicked, tab, [&board, column] { board.l_basyoClick(column); });
        labels.venues[c] = label;
    }

    for (int r = 0; r < 12; ++r) {
        const int race = r + 1;
        auto* label = new BoardLabel(racePrefix + QString::number(race), tab);
        label->setGeometry(2, kRaceTop[r], 27, kLabelHeight);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setText(QStringLiteral("%1R").arg(race, 2, 10, QLatin1Char('0')));
        QObject::connect(label, &BoardLabel::clicked, tab, [&board, race] { board.l_rClick(race); });
        labels.races[r] = label;
    }
    return labels;
}

RaceBoard::RaceBoard(QWidget* parent) : QWidget(parent), askText_(AskWithDialog) {
    setObjectName(QStringLiteral("ts_race_board"));
    setFixedSize(234, 246);
    Build();
}

void RaceBoard::Build() {
    BoardLabels labels =
        AddBoardLabels(this, *this, QStringLiteral("l_yyyymmdd"), QStringLiteral("l_basyo"), QStringLiteral("l_r"));
    l_yyyymmdd = labels.date;
    l_basyo = labels.venues;
    l_r = labels.races;

    for (int c = 0; c < 3; ++c) {
        const int column = c + 1;
        connect(l_basyo[c], &BoardLabel::rightPressed, this,
                [this, column](const QPoint& at) { l_basyoMouseDown(column, at); });

        auto* time = new BoardGrid(QStringLiteral("sg_time%1").arg(column), 36, this);
        time->setGeometry(kBoardColumnLeft[c], kBoardGridTop, 38, kBoardGridHeight);
        connect(time, &BoardGrid::cellSelected, this, [this, column](int row) { sg_timeSelectCell(column, row); });
        connect(time, &BoardGrid::rightReleased, this, [this, column](int row) { sg_timeMouseUp(column, row); });
        sg_time[c] = time;

        auto* info = new BoardGrid(QStringLiteral("sg_info%1").arg(column), 10, this);
        info->setGeometry(kBoardColumnLeft[c] + 37, kBoardGridTop, 12, kBoardGridHeight);
        connect(info, &BoardGrid::cellSelected, this, [this, column](int row) { sg_infoSelectCell(column, row); });
        sg_info[c] = info;

        auto* refund = new BoardGrid(QStringLiteral("sg_rfd%1").arg(column), 10, this);
        refund->setGeometry(kBoardColumnLeft[c] + 48, kBoardGridTop, 12, kBoardGridHeight);
        connect(refund, &BoardGrid::cellSelected, this, [this, column](int row) { sg_rfdSelectCell(column, row); });
        sg_rfd[c] = refund;
    }

    l_msg = new QLabel(this);
    l_msg->setObjectName(QStringLiteral("l_msg"));
    StyleBoardLabel(l_msg);
    l_msg->setWordWrap(true);
    QPalette palette = l_msg->palette();
    palette.setColor(QPalette::WindowText, kSelected);
    l_msg->setPalette(palette);
    l_msg->setText(QString::fromUtf8("競艇開催日にMARLOでデータがダウンロードされるまでこの画面は機能しません。"));
    l_msg->setGeometry(4, 4, 217, std::max(25, l_msg->heightForWidth(217)));  // the whole text, however it wraps
    l_msg->hide();

    pm_basyo = new QMenu(this);
    pm_basyo->setObjectName(QStringLiteral("pm_basyo"));
    pm_basyo->setProperty("tag", 0);
    for (int venue = 1; venue <= kVenueCount; ++venue) {
        QAction* item = pm_basyo->addAction(QtText(VenueNameOf(venue)));
        connect(item, &QAction::triggered, this, [this, venue] { N1Click(venue - 1); });
    }
}

void RaceBoard::paintEvent(QPaintEvent*) {
    PaintTabBackground(this);
}

void RaceBoard::PaintCell(BoardGrid* grid, int row, const QColor& background, const QColor& textColour, bool bold,
                          const std::string& text) {
    // The Japanese UI fonts draw the backslash byte as the yen mark; say what they mean.
    grid->PaintCell(row, background, textColour, bold, QtText(text).replace(QLatin1Char('\\'), QChar(0x00A5)));
}

void RaceBoard::DrawBoard() {
    drawing = true;
    const Timetable& table = TheTimetable();
    const BoardVenues& venues = Program().slotVenue;
    std::string ymd = BoardDateYmd(table);
    l_yyyymmdd->setText(QtText(YmdSlash(ymd)));
    l_msg->setVisible(ymd.empty());
    for (int c = 0; c < 3; ++c) {
        l_basyo[c]->setVisible(!ymd.empty());
        int venue = ColumnVenue(venues, c + 1);
        l_basyo[c]->setText(QtText(VenueNameOf(venue)));
        for (int race = 1; race <= kRacesPerVenue; ++race) {
            BoardRow row = BoardRowAt(table, venue, race);
            PaintCell(sg_time[c], race - 1, row.selected ? kSelected : QColor(Qt::white),
                      row.selected ? QColor(Qt::black) : kSilver, true, row.time);
            PaintCell(sg_info[c], race - 1, Qt::white, kSilver, true, row.info);
            PaintCell(sg_rfd[c], race - 1, Qt::white, kSilver, true, row.refund);
        }
    }
    drawing = false;
}

void RaceBoard::ToggleAlarms(int column, int race) {
    plx::ToggleAlarms(TheTimetable(), Program().slotVenue, Program().settings, column, race);
    SaveTimetable();
    DrawBoard();
}

void RaceBoard::EditCloseTime(int column, int race) {
    std::optional<std::string> entry = askText_(SJ("電投締切時刻変更"), SJ("時刻を4桁で入力してください"));
    if (!entry) return;
    if (!IsAcceptedCloseTime(*entry)) {
        ShowMsg(SJ("時刻の入力に誤りがあります。"));
        return;
    }
    int venue = ColumnVenue(Program().slotVenue, column);
    if (!Timetable::IsValidSlot(venue, race)) return;  // a column without a venue has no slot to change
    PutField(TheTimetable().Slot(venue, race).CLOSETM, *entry);
    SaveTimetable();
    DrawBoard();
}

void RaceBoard::sg_timeMouseUp(int column, int row) {
    if (row >= 0) EditCloseTime(column, row + 1);
}

void RaceBoard::l_basyoMouseDown(int column, const QPoint& globalPos) {
    pm_basyo->setProperty("tag", column);
    pm_basyo->popup(globalPos);
}

void RaceBoard::N1Click(int itemIndex) {
    int column = pm_basyo->property("tag").toInt();
    if (column < 1 || column > 3 || itemIndex < 0 || itemIndex >= kVenueCount) return;
    Program().slotVenue[static_cast<std::size_t>(column - 1)] = itemIndex + 1;
    DrawBoard();
}

void RaceBoard::OpenRacePage(RacePage page, int column, int row) {
    std::string address = RacePageAddressAt(page, column, row);
    if (!address.empty()) OpenBrowser(address);
}

}  // namespace plx
