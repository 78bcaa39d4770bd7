#include "app/main_window_layout.h"

#include "core/rounding.h"

namespace pulmora {

namespace {

constexpr int kDesignScreenWidth = 1280;
constexpr int kGridRows = 5;
constexpr int kResultRows = 16;
constexpr int kGridLine = 1;

int roundInt(double v) { return static_cast<int>(roundHalfEven(v)); }

// Places a scale label: for a slider with n intervals, label i sits i steps below the top.
LayoutRect scaleLabel(const LayoutRect& slider, int n, int i, int left, LayoutSize size) {
    const int step = roundInt(slider.height * 0.8 / n);
    return {left, slider.top + mulDiv(slider.height, 1, 25) + i * step, size.width, size.height};
}

} // namespace

int scaleByScreen(int value, int screenWidth) {
    return mulDiv(value, screenWidth, kDesignScreenWidth);
}

MainWindowLayout LayoutMainWindow(const LayoutInput& in) {
    MainWindowLayout L;
    L.scaleNumerator = in.screenWidth;
    const int CW = in.clientWidth, CH = in.clientHeight;
    auto scaled = [&](int v) { return scaleByScreen(v, in.screenWidth); };

    // Upper part: the lung picture, the two plots.
    L.Image1 = {10, 0, roundInt(CW * 0.38), mulDiv(CH, 55, 100)};
    L.Image2 = {L.Image1.right() + 10, L.Image1.top, L.Image1.width,
                mulDiv(L.Image1.height, 75, 100)};
    L.Image3 = {L.Image2.left, L.Image2.bottom() + mulDiv(L.Image1.height, 1, 100),
                L.Image2.width, mulDiv(L.Image1.height, 24, 100)};

    // Frames.
    L.Panel6 = {10, L.Image1.bottom() + 10, CW - 20, 0};
    L.Panel6.height = CH - L.Panel6.top - 20;
    L.Panel5 = {20, L.Panel6.top + in.comboHeight + 10, mulDiv(CW, 38, 100),
                L.Panel6.height / 2 - 5};

    // Slider panels.
    L.U = mulDiv(L.Panel5.width - 40, 1, 3);
    L.H = L.Panel5.height - 20;
    const int U = L.U, H = L.H;
    const int panelTop = L.Panel5.top + 15;
    L.Panel7 = {L.Panel5.right() + 5, L.Panel5.top, U + 10, L.Panel5.height};
    L.Panel1 = {L.Panel5.left + 5, panelTop, (U - 5) / 2 + 3, H};
    L.Panel2 = {L.Panel5.left + L.Panel1.width + 20, panelTop, roundInt(U * 1.5), H};
    L.Panel3 = {L.Panel5.left + 2 * U + 35, panelTop, U, H};
    L.Panel4 = {L.Panel7.left + 5, panelTop, U, H};

    // Sliders, in their panel's coordinates.
    for (int k = 1; k <= 8; ++k) {
        LayoutRect& s = L.TrackBar[k];
        s.width = scaled(kTrackBarDesignWidth[k]);
        s.height = mulDiv(H, 4, 5);
        s.top = H - s.height - 1;
    }
    L.TrackBar[1].left = L.TrackBar[2].left = L.TrackBar[7].left = 3;
    L.TrackBar[3].left = U / 2 + 15;
    L.TrackBar[4].left = L.Panel2.width - L.TrackBar[4].width - 3;
    L.TrackBar[5].left = U / 2 - L.TrackBar[5].width;
    L.TrackBar[6].left = U / 2;
    L.TrackBar[8].left = L.Panel4.width - L.TrackBar[8].width - 3;

    // Headers of the frames.
    L.Label5 = {5, 1, 0, 0};
    L.Label11 = {((L.Panel5.width - in.label11.width) / 10) * 4, 1, in.label11.width,
                 in.label11.height};
    L.Label16 = {L.Panel5.width - in.label16.width - 15, 1, in.label16.width, in.label16.height};

    // Title labels sit on their sliders.
    for (int k = 1; k <= 8; ++k) {
        const LayoutRect& s = L.TrackBar[k];
        const LayoutSize size = in.trackTitle[k];
        L.TrackTitle[k] = {s.left, s.top - size.height + 2, size.width, size.height};
    }
    L.TrackTitle[5].left = 1;
    L.TrackTitle[6].left = L.Panel3.width - in.trackTitle[6].width - 5;
    L.TrackTitle[8].left = L.TrackBar[8].left - 2;

    // Scale labels: TrackBar3 has none at the top; TrackBar7's are centred in their panel
    // and serve TrackBar8 too.
    struct Scale {
        int slider, intervals, firstIndex;
    };
    constexpr Scale kScales[] = {{1, 4, 0}, {2, 4, 0}, {3, 5, 1}, {5, 4, 0}, {6, 4, 0}, {7, 4, 0}};
    for (const Scale& sc : kScales) {
        const LayoutRect& s = L.TrackBar[sc.slider];
        for (int i = sc.firstIndex; i <= sc.intervals; ++i) {
            const LayoutSize size = in.scaleLabels[sc.slider][i];
            int left = s.left + s.width;
            if (sc.slider == 5) left = 2;
            if (sc.slider == 7) left = (L.Panel4.width - size.width) / 2;
            L.ScaleLabel[sc.slider][i] = scaleLabel(s, sc.intervals, i, left, size);
        }
    }

    // Button column.
    L.X0 = L.Panel7.right() + 5;
    const int X0 = L.X0;
    L.Button2 = {X0, L.Panel7.top, 90, 40};
    L.Button1 = {X0, L.Button2.bottom() + 6, 43, 27};
    L.Button11 = {L.Button1.right() + 2, L.Button1.top, 45, 27};
    L.Button9 = {X0, L.Button1.bottom() + 6, 43, 25};
    L.Button10 = {L.Button9.right() + 5, L.Button9.top, 43, 25};
    L.Button8 = {X0, L.Button9.bottom() + 1, 90, 25};
    L.GroupBox1 = {X0, L.Panel5.bottom() + 5, 90, 0};
    L.GroupBox1.height = L.Panel6.bottom() - L.GroupBox1.top - 5;
    const int bw = roundInt(L.GroupBox1.width * 0.8);
    L.Button3 = {roundInt(L.GroupBox1.width * 0.1), roundInt(L.GroupBox1.height * 0.2), bw, 20};
    L.Button6 = {L.Button3.left, L.Button3.bottom() + 10, bw, 20};
    L.Button12 = {L.Button3.left, L.Button6.bottom() + 10, bw, 20};

    // Labels of the bottom frame: their lefts are window coordinates taken over unchanged.
    L.Label56 = {L.Panel2.left + L.Panel2.width / 2, 5, 0, 0};
    L.Label26 = {L.Button2.left, 5, 0, 0};
    L.Label21 = {L.Panel7.width / 2 - in.label21.width / 2, 0, in.label21.width,
                 in.label21.height};

    L.grid1LargeFont = in.screenHeight > 768;

    // Results table.
    L.StringGrid1.left = L.Image2.right() + 10;
    L.StringGrid1.top = L.Image2.top;
    L.StringGrid1.width = CW - L.StringGrid1.left - 10;
    const int W = L.StringGrid1.width;
    L.grid1ColumnWidths = {roundInt(W * 0.33), roundInt(W * 0.12), roundInt(W * 0.2),
                           roundInt(W * 0.2), roundInt(W * 0.11)};
    L.StringGrid1.height = L.Image1.height;
    L.grid1RowHeight = L.StringGrid1.height / kResultRows - kGridLine;

    // History table and option column: rows fill the frame below the airway panels.
    auto rowHeightFrom = [&](int top) { return (L.Panel6.bottom() - top - 5) / kGridRows; };
    L.StringGrid2 = {20, L.Panel5.bottom() + 5, 0, 0};
    for (int c = 0; c < 11; ++c) L.grid2ColumnWidths[c] = (c == 2 || c == 5 || c == 8) ? 15 : U / 2;
    for (int w : L.grid2ColumnWidths) L.StringGrid2.width += w + kGridLine;
    L.grid2RowHeight = rowHeightFrom(L.StringGrid2.top);
    L.StringGrid2.height = kGridRows * (L.grid2RowHeight + kGridLine);

    L.StringGrid3 = {L.Button2.right() + 5, L.Panel5.bottom() + 5, 0, 0};
    L.grid3ColumnWidth = U / 2;
    L.StringGrid3.width = L.grid3ColumnWidth + kGridLine;
    L.grid3RowHeight = rowHeightFrom(L.StringGrid3.top);
    L.StringGrid3.height = kGridRows * (L.grid3RowHeight + kGridLine);

    // Option slider and its labels (lefts in window coordinates, tops in the frame's).
    L.TrackBar9 = {L.StringGrid3.right() + 5, L.StringGrid3.top, 0, in.trackBar9Height};
    L.TrackBar9.width = L.Panel6.right() - L.TrackBar9.left - 10;
    L.Label54 = {L.TrackBar9.left - 5, L.TrackBar9.bottom() - L.Panel6.top, in.label54.width,
                 in.label54.height};
    L.Label55 = {L.TrackBar9.right() - in.label55.width - 5, L.Label54.top, in.label55.width,
                 in.label55.height};
    L.Label53 = {L.TrackBar9.left, L.Label54.bottom(), 0, 0};

    // Comment box beside the option column's rows, as high as the lung frame.
    L.RichEdit1 = {L.Button2.right() + 5, L.Panel7.top, 0, L.Panel7.height};
    L.RichEdit1.width = L.Panel6.right() - L.RichEdit1.left - 10;
    return L;
}

} // namespace pulmora
