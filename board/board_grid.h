// The small widgets the board is built from: a one-column grid of twelve rows whose cells hold
// only what was painted into them, and a label that reports clicks. A double click on either is
// one click: its first press and release already acted.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <array>

namespace plx {

class BoardGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRows = 12;
    static constexpr int kRowHeight = 16;
    static constexpr int kLine = 1;

    BoardGrid(const QString& name, int columnWidth, QWidget* parent);

    struct Cell {
        QColor background = Qt::white;
        QColor text;
        bool bold = false;
        QString content;
    };

    // Paints one cell; the grid keeps it until the next paint of that cell.
    void PaintCell(int row, const QColor& background, const QColor& textColour, bool bold, const QString& text);
    const Cell& CellAt(int row) const { return cells_[static_cast<std::size_t>(row)]; }
    QRect CellRect(int row) const;
    int RowAt(int y) const;  // -1 outside the rows
    int currentRow() const { return current_; }

signals:
    // Left click on a row (also the row already selected) or a move there with the keyboard.
    void cellSelected(int row);
    // Right button released over the grid; `row` may be -1 below the last row.
    void rightReleased(int row);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Select(int row);

    int columnWidth_;
    int current_ = 0;
    std::array<Cell, kRows> cells_;
};

class BoardLabel : public QLabel {
    Q_OBJECT
public:
    BoardLabel(const QString& name, QWidget* parent);

signals:
    void clicked();
    void rightPressed(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool releaseOfDoubleClick_ = false;
};

// Board label font: white bold proportional Gothic, 12-pixel characters.
void StyleBoardLabel(QLabel* label);

}  // namespace plx
