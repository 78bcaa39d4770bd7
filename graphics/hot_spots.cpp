#include "graphics/hot_spots.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <charconv>
#include <climits>
#include <cmath>

#include "core/rounding.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"

namespace pulmora {

HotSpotLines parseHotSpotText(std::string_view text) {
    HotSpotLines lines;
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(lines.size()) < kHotSpotRowLimit) {
        std::size_t end = i;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const std::string_view line = text.substr(i, end - i);
        std::vector<std::string>& fields = lines.emplace_back();
        std::size_t start = 0;
        for (std::size_t j = 0; j < line.size(); ++j) {
            // A ";" and the line's end close a field; both at once close only one.
            const bool separator = line[j] == ';';
            if (!separator && j + 1 < line.size()) continue;
            const std::size_t stop = separator ? j : j + 1;
            if (static_cast<int>(fields.size()) < kHotSpotColumnLimit)
                fields.emplace_back(line.substr(start, stop - start));
            start = j + 1;
        }
        // CR LF is one line end.
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        i = end + 1;
    }
    return lines;
}

std::optional<int> parseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    long long value = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + i, last, value);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

int positionPercent(int position, int size) {
    if (size <= 0) return 0;
    return roundToIntClamped(position * 100.0 / size, -1'000'000, 1'000'000);
}

int hoverGroup(std::string_view column3) {
    const std::optional<int> g = parseWholeNumber(column3);
    return g && *g >= 1 && *g <= 5 ? *g : 1;
}

bool LoadHotSpotTable(const QString& path, StringGrid& grid) {
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        showMessage(grid.window(), "File not found:" + path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        showError(grid.window(),
                  QString("Cannot open file \"%1\". %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.read(kHotSpotFileLimit);
    const HotSpotLines lines = parseHotSpotText(std::string_view(bytes.constData(), bytes.size()));
    for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
        if (grid.rowCount() < r + 1) grid.setRowCount(r + 1);
        const std::vector<std::string>& fields = lines[r];
        for (int c = 0; c < static_cast<int>(fields.size()); ++c) {
            if (grid.colCount() < c + 1) grid.setColCount(c + 1);
            grid.setCells(
                c, r,
                QString::fromUtf8(fields[c].data(), static_cast<qsizetype>(fields[c].size())));
        }
    }
    return true;
}

int findHotSpotRow(const StringGrid& grid, int xp, int yp) {
    int hovered = -1;
    if (grid.colCount() < 3) return hovered;
    // Every row is tested: where hot-spots overlap, the later row decides.
    for (int r = 1; r < grid.rowCount(); ++r) {
        const std::optional<int> hx = parseWholeNumber(grid.cells(1, r).toStdString());
        const std::optional<int> hy = parseWholeNumber(grid.cells(2, r).toStdString());
        if (hx && hy && hitsHotSpot(xp, yp, *hx, *hy)) hovered = r;
    }
    return hovered;
}

} // namespace pulmora
