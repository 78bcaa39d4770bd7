#pragma once
// Arctangent for the lobe airflow solver, which spends most of its time in atan while it
// searches for the flow that balances each lobe's pressure drop. The results are meant to be
// those of a correctly rounded atan (they differ from it for about one argument in 10^5, and
// then by one unit in the last place), so the solver's flows do not change when it is used
// in place of std::atan.

namespace pulmora {

// atan(x) in (-pi/2, pi/2); keeps the sign of zero, gives +-pi/2 for +-infinity, NaN for NaN.
double accurateAtan(double x);

// values[k] = accurateAtan(args[k]) for k in [0, count), bit for bit. The arrays must not
// overlap. Several arguments are evaluated side by side, which is where the speed comes from.
void accurateAtanBatch(const double* args, double* values, int count);

} // namespace pulmora
