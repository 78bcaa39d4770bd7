#pragma once
// A table of text cells that draws itself, the way the results tables are specified: whole-pixel
// column widths and row heights with 1-pixel grid lines between them, an optional fixed header
// row, scrolling by whole rows, a current cell, and callbacks for drawing a cell, for a change of
// the current cell and for every mouse press.

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QScrollBar;

namespace pulmora {

struct GridCell {
    int col = -1; // column index, −1 when the point is on no cell
    int row = -1; // row index, −1 when the point is on no cell
    bool valid() const { return col >= 0 && row >= 0; }
    bool operator==(const GridCell&) const = default;
};

class StringGrid : public QWidget {
    Q_OBJECT

  public:
    // Every column and row is this big until set otherwise, in pixels without the grid line.
    static constexpr int kDefaultColWidth = 64;
    static constexpr int kDefaultRowHeight = 24;
    // Grid lines are part of the layout: column c starts at the sum of (width + 1) before it.
    static constexpr int kGridLineWidth = 1;

    explicit StringGrid(QWidget* parent = nullptr);

    // Dimensions. Growing keeps the texts and sizes already set; new cells are empty.
    int colCount() const { return colCount_; }
    void setColCount(int n);
    int rowCount() const { return rowCount_; }
    void setRowCount(int n);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n); // 0 or 1: a fixed row stays on top and cannot become current

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& text); // repaints later, when Qt next paints

    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int height);

    // Look.
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    QColor fixedColor() const { return fixedColor_; }
    void setFixedColor(const QColor& c);
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& c);
    QColor gridLineColor() const { return gridLineColor_; }
    void setGridLineColor(const QColor& c);
    // The font is QWidget's own, font() and setFont(); a size in points maps to pixels at 96 dpi.
    void setFontSize(int points);
    int fontSize() const;

    // A vertical scroll bar that appears whenever the rows below the fixed one do not fit.
    bool verticalScrollBar() const { return wantScrollBar_; }
    void setVerticalScrollBar(bool on);
    int topRow() const { return topRow_; } // first scrollable row shown under the fixed rows
    void setTopRow(int row);

    // The current cell. Changing it by a program (to another cell) notifies onSelectCell too.
    int col() const { return col_; }
    void setCol(int col);
    int row() const { return row_; }
    void setRow(int row);

    // Geometry in widget coordinates. A point on a grid line belongs to the cell before it.
    GridCell cellAt(QPoint pos) const;
    QRect cellRect(int col, int row) const; // empty when the cell is scrolled out of view

    // Draws a cell instead of the default drawing (background, then the text 2 pixels right and
    // below the cell's corner). The painter comes with the grid's font, the font colour as pen
    // and the background colour as brush; it is clipped to the grid, not to the cell, so a
    // drawing may run across other cells. Cells are drawn row by row, left to right.
    std::function<void(QPainter& painter, int col, int row, const QRect& cellRect)> onDrawCell;
    // The current cell has moved to (col, row), by a left click, an arrow key or setCol/setRow;
    // row() and col() already give the new cell.
    std::function<void(int col, int row)> onSelectCell;
    // Any mouse press, after the grid has moved the current cell for a left click. A right
    // press never moves the current cell by itself. The position is in the grid's coordinates.
    std::function<void(Qt::MouseButton button, QPoint pos)> onMouseDown;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int colLeft(int col) const;
    int rowTop(int row) const; // −1 when scrolled out of view
    int fixedHeight() const;
    bool scrollBarNeeded() const;
    int gridWidth() const; // the drawing area, without the scroll bar
    int maxTopRow() const; // largest top row that still fills the view
    void moveCurrent(int col, int row);
    void updateScrollBar();
    void drawDefaultCell(QPainter& p, int col, int row, const QRect& r) const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedRows_ = 1;
    std::vector<std::vector<QString>> cells_; // by row, then by column
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    QColor color_ = Qt::white;
    QColor fixedColor_ = QColor(0xC0, 0xC0, 0xC0);
    QColor fontColor_ = Qt::black;
    QColor gridLineColor_ = QColor(0x80, 0x80, 0x80);
    bool wantScrollBar_ = false;
    QScrollBar* scrollBar_ = nullptr;
    int topRow_ = 1;
    int col_ = 0;
    int row_ = 1;
};

} // namespace pulmora
