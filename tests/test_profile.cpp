#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/simulation.h"
#include "profile/profile.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> pieces;
  std::string piece;
  std::istringstream in(line);
  while (std::getline(in, piece, ',')) pieces.push_back(piece);
  if (!line.empty() && line.back() == ',') pieces.push_back("");
  return pieces;
}

// Runs the diagnostic once in a scratch folder and keeps its file for every test here.
class ProfileFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = make_scratch_dir();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    {
      std::ofstream stale("debug.csv");
      stale << "stale content that must be replaced\n";
    }
    debug_output();
    content_ = read_file("debug.csv");
    debug_output();
    second_ = read_file("debug.csv");
    svg_left_ = file_exists("debug.svg");
    std::filesystem::current_path(previous);
    std::istringstream in(content_);
    std::string line;
    while (std::getline(in, line)) lines_.push_back(line);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }
  static std::vector<std::string> row_at(const std::string& time) {
    for (const std::string& line : lines_) {
      if (line.compare(0, time.size() + 1, time + ",") == 0) return split(line);
    }
    return {};
  }
  static std::string dir_, content_, second_;
  static std::vector<std::string> lines_;
  static bool svg_left_;
};
std::string ProfileFile::dir_, ProfileFile::content_, ProfileFile::second_;
std::vector<std::string> ProfileFile::lines_;
bool ProfileFile::svg_left_ = false;

}  // namespace

TEST_F(ProfileFile, has_2001_lines_of_123_pieces_ending_in_an_empty_one) {
  ASSERT_EQ(lines_.size(), 2001u);
  EXPECT_EQ(content_.back(), '\n');
  for (const std::string& line : lines_) {
    const std::vector<std::string> pieces = split(line);
    ASSERT_EQ(pieces.size(), 123u) << line.substr(0, 20);
    EXPECT_EQ(pieces.back(), "");
  }
}

TEST_F(ProfileFile, rows_hold_the_reference_profile_while_heating_and_cooling) {
  const std::map<std::string, std::map<int, std::string>> expected{
      {"2", {{1, "73.227"}, {2, "73.0918"}, {3, "72.6812"}, {121, "5.85605e-06"}}},
      {"900", {{1, "804.12"}, {13, "777.245"}, {14, "772.373"}, {61, "613.585"}, {121, "548.876"}}},
      {"2002", {{1, "733.2"}, {2, "733.269"}}},
      {"3998", {{1, "6.59347"}, {61, "6.59921"}, {121, "6.59347"}}},
  };
  for (const auto& [time, nodes] : expected) {
    const std::vector<std::string> row = row_at(time);
    ASSERT_EQ(row.size(), 123u) << "t = " << time;
    for (const auto& [node, value] : nodes) {
      EXPECT_EQ(row[node], value) << "t = " << time << ", node " << node;
    }
  }
  // The heated profile no longer changes in the file from 900 s to the end of heating.
  std::vector<std::string> at900 = row_at("900"), at2000 = row_at("2000");
  at900.erase(at900.begin());
  at2000.erase(at2000.begin());
  EXPECT_EQ(at900, at2000);
}

TEST_F(ProfileFile, two_runs_give_byte_identical_files_replacing_earlier_content) {
  EXPECT_EQ(content_, second_);
  EXPECT_EQ(content_.find("stale"), std::string::npos);
  // The entry point writes its one file; the picture is the profile program's.
  EXPECT_FALSE(svg_left_);
}

TEST_F(ProfileFile, program_writes_the_same_csv_and_its_picture) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  const ProgramResult result = run_program(RODHEAT_PROFILE_EXE, "", dir, 120);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out,
            "Wrote the temperature profile to debug.csv and its picture to debug.svg\n");
  EXPECT_EQ(read_file(dir + "/debug.csv"), content_);
  EXPECT_EQ(read_file(dir + "/debug.svg").compare(0, 5, "<?xml"), 0);
  // The same bytes on every platform and path, the browser's included: web/test/check.js pins the
  // same sha256 for the browser's programs, so a change to the model changes both.
  if (LABSIM_HOST_TOOLS_RUN) {
    EXPECT_EQ(run_process({CMAKE_COMMAND, "-E", "sha256sum", "debug.csv"}, "", dir).out,
              "8a855d54140b8be887e307daa0ab27795ffe9409bd56fc5a1d3741460a6ec16c  debug.csv\n");
  }
}

TEST(ProfileLine, every_line_of_the_scenario_matches_default_stream_formatting_byte_for_byte) {
  std::ostringstream written, expected;
  expected << "t(s),";
  for (int i = 1; i <= 121; ++i) expected << static_cast<double>(i - 1) * 0.0025 << ",";
  expected << "\n";
  write_profile(
      written, [](Simulation& sim, double P, double dt) { sim.advance(P, dt); },
      [&](double time, const std::vector<double>& excess) {
        expected << time << ",";
        for (const double value : excess) expected << value << ",";
        expected << "\n";
      });
  EXPECT_EQ(written.str().size(), expected.str().size());
  EXPECT_TRUE(written.str() == expected.str());
}

TEST(ProfileLine, values_of_every_magnitude_and_sign_match_default_stream_formatting) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> power(-16, 300), halvings(0, 52), nines(6, 15);
  Simulation sim({});
  for (int round = 0; round < 2000; ++round) {
    for (int i = 1; i <= 121; ++i) {
      switch (i % 4) {
        case 0:  // near the ambient temperature, so the excess has a negative exponent
          sim.T[i] = 300.0 + mantissa(random) * 300.0 * std::ldexp(1.0, -halvings(random));
          break;
        case 1:  // 999999.5 and longer runs of nines round up to the next power of ten
          sim.T[i] = 300.0 + (std::pow(10.0, nines(random)) - 0.5);
          break;
        default:
          sim.T[i] = 300.0 + mantissa(random) * std::pow(10.0, power(random));
      }
    }
    sim.T[round % 121 + 1] = 300.0;  // a zero excess
    std::ostringstream written, expected;
    sim.debug_output(written, false);
    for (int i = 1; i <= 121; ++i) expected << sim.T[i] - 300.0 << ",";
    expected << "\n";
    ASSERT_EQ(written.str(), expected.str()) << "round " << round;
  }
}

TEST(ProfileProgram, reports_each_file_it_could_not_write_and_fails) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  // A folder in the way of a file makes that file impossible to create.
  ASSERT_TRUE(std::filesystem::create_directory(dir + "/debug.svg"));
  const ProgramResult result = run_program(RODHEAT_PROFILE_EXE, "", dir, 120);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out, "Could not write debug.svg in this folder.\n");
  EXPECT_EQ(read_file(dir + "/debug.csv").substr(0, 14), "t(s),0,0.0025,");
}
