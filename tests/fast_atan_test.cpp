#include "core/fast_atan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

using namespace pulmora;

namespace {

// Distance in units in the last place between two finite doubles (or infinities), counting
// across zero.
std::int64_t ulpDistance(double a, double b) {
    auto ordered = [](double v) {
        const auto bits = std::bit_cast<std::int64_t>(v);
        return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
    };
    const std::int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Case {
    const char* what;
    double x;
    double atanX; // correctly rounded, computed at 200 bits
};

// Edge cases: signed zeros, subnormals, the ends of the table (2^-7 and 2^7), nodes and slice
// edges, classical angles, and arguments so large that only pi/2 remains.
const Case kCases[] = {
    {"+0", 0x0.0p+0, 0x0.0p+0},
    {"-0", -0x0.0p+0, -0x0.0p+0},
    {"smallest denormal", 0x0.0000000000001p-1022, 0x0.0000000000001p-1022},
    {"negative denormal", -0x0.0123456789abdp-1022, -0x0.0123456789abdp-1022},
    {"largest denormal", 0x0.fffffffffffffp-1022, 0x0.fffffffffffffp-1022},
    {"smallest normal", 0x1.0000000000000p-1022, 0x1.0000000000000p-1022},
    {"2^-27", 0x1.0000000000000p-27, 0x1.0000000000000p-27},
    {"just below 2^-7", 0x1.fffffffffffffp-8, 0x1.fffd555bbba96p-8},
    {"2^-7", 0x1.0000000000000p-7, 0x1.fffd555bbba97p-8},
    {"just above 2^-7", 0x1.0000000000001p-7, 0x1.fffd555bbba99p-8},
    {"first node", 0x1.0400000000000p-7, 0x1.03fe9a6dca866p-7},
    {"next to a node", 0x1.3bfffffffffffp-3, 0x1.39870a13dafd4p-3},
    {"slice edge", 0x1.0800000000000p-1, 0x1.e77eb7f175a34p-2},
    {"below slice edge", 0x1.07fffffffffffp-1, 0x1.e77eb7f175a33p-2},
    {"tan(pi/8)", 0x1.a827999fcef34p-2, 0x1.921fb54442d1ap-2},
    {"just below 1", 0x1.fffffffffffffp-1, 0x1.921fb54442d18p-1},
    {"1", 0x1.0000000000000p+0, 0x1.921fb54442d18p-1},
    {"-1", -0x1.0000000000000p+0, -0x1.921fb54442d18p-1},
    {"just above 1", 0x1.0000000000001p+0, 0x1.921fb54442d19p-1},
    {"tan(3pi/8)", 0x1.3504f333f9de6p+1, 0x1.2d97c7f3321d2p+0},
    {"20", 0x1.4000000000000p+4, 0x1.8555a2787981fp+0},
    {"-20", -0x1.4000000000000p+4, -0x1.8555a2787981fp+0},
    {"just below 2^7", 0x1.fffffffffffffp+6, 0x1.901fb7eee715ep+0},
    {"2^7", 0x1.0000000000000p+7, 0x1.901fb7eee715ep+0},
    {"just above 2^7", 0x1.0000000000001p+7, 0x1.901fb7eee715ep+0},
    {"last node", 0x1.fc00000000000p+6, 0x1.901bafef076bbp+0},
    {"2^53", 0x1.0000000000000p+53, 0x1.921fb54442d18p+0},
    {"2^60", 0x1.0000000000000p+60, 0x1.921fb54442d18p+0},
    {"1e300", 1e300, 0x1.921fb54442d18p+0},
    {"-1e300", -1e300, -0x1.921fb54442d18p+0},
    {"largest double", 0x1.fffffffffffffp+1023, 0x1.921fb54442d18p+0},
    {"+infinity", std::numeric_limits<double>::infinity(), 0x1.921fb54442d18p+0},
    {"-infinity", -std::numeric_limits<double>::infinity(), -0x1.921fb54442d18p+0},
};

TEST(AccurateAtan, EdgeCasesAreCorrectlyRounded) {
    std::vector<double> args, batch(std::size(kCases));
    for (const Case& c : kCases) args.push_back(c.x);
    accurateAtanBatch(args.data(), batch.data(), static_cast<int>(args.size()));
    for (std::size_t k = 0; k < std::size(kCases); ++k) {
        const Case& c = kCases[k];
        EXPECT_TRUE(sameBits(accurateAtan(c.x), c.atanX))
            << c.what << ": " << std::hexfloat << accurateAtan(c.x) << " instead of " << c.atanX;
        EXPECT_TRUE(sameBits(batch[k], c.atanX)) << c.what << " (batch)";
    }
}

TEST(AccurateAtan, NaNGivesNaN) {
    const double nans[] = {std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::bit_cast<double>(std::uint64_t{0x7ff0000000000001})};
    double batch[std::size(nans)];
    accurateAtanBatch(nans, batch, static_cast<int>(std::size(nans)));
    for (std::size_t k = 0; k < std::size(nans); ++k) {
        EXPECT_TRUE(std::isnan(accurateAtan(nans[k])));
        EXPECT_TRUE(std::isnan(batch[k]));
    }
}

// Millions of arguments, in two populations: all finite doubles (random sign, exponent and
// mantissa bits) and the solver's working range [-20, 20] with full-precision mantissas. The
// batch is called in chunks of every length from 1 to 31 so that all loop tails are used.
TEST(AccurateAtan, MatchesStdAtanOverManyArguments) {
    struct Population {
        const char* name;
        std::vector<double> args;
    };
    std::mt19937_64 rng(0x5eed);
    Population wide{"all finite doubles", {}}, solver{"[-20, 20]", {}};
    while (wide.args.size() < 2'000'000) {
        const double x = std::bit_cast<double>(rng());
        if (std::isfinite(x)) wide.args.push_back(x);
    }
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    while (solver.args.size() < 4'000'000) {
        // Random low bits too: a uniform draw alone leaves the last mantissa bits zero.
        const double x =
            20.0 * unit(rng) + std::ldexp(static_cast<double>(rng() >> 40), -60) * unit(rng);
        if (std::fabs(x) <= 20.0) solver.args.push_back(x);
    }

    for (const Population* p : {&wide, &solver}) {
        const std::vector<double>& args = p->args;
        std::vector<double> batch(args.size());
        for (std::size_t k = 0, chunk = 1; k < args.size(); k += chunk, chunk = chunk % 31 + 1) {
            const std::size_t n = std::min(chunk, args.size() - k);
            accurateAtanBatch(args.data() + k, batch.data() + k, static_cast<int>(n));
        }
        std::size_t differ = 0, batchDiffer = 0, beyondOneUlp = 0;
        for (std::size_t k = 0; k < args.size(); ++k) {
            const double mine = accurateAtan(args[k]);
            const double reference = std::atan(args[k]);
            if (!sameBits(mine, batch[k])) ++batchDiffer;
            if (!sameBits(mine, reference)) {
                ++differ;
                if (ulpDistance(mine, reference) > 1) {
                    if (beyondOneUlp++ < 5)
                        ADD_FAILURE() << std::hexfloat << "atan(" << args[k] << ") = " << mine
                                      << ", std::atan gives " << reference;
                }
            }
        }
        const double fraction = static_cast<double>(differ) / static_cast<double>(args.size());
        EXPECT_EQ(batchDiffer, 0u) << p->name;
        EXPECT_EQ(beyondOneUlp, 0u) << p->name;
        EXPECT_LT(fraction, 1e-3) << p->name;
        std::printf("%s: %zu of %zu results differ from std::atan (%.4f %%); std::atan is itself\n"
                    "  misrounded by up to ~0.504 ulp, and these are mostly its misroundings\n\n",
                    p->name, differ, args.size(), 100.0 * fraction);
    }
}

} // namespace
