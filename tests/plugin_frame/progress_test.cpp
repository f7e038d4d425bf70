#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame_test_support.h"
#include "plugin_frame/progress_callbacks.h"
#include "plugin_frame/terminal_progress.h"

TEST(ProgressPercent, TotalOfOneOrLessIsAlwaysZero) {
  EXPECT_EQ(progress_percent(0, 1), 0);
  EXPECT_EQ(progress_percent(1, 1), 0);
  EXPECT_EQ(progress_percent(7, 0), 0);
}

TEST(ProgressPercent, DividesByTotalMinusOneAndTruncates) {
  EXPECT_EQ(progress_percent(0, 50), 0);
  EXPECT_EQ(progress_percent(49, 50), 100);
  EXPECT_EQ(progress_percent(1, 4), 33);  // 33.3
  EXPECT_EQ(progress_percent(2, 4), 66);  // 66.6 truncated, not rounded
}

TEST(ProgressPercent, FileReadToItsEndGivesMoreThanAHundred) {
  EXPECT_EQ(progress_percent(50, 50), 102);
}

TEST(ProgressPercent, HugePositionStaysInsideTheIntRange) {
  EXPECT_EQ(progress_percent(4000000000u, 2), 2147483647);
}

TEST(ProgressPercentText, ClampsToZeroToHundredInsteadOfWrapping) {
  EXPECT_EQ(progress_percent_text(0), "0%");
  EXPECT_EQ(progress_percent_text(57), "57%");
  EXPECT_EQ(progress_percent_text(100), "100%");
  EXPECT_EQ(progress_percent_text(102), "100%");
  EXPECT_EQ(progress_percent_text(150), "100%");
  EXPECT_EQ(progress_percent_text(-3), "0%");
}

TEST(ProgressCallbacks, TotalOfOnePassesZeroEveryTime) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  for (std::uint32_t i = 0; i < 4; ++i) callbacks.file_progress(i, 1);
  EXPECT_EQ(sink.file, (std::vector<int>{0, 0, 0, 0}));
}

TEST(ProgressCallbacks, SamePercentTwicePassesOnlyOnceExceptZero) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  callbacks.file_progress(0, 201);  // 0
  callbacks.file_progress(1, 201);  // 0 again: passed on
  callbacks.file_progress(2, 201);  // 1
  callbacks.file_progress(3, 201);  // 1 again: dropped
  callbacks.file_progress(4, 201);  // 2
  EXPECT_EQ(sink.file, (std::vector<int>{0, 0, 1, 2}));
}

TEST(ProgressCallbacks, FileReadToItsEndReportsItsPercentOnce) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(false);
  for (std::uint32_t position = 1; position <= 50; ++position)
    callbacks.file_progress(position, 50);
  ASSERT_FALSE(sink.file.empty());
  EXPECT_EQ(sink.file.back(), 102);
  EXPECT_EQ(sink.file.size(), 50u);  // every step of 1/49 changes the percent
  EXPECT_EQ(progress_percent_text(sink.file.back()), "100%");
}

TEST(ProgressCallbacks, FileAndMeshKeepSeparateLastPercents) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  callbacks.file_progress(5, 11);  // 50
  callbacks.mesh_progress(5, 11);  // 50 for the mesh bar, not dropped
  callbacks.mesh_progress(5, 11);  // dropped
  EXPECT_EQ(sink.file, (std::vector<int>{50}));
  EXPECT_EQ(sink.mesh, (std::vector<int>{50}));
}

TEST(ProgressCallbacks, WithoutMeshOperationFileProgressServesForBoth) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(false);
  EXPECT_EQ(callbacks.mesh_progress, nullptr);
  callbacks.MeshProgress(3, 4);
  EXPECT_EQ(sink.file, (std::vector<int>{100}));
  EXPECT_TRUE(sink.mesh.empty());
}

TEST(ProgressCallbacks, StatusFormatsAndCutsLongTexts) {
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  callbacks.status(stderr, "Sizing: %s %d %.2f\n", "cube", 3, 0.5);
  std::string long_name(3000, 'x');
  callbacks.status(stderr, "Parsing %s started ...      \n", long_name.c_str());
  ASSERT_EQ(sink.statuses.size(), 2u);
  EXPECT_EQ(sink.statuses[0], "Sizing: cube 3 0.50\n");
  EXPECT_EQ(sink.statuses[1].size(), 1023u);
}

TEST(ProgressCallbacks, NoSinkShowsNothingAndDoesNotCrash) {
  SinkScope scope(nullptr);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  callbacks.status(stderr, "%s", "nothing");
  callbacks.file_progress(1, 2);
  callbacks.mesh_progress(1, 2);
  SUCCEED();
}

TEST(TerminalProgress, DrawsOneLineWithBarPercentAndStatus) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  {
    TerminalProgress line(stream, true);
    line.SetStatus("Sizing: cube\n");
    line.SetFileProgress(50);
    EXPECT_EQ(line.Line(),
              "[" + std::string(15, '#') + std::string(15, ' ') + "]  50% Sizing: cube");
    line.SetFileProgress(102);
    EXPECT_NE(line.Line().find("100%"), std::string::npos);
  }
  std::rewind(stream);
  std::string written;
  int c;
  while ((c = std::fgetc(stream)) != EOF) written += static_cast<char>(c);
  std::fclose(stream);
  EXPECT_EQ(written.find('\n'), written.size() - 1);  // one line, ended once
  EXPECT_EQ(written[0], '\r');
}

TEST(TerminalProgress, WritesNothingWhenTheStreamIsNoTerminal) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  {
    TerminalProgress line(stream);
    line.SetStatus("Reducing: cube\n");
    line.SetFileProgress(30);
  }
  EXPECT_EQ(std::ftell(stream), 0L);
  std::fclose(stream);
}

TEST(ProgressCallbacks, PassOnWhatTheirPercentsSayForAnyOrderOfPositionsAndTotals) {
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  std::vector<int> expected;
  int last = 0;
  auto report = [&](std::uint32_t position, std::uint32_t total) {
    callbacks.mesh_progress(position, total);
    const int percent = progress_percent(position, total);
    if (percent != last || percent == 0) expected.push_back(percent);
    last = percent;
  };
  for (std::uint32_t total : {0u, 1u, 2u, 3u, 101u, 1000u, 4000000000u, UINT32_MAX})
    for (std::uint32_t i = 0; i < 300; ++i) report(i, total);  // forward, as writers go
  for (std::uint32_t i = 300; i-- > 0;) report(i * 7, 1000);   // backward
  std::mt19937 random(3);
  for (int i = 0; i < 3000; ++i) {
    const std::uint32_t total = random() % 4 == 0 ? random() : random() % 500;
    report(random() % 3 == 0 ? random() : random() % 600, total);
  }
  report(UINT32_MAX, UINT32_MAX);
  report(0, UINT32_MAX);
  EXPECT_EQ(sink.mesh, expected);
}
