#include "core/simulation_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "files/simulation_file.h"

using namespace pulmora;

namespace {

std::size_t offsetOf(const SimulationRecord& r, const void* field) {
    return static_cast<std::size_t>(static_cast<const unsigned char*>(field) -
                                    reinterpret_cast<const unsigned char*>(&r));
}

TEST(SimulationRecord, TableCellsSitWhereTheFileFormatPutsThem) {
    auto r = std::make_unique<SimulationRecord>();
    EXPECT_EQ(offsetOf(*r, &r->lobeVolume[0][0]), 86040u);
    EXPECT_EQ(offsetOf(*r, &r->lobeVolume[1500][4]), 116056u);
    EXPECT_EQ(offsetOf(*r, &r->lobeLimited[1500][4]), 123564u);
    EXPECT_EQ(offsetOf(*r, &r->flowCurve[1499]), 14000u + 1499 * 4);
    EXPECT_EQ(offsetOf(*r, &r->parameterMatrix[7][15]), 124192u - 4);
    EXPECT_EQ(offsetOf(*r, &r->options[19]) + 4, kRecordBytes) << "options[20] ends the record";
}

// A history whose every byte differs, so any misplaced or dropped byte shows.
std::unique_ptr<RunHistory> noisyHistory(unsigned seed) {
    auto history = makeRunHistory();
    std::mt19937 random(seed);
    auto* bytes = reinterpret_cast<unsigned char*>(history->records.data());
    for (std::size_t i = 0; i < kHistoryBytes; ++i) bytes[i] = static_cast<unsigned char>(random());
    return history;
}

TEST(HistoryImage, IsLittleEndianAtTheRecordOffsets) {
    auto history = makeRunHistory();
    history->slot(0).fev1 = 1.0f;         // 0x3F800000
    history->slot(2).runStatus = -1.0f;   // 0xBF800000
    history->slot(4).lobeLimited[1500][4] = 1;
    std::vector<std::uint8_t> image(kHistoryBytes);
    encodeHistorySlots(*history, image);
    const std::uint8_t one[] = {0x00, 0x00, 0x80, 0x3F};
    const std::uint8_t minusOne[] = {0x00, 0x00, 0x80, 0xBF};
    EXPECT_EQ(std::memcmp(&image[123584], one, 4), 0);
    EXPECT_EQ(std::memcmp(&image[2 * kRecordBytes + 123628], minusOne, 4), 0);
    EXPECT_EQ(image[4 * kRecordBytes + 123564], 1);
}

TEST(HistoryImage, DecodeThenEncodeGivesTheSameBytes) {
    const auto history = noisyHistory(7);
    std::vector<std::uint8_t> image(kHistoryBytes);
    encodeHistorySlots(*history, image);
    auto decoded = makeRunHistory();
    ASSERT_TRUE(decodeHistorySlots(image, *decoded));
    EXPECT_EQ(std::memcmp(decoded->records.data(), history->records.data(), kHistoryBytes), 0)
        << "padding, reserved bytes and unused matrix floats travel with the record";
    std::vector<std::uint8_t> again(kHistoryBytes);
    encodeHistorySlots(*decoded, again);
    EXPECT_EQ(again, image);
}

TEST(HistoryImage, WrongSizeLeavesTheHistoryUnchanged) {
    const auto original = noisyHistory(3);
    auto history = noisyHistory(3);
    for (std::size_t size : {std::size_t{0}, kRecordBytes, kHistoryBytes - 1, kHistoryBytes + 1}) {
        std::vector<std::uint8_t> image(size, 0xAB);
        EXPECT_FALSE(decodeHistorySlots(image, *history)) << size;
    }
    EXPECT_EQ(std::memcmp(history->records.data(), original->records.data(), kHistoryBytes), 0);
}

class SimulationFileTest : public testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("pulmora_file_test_" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string path(const char* name) const { return (folder / name).string(); }
};

TEST_F(SimulationFileTest, SaveLoadSaveGivesIdenticalFiles) {
    const auto history = noisyHistory(11);
    ASSERT_TRUE(writeSimulationFile(path("a.spi"), *history).ok);
    EXPECT_EQ(std::filesystem::file_size(path("a.spi")), kHistoryBytes);
    auto loaded = makeRunHistory();
    ASSERT_TRUE(readSimulationFile(path("a.spi"), *loaded).ok);
    ASSERT_TRUE(writeSimulationFile(path("b.spi"), *loaded).ok);
    std::ifstream a(path("a.spi"), std::ios::binary), b(path("b.spi"), std::ios::binary);
    const std::vector<char> bytesA{std::istreambuf_iterator<char>(a), {}};
    const std::vector<char> bytesB{std::istreambuf_iterator<char>(b), {}};
    EXPECT_EQ(bytesA, bytesB);
    EXPECT_FALSE(std::filesystem::exists(path("a.spi.part")));
}

TEST_F(SimulationFileTest, BadFilesAreRefusedWithTheHistoryUnchanged) {
    {
        std::ofstream shortFile(path("short.spi"), std::ios::binary);
        shortFile << std::string(kRecordBytes, 'x');
        std::ofstream longFile(path("long.spi"), std::ios::binary);
        longFile << std::string(kHistoryBytes + 10, 'x');
    }
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"missing.spi", "cannot be opened"},
        {"short.spi", "is smaller than a simulation file"},
        {"long.spi", "is larger than a simulation file"},
    };
    const auto original = noisyHistory(5);
    auto history = noisyHistory(5);
    for (const auto& c : cases) {
        const FileResult r = readSimulationFile(path(c.file), *history);
        EXPECT_FALSE(r.ok) << c.file;
        EXPECT_NE(r.error.find(c.file), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
    EXPECT_EQ(std::memcmp(history->records.data(), original->records.data(), kHistoryBytes), 0);
}

TEST_F(SimulationFileTest, UnwritableTargetIsReportedAndLeavesNoPartialFile) {
    const auto history = noisyHistory(1);
    const FileResult r = writeSimulationFile(path("no/such/folder/x.spi"), *history);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("x.spi"), std::string::npos);
}

TEST(RunHistory, ResetParameterCopiesTouchesOnlyTheUsedCells) {
    auto history = noisyHistory(9);
    const float unused = history->slot(3).parameterMatrix[5][9];
    const float option = history->slot(2).options[4];
    resetParameterCopies(*history);
    for (const auto& record : history->records)
        for (const auto& row : record.parameterMatrix)
            for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(row[c], 100.0f);
    EXPECT_EQ(std::memcmp(&history->slot(3).parameterMatrix[5][9], &unused, 4), 0);
    EXPECT_EQ(std::memcmp(&history->slot(2).options[4], &option, 4), 0);
}

} // namespace
