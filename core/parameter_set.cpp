#include "core/parameter_set.h"

#include <cassert>
#include <cmath>

#include "core/rounding.h"
#include "core/simulation_record.h"

namespace pulmora {

double& ParameterSet::cell(int lungPart, int column) {
    assert(isLungPart(lungPart) && "lung part code must be -2 ... 5");
    assert(column >= 0 && column < kColumnCount && "parameter column must be 0 ... 7");
    return matrix[lungPartRow(lungPart)][column];
}

double ParameterSet::cell(int lungPart, int column) const {
    return const_cast<ParameterSet*>(this)->cell(lungPart, column);
}

double& ParameterSet::option(int k) {
    assert(k >= 1 && k <= kOptionCount && "options are numbered 1 ... 20");
    return options[k - 1];
}

double ParameterSet::option(int k) const { return const_cast<ParameterSet*>(this)->option(k); }

void ParameterSet::resetToDefaults() {
    for (auto& row : matrix) row.fill(100.0);
    options.fill(100.0);
}

double valueFromPosition(SliderMapping mapping, int position) {
    const double p = position;
    double value = 0;
    switch (mapping) {
    case SliderMapping::Logarithmic:
        value = roundHalfEven(std::pow(2.0, p / 100.0 - 2.0) * 100.0);
        break;
    case SliderMapping::Half:
        value = roundHalfEven(p / 2.0);
        break;
    case SliderMapping::Quarter:
        value = roundHalfEven(p / 4.0 + 25.0);
        break;
    }
    return value < kMinimumSliderValue ? kMinimumSliderValue : value;
}

int positionFromValue(const ColumnSlider& slider, double value) {
    double position = 0;
    switch (slider.mapping) {
    case SliderMapping::Logarithmic:
        position = (std::log2(value / 100.0) + 2.0) * 100.0;
        break;
    case SliderMapping::Half:
        position = value * 2.0;
        break;
    case SliderMapping::Quarter:
        position = (value - 25.0) * 4.0;
        break;
    }
    // A stored value may be anything a file held (0, negative, NaN): the slider only clamps.
    return roundToIntClamped(position, slider.minPosition, slider.maxPosition);
}

double setCellFromPosition(ParameterSet& set, int lungPart, int column, int position) {
    assert(column >= 0 && column < kColumnCount && "parameter column must be 0 ... 7");
    const double value = valueFromPosition(kColumnSliders[column].mapping, position);
    set.cell(lungPart, column) = value;
    return value;
}

double setOptionFromPosition(ParameterSet& set, int k, int position) {
    const double value = valueFromPosition(kOptionSlider.mapping, position);
    set.option(k) = value;
    return value;
}

void copyIntoRecord(const ParameterSet& set, SimulationRecord& record) {
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c)
            record.parameterMatrix[row][c] = static_cast<float>(set.matrix[row][c]);
    for (int k = 0; k < kOptionCount; ++k) record.options[k] = static_cast<float>(set.options[k]);
}

void loadMatrixFromRecord(ParameterSet& set, const SimulationRecord& record) {
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c) set.matrix[row][c] = record.parameterMatrix[row][c];
}

void loadOptionsFromRecord(ParameterSet& set, const SimulationRecord& record) {
    for (int k = 0; k < kOptionCount; ++k) set.options[k] = record.options[k];
}

} // namespace pulmora
