// Board grid and label widgets.
#include "board/board_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "common/shell/ui_font.h"

namespace plx {

BoardGrid::BoardGrid(const QString& name, int columnWidth, QWidget* parent)
    : QWidget(parent), columnWidth_(columnWidth) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::ClickFocus);
    setFont(UiFont(FontPitch::Fixed));
}

QRect BoardGrid::CellRect(int row) const {
    return QRect(0, row * (kRowHeight + kLine), columnWidth_, kRowHeight);
}

int BoardGrid::RowAt(int y) const {
    if (y < 0) return -1;
    int row = y / (kRowHeight + kLine);
    return row < kRows ? row : -1;
}

void BoardGrid::PaintCell(int row, const QColor& background, const QColor& textColour, bool bold, const QString& text) {
    if (row < 0 || row >= kRows) return;
    Cell& cell = cells_[static_cast<std::size_t>(row)];
    Cell painted{background, textColour, bold, text};
    if (cell.background == painted.background && cell.text == painted.text && cell.bold == painted.bold &&
        cell.content == painted.content)
        return;  // the board is redrawn every second; leave unchanged cells alone
    cell = painted;
    update(CellRect(row));
}

void BoardGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(160, 160, 160));  // the thin grid lines between cells
    for (int row = 0; row < kRows; ++row) {
        const Cell& cell = cells_[static_cast<std::size_t>(row)];
        QRect r = CellRect(row);
        painter.fillRect(r, cell.background);
        if (cell.content.isEmpty()) continue;
        QFont f = font();
        f.setBold(cell.bold);
        painter.setFont(f);
        painter.setPen(cell.text);
        QRect textRect = r.adjusted(2, 2, 0, 0);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, cell.content);
    }
}

void BoardGrid::Select(int row) {
    if (row < 0 || row >= kRows) return;
    current_ = row;
    emit cellSelected(row);
}

void BoardGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Select(RowAt(event->position().toPoint().y()));
    QWidget::mousePressEvent(event);
}

void BoardGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        QPoint p = event->position().toPoint();
        emit rightReleased(p.x() >= 0 && p.x() < width() ? RowAt(p.y()) : -1);
    }
    QWidget::mouseReleaseEvent(event);
}

void BoardGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The default handling would take the second press of a double click for another press.
    event->accept();
}

void BoardGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            Select(current_ - 1);
            break;
        case Qt::Key_Down:
            Select(current_ + 1);
            break;
        case Qt::Key_Home:
            Select(0);
            break;
        case Qt::Key_End:
            Select(kRows - 1);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

BoardLabel::BoardLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    StyleBoardLabel(this);
}

void BoardLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) emit rightPressed(event->globalPosition().toPoint());
    QLabel::mousePressEvent(event);
}

void BoardLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool second = std::exchange(releaseOfDoubleClick_, false);
    if (!second && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void BoardLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The release that ends a double click is not a click of its own.
    releaseOfDoubleClick_ = true;
    event->accept();
}

void StyleBoardLabel(QLabel* label) {
    QFont font = UiFont();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
}

}  // namespace plx
