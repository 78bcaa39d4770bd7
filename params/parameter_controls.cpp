// The slider panels, the menu "Lobes", "reset" and "reset all".

#include <QAction>
#include <QFrame>
#include <QLabel>

#include "app/image_box.h"
#include "app/main_window.h"
#include "results/table_texts.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace pulmora {

namespace {

// Slider k's matrix column is k - 1; its cell is shown in this history-table column.
constexpr int kHistoryColumnOf[kColumnCount] = {0, 1, 3, 4, 6, 7, 9, 10};

// The scale labels each slider enables with itself (TrackBar8 shares TrackBar7's).
constexpr std::initializer_list<const char*> kScale[9] = {
    {},
    {"Label33", "Label1", "Label2", "Label3", "Label4"},
    {"Label40", "Label41", "Label42", "Label43", "Label44"},
    {"Label7", "Label8", "Label9", "Label10", "Label51"},
    {},
    {"Label34", "Label12", "Label13", "Label14", "Label15"},
    {"Label45", "Label46", "Label47", "Label48", "Label49"},
    {"Label36", "Label37", "Label18", "Label38", "Label39"},
    {},
};

// Which sliders each active panel opens: 1 main, 3 middle, 4 peripheral, 5 lungs.
struct PanelSliders {
    int panel;
    std::initializer_list<int> sliders;
};
constexpr PanelSliders kPanels[] = {{1, {1}}, {3, {2, 3}}, {4, {5, 6}}, {5, {7, 8}}};

// A lobe has no main airway, collapsible dead volume or size of its own.
constexpr int kNotForLobes[] = {1, 2, 7};

} // namespace

void TForm1::ApplyEnableRules() {
    const ParameterSet& p = state().session.parameters;
    for (const PanelSliders& ps : kPanels) {
        const bool open = p.activePanel == ps.panel;
        for (int k : ps.sliders) {
            TrackBars[k]->setEnabled(open);
            for (const char* name : kScale[k]) label(name)->setEnabled(open);
        }
    }
    TrackBars[4]->setEnabled(false);
    if (p.selectedLungPart >= 1 && p.selectedLungPart <= 5)
        for (int k : kNotForLobes) TrackBars[k]->setEnabled(false);
}

void TForm1::PanelClick(QFrame* panel) {
    // The region picture of the panel, captioned at its bottom centre.
    struct Region {
        QFrame* panel;
        int active;
        int picture;
    };
    const Region regions[] = {{Panel1, 1, 2}, {Panel2, 3, 3}, {Panel3, 4, 4}, {Panel4, 5, 5}};
    for (const Region& r : regions) {
        if (r.panel != panel) continue;
        state().session.parameters.activePanel = r.active;
        ApplyEnableRules();
        ShowPicture(r.picture, Image1->width() / 2, Image1->height() - 60);
    }
}

void TForm1::SliderChanged(int column, int position) {
    ParameterSet& p = state().session.parameters;
    const double value = setCellFromPosition(p, p.selectedLungPart, column, position);
    StringGrid2->setCells(kHistoryColumnOf[column], 0,
                          QString::fromStdString(historyCellText(value, decimalSeparator_)));
    StringGrid2->repaint();
    ShowComment(column + 1);
}

void TForm1::PlaceSliders(int slot, bool keepMatrix) {
    if (slot == -1) slot = 0;
    ParameterSet& p = state().session.parameters;
    const SimulationRecord& record = state().session.history->slot(slot);
    if (!keepMatrix) loadMatrixFromRecord(p, record);
    // Each slider whose position changes writes its own value back (an off-grid value is
    // replaced by its nearest slider value).
    for (int k = 1; k <= 8; ++k)
        TrackBars[k]->setPosition(
            positionFromValue(kColumnSliders[k - 1], p.cell(p.selectedLungPart, k - 1)));
    p.currentOptionValue = record.options[p.selectedOption - 1];
    TrackBars[9]->setPosition(positionFromValue(kOptionSlider, p.currentOptionValue));
}

void TForm1::LungPartMenuItem(int lungPart) {
    struct Item {
        int code;
        const char* action;
        const char* caption;
    };
    constexpr Item kItems[] = {{0, "Bothlungs1", "Both lungs"},
                               {-2, "Leftlung1", "Left lung"},
                               {-1, "Rightlung1", "Right lung"},
                               {1, "Leftupperlobe1", "Left upper lobe"},
                               {2, "Leftlowerlobe1", "Left lower lobe"},
                               {3, "Rightupperlobe1", "Right upper lobe"},
                               {4, "Rightmiddlelobe1", "Right middle lobe"},
                               {5, "Rightlowerlobe1", "Right lower lobe"}};
    for (const Item& item : kItems) {
        if (item.code != lungPart) continue;
        state().session.parameters.selectedLungPart = lungPart;
        menuItem(item.action)->setChecked(true);
        label("Label56")->setText(item.caption);
        label("Label56")->adjustSize();
    }
    for (int r = 1; r <= 3; ++r) FillHistoryRow(r, r);
    FillHistoryRow(4, 0);
    StringGrid2->repaint();
    StringGrid3->repaint();
    ApplyEnableRules();
    const int selected = state().session.history->selectedRun;
    PlaceSliders(selected >= 1 ? selected : 0, true);
}

void TForm1::Button1Click() {
    for (int k = 1; k <= 6; ++k) TrackBars[k]->setPosition(200);
    TrackBars[7]->setPosition(300);
    TrackBars[8]->setPosition(300);
    TrackBars[9]->setPosition(200);
    ClearComment();
}

void TForm1::Button11Click() {
    Button1Click();
    state().session.parameters.resetToDefaults();
}

} // namespace pulmora
