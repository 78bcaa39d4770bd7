// The menu "Options" and the option slider.

#include <QAction>
#include <QLabel>

#include "app/main_window.h"
#include "results/table_texts.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace pulmora {

namespace {

struct OptionItem {
    const char* action;
    const char* caption;
};
constexpr OptionItem kOptionItems[7] = {{nullptr, nullptr},
                                        {"N11", "expiration deepness"},
                                        {"N21", "expiration rapidity"},
                                        {"N31", "inspiration deepness"},
                                        {"N41", "end expiration airflow"},
                                        {"N51", "mediastinum compliance"},
                                        {"N61", "scoliosis (left%right)"}};

} // namespace

void TForm1::OptionMenuItem(int option) {
    if (option < 1 || option > 6) return;
    ParameterSet& p = state().session.parameters;
    p.selectedOption = option;
    menuItem(kOptionItems[option].action)->setChecked(true);
    label("Label53")->setText(kOptionItems[option].caption);
    label("Label53")->adjustSize();
    p.currentOptionValue = p.option(option);
    TrackBars[9]->setPosition(positionFromValue(kOptionSlider, p.currentOptionValue));
    const RunHistory& history = *state().session.history;
    for (int r = 1; r <= 3; ++r)
        StringGrid3->setCells(0, r, QString::fromStdString(historyCellText(
                                        history.slot(r).options[option - 1], decimalSeparator_)));
    StringGrid3->setCells(0, 4, QString::fromStdString(historyCellText(
                                    history.slot(0).options[option - 1], decimalSeparator_)));
    StringGrid3->repaint();
}

void TForm1::OptionSliderChanged(int position) {
    ParameterSet& p = state().session.parameters;
    const double value = setOptionFromPosition(p, p.selectedOption, position);
    p.currentOptionValue = value;
    StringGrid3->setCells(0, 0, QString::fromStdString(historyCellText(value, decimalSeparator_)));
    StringGrid3->repaint();
}

} // namespace pulmora
