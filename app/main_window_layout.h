#pragma once
// Where every control of the main window goes: the window is scaled by the screen width
// against 1280, then placed relative to the client area of the maximized window. Pure
// arithmetic, so the placement can be checked without a window.

#include <array>

namespace pulmora {

struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0; // in the parent's coordinates
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const LayoutRect&) const = default;
};

struct LayoutSize {
    int width = 0, height = 0;
};

// What the window measures before the layout runs. Label sizes come from their texts and
// fonts, already at the scaled font size.
struct LayoutInput {
    int screenWidth = 1280;
    int screenHeight = 1024;
    int clientWidth = 0;
    int clientHeight = 0;
    int comboHeight = 21; // a standard single-line combo box in the window font
    LayoutSize label11, label16, label21, label30, label54, label55;
    std::array<LayoutSize, 9> trackTitle{}; // title labels over TrackBar1 ... 8 (index 1 ... 8)
    std::array<std::array<LayoutSize, 6>, 9> scaleLabels{}; // per slider, index 0 (top) ... 5
    int trackBar9Height = 33; // the option slider keeps its design height
};

// The sliders' design widths, TrackBar1 ... 8.
constexpr std::array<int, 9> kTrackBarDesignWidth{0, 28, 28, 32, 21, 33, 33, 25, 33};

struct MainWindowLayout {
    int scaleNumerator = 1280; // the screen width M of the scaling
    int U = 0;                 // slider panel unit
    int H = 0;                 // slider panel height
    int X0 = 0;                // left of the button column
    LayoutRect Image1, Image2, Image3, Panel6, Panel5, Panel7, Panel1, Panel2, Panel3, Panel4;
    std::array<LayoutRect, 9> TrackBar{};  // index 1 ... 8, in their panel's coordinates
    std::array<LayoutRect, 9> TrackTitle{}; // title label of each slider, panel coordinates
    // Scale labels per slider (index 1 ... 8), index 0 at the top; unused entries stay empty.
    std::array<std::array<LayoutRect, 6>, 9> ScaleLabel{};
    LayoutRect Label5, Label11, Label16; // headers in Panel5
    LayoutRect Label21;                  // header in Panel7
    LayoutRect Label56, Label26, Label53, Label54, Label55; // in Panel6
    LayoutRect Button2, Button1, Button11, Button9, Button10, Button8, GroupBox1;
    LayoutRect Button3, Button6, Button12; // in GroupBox1
    LayoutRect StringGrid1, StringGrid2, StringGrid3, TrackBar9, RichEdit1;
    std::array<int, 5> grid1ColumnWidths{};
    int grid1RowHeight = 0;
    std::array<int, 11> grid2ColumnWidths{};
    int grid2RowHeight = 0;
    int grid3ColumnWidth = 0;
    int grid3RowHeight = 0;
    bool grid1LargeFont = false; // screens above 768 pixels high: the results table at 10 pt
    int panel6CornerEllipse = 30; // Panel6's corners: quarters of this ellipse
};

// Scales a design value by the screen width: muldiv(value, M, 1280).
int scaleByScreen(int value, int screenWidth);

MainWindowLayout LayoutMainWindow(const LayoutInput& in);

} // namespace pulmora
