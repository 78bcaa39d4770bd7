#include "toolkit/string_grid.h"

#include "toolkit/font_size.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cassert>

namespace pulmora {

namespace {

// The default drawing writes a cell's text this far right of and below its top-left corner.
constexpr int kTextInset = 2;

} // namespace

StringGrid::StringGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // Right presses reach mousePressEvent and nothing else, so the owner decides what they do.
    setContextMenuPolicy(Qt::PreventContextMenu);
    cells_.assign(rowCount_, std::vector<QString>(colCount_));
    colWidths_.assign(colCount_, kDefaultColWidth);
    rowHeights_.assign(rowCount_, kDefaultRowHeight);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setSingleStep(1);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int v) { setTopRow(v); });
}

void StringGrid::setColCount(int n) {
    assert(n >= 1 && "a grid needs at least one column");
    colCount_ = n;
    for (auto& r : cells_)
        r.resize(n);
    colWidths_.resize(n, kDefaultColWidth);
    col_ = std::min(col_, n - 1);
    updateScrollBar();
    update();
}

void StringGrid::setRowCount(int n) {
    assert(n > fixedRows_ && "a grid needs a row below its fixed rows");
    rowCount_ = n;
    cells_.resize(n, std::vector<QString>(colCount_));
    rowHeights_.resize(n, kDefaultRowHeight);
    row_ = std::min(row_, n - 1);
    topRow_ = std::min(topRow_, n - 1);
    updateScrollBar();
    update();
}

void StringGrid::setFixedRows(int n) {
    assert((n == 0 || n == 1) && "a grid has no fixed row or one header row");
    assert(n < rowCount_ && "a grid needs a row below its fixed rows");
    // The current cell and the view go back to the first row below the fixed ones.
    fixedRows_ = n;
    row_ = n;
    topRow_ = n;
    updateScrollBar();
    update();
}

QString StringGrid::cells(int col, int row) const {
    assert(col >= 0 && col < colCount_ && row >= 0 && row < rowCount_ && "cell outside the grid");
    return cells_[row][col];
}

void StringGrid::setCells(int col, int row, const QString& text) {
    assert(col >= 0 && col < colCount_ && row >= 0 && row < rowCount_ && "cell outside the grid");
    cells_[row][col] = text;
    update();
}

int StringGrid::colWidth(int col) const {
    assert(col >= 0 && col < colCount_ && "column outside the grid");
    return colWidths_[col];
}

void StringGrid::setColWidth(int col, int width) {
    assert(col >= 0 && col < colCount_ && "column outside the grid");
    colWidths_[col] = std::max(0, width);
    update();
}

int StringGrid::rowHeight(int row) const {
    assert(row >= 0 && row < rowCount_ && "row outside the grid");
    return rowHeights_[row];
}

void StringGrid::setRowHeight(int row, int height) {
    assert(row >= 0 && row < rowCount_ && "row outside the grid");
    rowHeights_[row] = std::max(0, height);
    updateScrollBar();
    update();
}

void StringGrid::setColor(const QColor& c) {
    color_ = c;
    update();
}

void StringGrid::setFixedColor(const QColor& c) {
    fixedColor_ = c;
    update();
}

void StringGrid::setFontColor(const QColor& c) {
    fontColor_ = c;
    update();
}

void StringGrid::setGridLineColor(const QColor& c) {
    gridLineColor_ = c;
    update();
}

void StringGrid::setFontSize(int points) {
    QFont f = font();
    setFontPoints(f, points);
    setFont(f);
}

int StringGrid::fontSize() const {
    return fontPoints(font());
}

void StringGrid::setVerticalScrollBar(bool on) {
    wantScrollBar_ = on;
    updateScrollBar();
    update();
}

void StringGrid::setTopRow(int row) {
    row = std::clamp(row, fixedRows_, maxTopRow());
    if (row == topRow_) return;
    topRow_ = row;
    scrollBar_->setValue(row);
    update();
}

void StringGrid::setCol(int col) {
    assert(col >= 0 && col < colCount_ && "column outside the grid");
    moveCurrent(col, row_);
}

void StringGrid::setRow(int row) {
    assert(row >= fixedRows_ && row < rowCount_ &&
           "the current row must be a row of the grid below its fixed rows");
    moveCurrent(col_, row);
}

int StringGrid::colLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += colWidths_[c] + kGridLineWidth;
    return x;
}

int StringGrid::fixedHeight() const {
    int y = 0;
    for (int r = 0; r < fixedRows_; ++r)
        y += rowHeights_[r] + kGridLineWidth;
    return y;
}

int StringGrid::rowTop(int row) const {
    if (row < fixedRows_) {
        int y = 0;
        for (int r = 0; r < row; ++r)
            y += rowHeights_[r] + kGridLineWidth;
        return y;
    }
    if (row < topRow_) return -1;
    int y = fixedHeight();
    for (int r = topRow_; r < row; ++r)
        y += rowHeights_[r] + kGridLineWidth;
    return y;
}

bool StringGrid::scrollBarNeeded() const {
    return wantScrollBar_ && maxTopRow() > fixedRows_;
}

