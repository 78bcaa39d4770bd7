#include "results/indices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/simulation_record.h"

using namespace pulmora;

namespace {

// A record holding a loop of the given volumes and flows, the one-second volume and FRC.
std::unique_ptr<SimulationRecord> loop(const std::vector<float>& volume,
                                       const std::vector<float>& flow, float oneSecond = 0,
                                       float frc = 0) {
    auto r = std::make_unique<SimulationRecord>();
    std::memset(r.get(), 0, sizeof(SimulationRecord));
    for (std::size_t n = 0; n < volume.size(); ++n) {
        r->volumeCurve[n] = volume[n];
        r->flowCurve[n] = flow[n];
    }
    r->fev1 = oneSecond;
    r->frc = frc;
    return r;
}

TEST(Indices, FromAnExpiration) {
    // From 1.5 l up to 6 l, then down to 2 l.
    auto r = loop({1.5f, 4.0f, 6.0f, 5.5f, 4.5f, 3.5f, 2.5f, 2.0f},
                  {0.5f, 2.0f, 0.0f, -8.0f, -6.0f, -3.0f, -1.0f, -0.5f}, 3.0f, 2.5f);
    DeriveIndices(*r);
    EXPECT_FLOAT_EQ(r->tlc, 6.0f);
    EXPECT_FLOAT_EQ(r->fvc, 4.5f);
    EXPECT_FLOAT_EQ(r->fev1, 3.0f);
    EXPECT_FLOAT_EQ(r->fev1PercentFvc, 100.0f * 3.0f / 4.5f);
    EXPECT_FLOAT_EQ(r->pef, 8.0f);
    EXPECT_FLOAT_EQ(r->erv, 1.0f);
    // 75 % of 4.5 l above the minimum of 1.5 l is 4.875 l: first sample below it is 4.5 l.
    EXPECT_FLOAT_EQ(r->mef75, 6.0f);
    EXPECT_FLOAT_EQ(r->mef50, 3.0f);  // below 3.75 l
    EXPECT_FLOAT_EQ(r->mef25, 1.0f);  // below 2.625 l
}

struct EdgeCase {
    const char* name;
    std::vector<float> volume, flow;
    float tlc, fvc, pef, mef75, mef50, mef25;
};

class IndicesEdge : public testing::TestWithParam<EdgeCase> {};

TEST_P(IndicesEdge, FollowTheScanRules) {
    const EdgeCase& c = GetParam();
    auto r = loop(c.volume, c.flow);
    DeriveIndices(*r);
    EXPECT_FLOAT_EQ(r->tlc, c.tlc);
    EXPECT_FLOAT_EQ(r->fvc, c.fvc);
    EXPECT_FLOAT_EQ(r->pef, c.pef);
    EXPECT_FLOAT_EQ(r->mef75, c.mef75);
    EXPECT_FLOAT_EQ(r->mef50, c.mef50);
    EXPECT_FLOAT_EQ(r->mef25, c.mef25);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndicesEdge,
    testing::Values(
        // Nothing after the maximum: no flows at the fractions.
        EdgeCase{"maximum_at_the_last_sample", {2, 3, 4, 5}, {1, 1, 1, 1}, 5, 3, 0, 0, 0, 0},
        // The zero tail is not the minimum, and its zero flows never set a value.
        EdgeCase{"zero_tail_is_not_the_minimum", {3, 5, 4}, {1, 0, -2}, 5, 2, 2, 2, 0, 0},
        // Equal maxima: the scan starts after the first, so the second one's flow counts
        // for nothing (it is not below the fractions) and the next sample gives all three.
        EdgeCase{"equal_maxima", {1, 5, 5, 1.2f}, {1, -9, -4, -2}, 5, 4, 9, 2, 2, 2},
        EdgeCase{"flow_never_negative", {1, 4, 2}, {1, 2, 3}, 4, 3, 0, -3, -3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
