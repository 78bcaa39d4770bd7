#pragma once
// The inputs of the next simulated manoeuvre: the patient's pathology per lung part as
// percentages of the reference run, and the manoeuvre options.

#include <array>

namespace pulmora {

struct SimulationRecord;

// Which part of the lungs a matrix row describes. The codes are the row numbers, and their
// order (-2 ... 5) is the storage order in memory and in records. 1 ... 5 are the lobes and
// also the lobe order of every per-lobe array.
enum LungPart : int {
    kLeftLung = -2,
    kRightLung = -1,
    kBothLungs = 0,
    kLeftUpperLobe = 1,
    kLeftLowerLobe = 2,
    kRightUpperLobe = 3,
    kRightMiddleLobe = 4,
    kRightLowerLobe = 5,
};

constexpr int kFirstLungPart = -2;
constexpr int kLastLungPart = 5;
constexpr int kLungPartCount = 8;
constexpr int kColumnCount = 8;
constexpr int kOptionCount = 20;
constexpr int kLobeCount = 5;

constexpr bool isLungPart(int code) { return code >= kFirstLungPart && code <= kLastLungPart; }
constexpr int lungPartRow(int code) { return code + 2; }

// How a slider position becomes a percentage.
enum class SliderMapping { Logarithmic, Half, Quarter };

struct ColumnSlider {
    SliderMapping mapping; // position -> value rule
    int minPosition;       // lowest slider position
    int maxPosition;       // highest slider position
};

// The eight parameter columns, in storage order: 0 main airway resistance "R", 1 collapsible
// dead volume "VDc", 2 middle bronchi resistance, 3 stiffness "Stiff", 4 peripheral bronchi
// resistance, 5 "CCC", 6 lung size "Size", 7 "Cm".
constexpr std::array<ColumnSlider, kColumnCount> kColumnSliders{{
    {SliderMapping::Logarithmic, 100, 500},
    {SliderMapping::Half, 100, 500},
    {SliderMapping::Logarithmic, 100, 600},
    {SliderMapping::Logarithmic, 100, 500},
    {SliderMapping::Logarithmic, 100, 500},
    {SliderMapping::Half, 100, 500},
    {SliderMapping::Quarter, 100, 500},
    {SliderMapping::Quarter, 100, 500},
}};

// Every option uses the logarithmic mapping on a slider from 0 to 400 (25 ... 400 %).
constexpr ColumnSlider kOptionSlider{SliderMapping::Logarithmic, 0, 400};

// A value written from a slider is never below this percentage.
constexpr double kMinimumSliderValue = 10.0;

struct ParameterSet {
    // Percent of the reference run's value; row = LungPart + 2, column 0 ... 7.
    std::array<std::array<double, kColumnCount>, kLungPartCount> matrix;
    // Percent of the reference run's option; options[k - 1] holds option k (1 ... 20).
    std::array<double, kOptionCount> options;

    int selectedLungPart = kBothLungs; // LungPart whose row the sliders edit
    int selectedOption = 1;            // option 1 ... 6 on the option slider
    double currentOptionValue = 100.0; // value last given to or loaded for the selected option
    int displayVariable = 1;           // DisplayVariable code 1 ... 6 the next run records
    int activePanel = 0;               // 0 none, 1 main, 3 middle, 4 peripheral, 5 lungs

    ParameterSet() { resetToDefaults(); }

    double& cell(int lungPart, int column);
    double cell(int lungPart, int column) const;
    double& option(int k);
    double option(int k) const;

    // Every cell and every option becomes 100 %. The editing selection is kept.
    void resetToDefaults();
};

// Slider position -> stored percentage (whole number, at least 10).
double valueFromPosition(SliderMapping mapping, int position);
// Percentage -> slider position, clamped to [minPosition, maxPosition]. Not an exact inverse
// off the slider grid: 150 in a logarithmic column gives 258, which maps back to 149.
int positionFromValue(const ColumnSlider& slider, double value);

// Store the value of a column slider's position in the cell; returns the stored value.
double setCellFromPosition(ParameterSet& set, int lungPart, int column, int position);
// Store the value of the option slider's position in option k; returns the stored value.
double setOptionFromPosition(ParameterSet& set, int k, int position);

// Writes the 64 cells and 20 options into the record's parameter matrix and options, each
// converted to single precision. Floats 8 ... 15 of every matrix row are left as they are.
void copyIntoRecord(const ParameterSet& set, SimulationRecord& record);
void loadMatrixFromRecord(ParameterSet& set, const SimulationRecord& record);
void loadOptionsFromRecord(ParameterSet& set, const SimulationRecord& record);

} // namespace pulmora