int StringGrid::gridWidth() const {
    if (!scrollBarNeeded()) return width();
    return width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int StringGrid::maxTopRow() const {
    // The last rows fit when their cells and the lines between them do; the line under the very
    // last row may fall outside.
    const int room = height() - fixedHeight() + kGridLineWidth;
    int used = 0;
    int top = rowCount_;
    while (top > fixedRows_ && used + rowHeights_[top - 1] + kGridLineWidth <= room) {
        used += rowHeights_[top - 1] + kGridLineWidth;
        --top;
    }
    // Even a single row taller than the view is shown from its top.
    return std::max(fixedRows_, std::min(top, rowCount_ - 1));
}

void StringGrid::updateScrollBar() {
    const int top = maxTopRow();
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(fixedRows_, top);
    scrollBar_->setPageStep(std::max(1, rowCount_ - top));
    topRow_ = std::clamp(topRow_, fixedRows_, top);
    scrollBar_->setValue(topRow_);
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(width() - extent, 0, extent, height());
    scrollBar_->setVisible(scrollBarNeeded());
}

GridCell StringGrid::cellAt(QPoint pos) const {
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= gridWidth() || pos.y() >= height()) return {};
    GridCell cell;
    for (int c = 0, x = 0; c < colCount_; ++c) {
        x += colWidths_[c] + kGridLineWidth;
        if (pos.x() < x) {
            cell.col = c;
            break;
        }
    }
    for (int r = 0; r < rowCount_ && cell.col >= 0; ++r) {
        const int top = rowTop(r);
        if (top < 0) continue;
        if (pos.y() >= top && pos.y() < top + rowHeights_[r] + kGridLineWidth) {
            cell.row = r;
            break;
        }
    }
    return cell.valid() ? cell : GridCell{};
}

QRect StringGrid::cellRect(int col, int row) const {
    assert(col >= 0 && col < colCount_ && row >= 0 && row < rowCount_ && "cell outside the grid");
    const int top = rowTop(row);
    if (top < 0) return {};
    return QRect(colLeft(col), top, colWidths_[col], rowHeights_[row]);
}

QSize StringGrid::sizeHint() const {
    int h = 0;
    for (int r : rowHeights_)
        h += r + kGridLineWidth;
    return QSize(colLeft(colCount_), h);
}

void StringGrid::moveCurrent(int col, int row) {
    if (col == col_ && row == row_) return;
    col_ = col;
    row_ = row;
    // Bring the new row into view: scroll up to it, or down until its cell fits.
    if (row_ >= fixedRows_) {
        if (row_ < topRow_) setTopRow(row_);
        while (topRow_ < row_ && rowTop(row_) + rowHeights_[row_] > height()) {
            const int before = topRow_;
            setTopRow(topRow_ + 1);
            if (topRow_ == before) break; // scrolled as far as the rows go
        }
    }
    update();
    if (onSelectCell) onSelectCell(col_, row_);
}

void StringGrid::drawDefaultCell(QPainter& p, int col, int row, const QRect& r) const {
    p.fillRect(r, row < fixedRows_ ? fixedColor_ : color_);
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(fontColor_);
    p.drawText(QPoint(r.left() + kTextInset, r.top() + kTextInset + p.fontMetrics().ascent()),
               cells_[row][col]);
}

void StringGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = gridWidth();
    p.setClipRect(QRect(0, 0, w, height()));
    p.fillRect(QRect(0, 0, w, height()), color_);

    // The rows in view: the fixed ones, then from the top row down to the bottom edge.
    std::vector<int> rows;
    for (int r = 0; r < fixedRows_; ++r)
        rows.push_back(r);
    for (int r = topRow_; r < rowCount_ && rowTop(r) < height(); ++r)
        rows.push_back(r);
    const int right = std::min(w, colLeft(colCount_));
    const int bottom = rows.empty() ? 0 : rowTop(rows.back()) + rowHeights_[rows.back()] + 1;

    // Lines first, so that a cell drawing may paint over them.
    p.setPen(gridLineColor_);
    for (int c = 0; c < colCount_; ++c) {
        const int x = colLeft(c) + colWidths_[c];
        if (x >= w) break;
        p.drawLine(x, 0, x, bottom - 1);
    }
    for (int r : rows) {
        const int y = rowTop(r) + rowHeights_[r];
        p.drawLine(0, y, right - 1, y);
    }

    for (int r : rows) {
        for (int c = 0; c < colCount_ && colLeft(c) < w; ++c) {
            const QRect cell = cellRect(c, r);
            p.save();
            p.setFont(font());
            if (onDrawCell) {
                p.setPen(fontColor_);
                p.setBrush(r < fixedRows_ ? fixedColor_ : color_);
                onDrawCell(p, c, r, cell);
            } else {
                drawDefaultCell(p, c, r, cell);
            }
            p.restore();
        }
    }
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const GridCell cell = cellAt(pos);
        if (cell.valid() && cell.row >= fixedRows_) moveCurrent(cell.col, cell.row);
    }
    event->accept();
    if (onMouseDown) onMouseDown(event->button(), pos);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    int col = col_;
    int row = row_;
    switch (event->key()) {
    case Qt::Key_Up:
        row = std::max(fixedRows_, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(rowCount_ - 1, row + 1);
        break;
    case Qt::Key_Left:
        col = std::max(0, col - 1);
        break;
    case Qt::Key_Right:
        col = std::min(colCount_ - 1, col + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    moveCurrent(col, row);
}

void StringGrid::wheelEvent(QWheelEvent* event) {
    if (!scrollBarNeeded()) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    setTopRow(topRow_ - notches);
}

void StringGrid::resizeEvent(QResizeEvent*) {
    updateScrollBar();
}

} // namespace pulmora
