// Staged releases: which clients a schedule offers a release to, and when.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <iostream>

#include "common/executable_folder.h"
#include "tests/support/file_contents.h"
#include "upgrader/auto/rollout.h"
#include "upgrader/info/info_file.h"

using namespace upgrader;

namespace {

constexpr qint64 kPublished = 1800000000, kDay = 86400;
// 5 % at once, 25 % after a day, everyone after three.
constexpr char kSchedule[] = "#rollout=5@1800000000,25%@1800086400,100@1800259200\r\n";

std::optional<TauRollout> Read(const QByteArray& entries) {
    return ReadRollout(TauInfoText("#version=2.0.0.6\r\n" + entries));
}

}  // namespace

// The clients below each share's number, from its time on; a client without
// a number at 100 %.
TEST(Rollout, OffersTheReleaseToTheClientsWithinEachStagesShare) {
    const std::optional<TauRollout> staged = Read(kSchedule);
    // clang-format off
    const struct {
        qint64 at;
        std::optional<int> number;
        bool offered;
    } rows[] = {{kPublished - 1, 0, false}, {kPublished, 0, true}, {kPublished, 499, true},
                {kPublished, 500, false}, {kPublished + kDay - 1, 500, false},
                {kPublished + kDay, 500, true}, {kPublished + kDay, 2499, true},
                {kPublished + kDay, 2500, false}, {kPublished + kDay, std::nullopt, false},
                {kPublished + 3 * kDay, 9999, true}, {kPublished + 3 * kDay, std::nullopt, true}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.at - kPublished << " s, number " << row.number.value_or(-1));
        EXPECT_EQ(IsOfferedByRollout(staged, row.at, row.number), row.offered);
    }
    EXPECT_TRUE(IsOfferedByRollout(Read(""), kPublished, std::nullopt)) << "no schedule";
    for (const char* unreadable :
         {"#rollout=25@1800000000,5@1800086400", "#rollout=5@1800000000,25@1800000000",
          "#rollout=101@1800000000", "#rollout=5@soon", "#rollout=5", "#rollout=0.123@1"})
        EXPECT_FALSE(IsOfferedByRollout(Read(unreadable), kPublished + 9 * kDay, 0)) << unreadable;
}

// 100,000 clients drawing their numbers as the client does: the share
// offered at each stage is the schedule's within one point, and a halt
// offers nothing from the moment it is in force.
TEST(Rollout, AFleetGetsTheSchedulesSharesAndAHaltStopsIt) {
    QList<int> numbers;
    for (int client = 0; client < 100000; ++client)
        numbers << int(QRandomGenerator::global()->bounded(kRolloutNumbers));
    const std::optional<TauRollout> staged = Read(kSchedule);
    const std::optional<TauRollout> halted = Read(kSchedule + QByteArray("#rollout_halted=1\r\n"));
    const struct {
        qint64 at;
        double share;
    } stages[] = {{kPublished, 5}, {kPublished + kDay, 25}, {kPublished + 3 * kDay, 100}};
    std::cout << "Simulated fleet of 100000:";
    for (const auto& stage : stages) {
        int offered = 0, offeredHalted = 0;
        for (int number : numbers) {
            offered += IsOfferedByRollout(staged, stage.at, number) ? 1 : 0;
            offeredHalted += IsOfferedByRollout(halted, stage.at, number) ? 1 : 0;
        }
        const double share = offered / 1000.0;
        std::cout << " " << stage.share << "% -> " << share << "%";
        EXPECT_NEAR(share, stage.share, 1.0);
        EXPECT_EQ(offeredHalted, 0);
    }
    std::cout << std::endl;
}

// Drawn once and kept; a client that cannot keep one has none.
TEST(Rollout, TheClientsNumberIsDrawnOnceAndKept) {
    const QString path = common::ExecutablePath() + ".rollout-number";
    QFile::remove(path);
    const std::optional<int> drawn = RolloutNumber();
    ASSERT_TRUE(drawn && *drawn >= 0 && *drawn < kRolloutNumbers);
    EXPECT_EQ(RolloutNumber(), drawn);
    EXPECT_EQ(test_support::ReadFile(path), QByteArray::number(*drawn) + "\n");
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(RolloutNumber(), std::nullopt);
    QDir().rmdir(path);
}
