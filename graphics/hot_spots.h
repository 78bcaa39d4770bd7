#pragma once
// The picture's active points: a small ";"-separated text table, each row a point in whole
// percent of the picture's width and height and the region group it belongs to. Hovering a
// point shows its region's picture, a left click opens the region's slider panel, a right click
// its help page. The parsing and the hit test are plain functions; the table itself lives in the
// hidden grid `tparm`.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QString;

namespace pulmora {

class StringGrid;

// A point within less than this many percent, in both directions, hits a hot-spot.
constexpr int HotSpotRadius = 5;

// A hot-spot file is a few hundred bytes; a damaged or hostile one is read only this far, and
// the grid grows to at most this many rows and columns, so that memory stays small whatever the
// file holds.
constexpr std::size_t kHotSpotFileLimit = 1 << 20; // bytes
constexpr int kHotSpotRowLimit = 4096;
constexpr int kHotSpotColumnLimit = 32;

// The fields of each line of the file, row 0 the heading. A line ends at LF, CR or CR LF (the
// last may lack one); it is split at every ";" and at its end, a trailing ";" gives no empty
// last field, an empty line no field at all. Lines and fields beyond the limits are dropped.
using HotSpotLines = std::vector<std::vector<std::string>>;
HotSpotLines parseHotSpotText(std::string_view text);

// A whole decimal number, as the hit test reads columns 1 ... 3: leading blanks and a sign
// allowed, nothing after the digits ("12.5", "", "7 " are not whole numbers).
std::optional<int> parseWholeNumber(std::string_view text);

// A mouse position in whole percent of the picture's size, halves to even; 0 for an empty size.
int positionPercent(int position, int size);

// Whether the point (xp, yp) in percent hits the hot-spot at (hx, hy).
constexpr bool hitsHotSpot(int xp, int yp, int hx, int hy) {
    // In 64 bits: a file may hold any int.
    const long long dx = static_cast<long long>(xp) - hx, dy = static_cast<long long>(yp) - hy;
    const long long ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    return ax < HotSpotRadius && ay < HotSpotRadius;
}

// What a region group selects. Group 0 stands for "no hot-spot under the mouse".
struct HotSpotGroup {
    int slot;             // PictureTable slot shown on hover
    int panel;            // active panel after a left click (0 none)
    const char* helpPage; // page a right click opens
};
constexpr std::array<HotSpotGroup, 6> HotSpotGroups{{
    {1, 0, "helpfiles/H0000.rtf"}, // no hot-spot
    {1, 0, "helpfiles/H0001.rtf"}, // 1 the general view
    {2, 1, "helpfiles/H0001.rtf"}, // 2 main bronchi: Panel1
    {3, 3, "helpfiles/H0002.rtf"}, // 3 middle bronchi: Panel2
    {4, 4, "helpfiles/H0003.rtf"}, // 4 peripheral bronchi: Panel3
    {5, 5, "helpfiles/H0004.rtf"}, // 5 lungs: Panel4
}};

// The group of a hot-spot's column 3 for the picture: 1 ... 5, and 1 for anything else (no
// number, 0, or a group the pictures do not have).
int hoverGroup(std::string_view column3);

// Reads the file into the grid: row r of the grid gets line r's fields in columns 0, 1, ...;
// the grid grows to hold them (within the limits) and never shrinks, and cells the file does
// not reach keep their text. A missing file shows "File not found:" + path and leaves the grid
// unchanged; so does one that cannot be read. Returns whether the file was read.
bool LoadHotSpotTable(const QString& path, StringGrid& grid);

// The last grid row whose point is hit by (xp, yp) in percent, or -1.
int findHotSpotRow(const StringGrid& grid, int xp, int yp);

} // namespace pulmora
