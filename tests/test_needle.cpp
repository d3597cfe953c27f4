#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "needle.h"
#include "random_source.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

std::string degrees(double phi) {
  char text[32];
  std::snprintf(text, sizeof text, "%5.0f", phi);
  return text;
}

const std::string I_prompt = "Enter I (A) between  -5.0 and   5.0 : ";
const std::string X_prompt = "Enter X (mm) between 0 and   100 : ";
const std::string Y_prompt = "Enter Y (mm) between 0 and   100 : ";
const std::string out_of_range = I_prompt + X_prompt + Y_prompt + "Coordinates out of range.\n";
const std::string invalid = "Invalid entry.  Enter a number using a decimal point.\n";
const std::string exceeded =
    "Maximum current exceeded!\nPress Enter key to exit.\n"
    "Restart the program to resume the simulations.";

std::string result(const std::string& phi) {
  return "PHI = " + phi + " degrees\n" + std::string(31, '-') + "\n";
}

std::string pass(const std::string& phi) { return I_prompt + X_prompt + Y_prompt + result(phi); }

void expect_dialogue(const std::string& input, const std::string& expected) {
  const ProgramResult run = run_program(NEEDLEFIELD_EXE, input);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.out, expected) << "input: " << input;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_status, 0);
}

// The dialogue run in-process with a fixed seed, through temporary files that close removes.
std::string run_loop(const std::string& input, unsigned int seed) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::string text;
  EXPECT_TRUE(in != nullptr && out != nullptr);
  if (in != nullptr && out != nullptr) {
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    EXPECT_EQ(needle_loop(in, out, seed), 0);
    std::rewind(out);
    char buffer[4096];
    std::size_t size = 0;
    while ((size = std::fread(buffer, 1, sizeof buffer, out)) > 0) text.append(buffer, size);
  }
  if (in != nullptr) std::fclose(in);
  if (out != nullptr) std::fclose(out);
  return text;
}

}  // namespace

// Near (20, 75) at 5 A the wire's field nearly cancels the background, so every placement shows.
TEST(NeedleLoop, placement_is_drawn_radius_first_only_when_the_last_drawn_position_changes) {
  const unsigned int seed = 2021;
  random_srand(seed);
  const auto placed = [](double I, double X, double Y, bool draws) {
    if (draws) {
      int first = 0;
      do first = random_rand();
      while (first <= 0);
      const double R = 0.0001 + 0.9999 * std::sqrt(-2.0 * std::log(first / 2147483647.0));
      const double theta = 6.283185307179586 * (random_rand() / 2147483647.0);
      X += 0.25 * R * std::cos(theta);
      Y += 0.25 * R * std::sin(theta);
    }
    return pass(degrees(needle_phi(I, X, Y)));
  };
  // New, Y alone new, same, X alone new, back to the one before, rejected, same as last drawn.
  std::string expected = placed(5, 20, 75, true);
  expected += placed(5, 20, 74, true);
  expected += placed(-5, 20, 74, false);
  expected += placed(5, 21, 74, true);
  expected += placed(5, 20, 74, true);
  expected += out_of_range;
  expected += placed(5, 20, 74, false);
  EXPECT_EQ(
      run_loop("5 20 75\n5 20 74\n-5 20 74\n5 21 74\n5 20 74\n5 100.3 74\n5 19.6 74.4\n", seed),
      expected + I_prompt + "\n");
}

TEST(NeedleRandom, sources_repeat_per_seed_and_span_the_31_bit_range) {
  const auto draws = [](auto seed, auto draw, unsigned int value) {
    seed(value);
    std::vector<int> values(20000);
    for (int& v : values) v = draw();
    return values;
  };
  const auto std_seed = [](unsigned int value) { std::srand(value); };
  const auto std_draw = [] { return std::rand(); };
  const std::vector<int> chosen = draws(random_srand, random_rand, 11);
  // The standard rand() is used unchanged wherever it already has the range.
  EXPECT_EQ(chosen, RAND_MAX == 2147483647 ? draws(std_seed, std_draw, 11)
                                           : draws(fallback_srand, fallback_rand, 11));
  const std::vector<int> own = draws(fallback_srand, fallback_rand, 11);
  EXPECT_EQ(own, draws(fallback_srand, fallback_rand, 11));
  EXPECT_NE(own, draws(fallback_srand, fallback_rand, 12));
  for (const std::vector<int>& values : {chosen, own}) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    EXPECT_TRUE(*low >= 0 && *low < (1 << 20)) << *low;
    EXPECT_TRUE(*high <= 2147483647 && *high > 2147483647 - (1 << 20)) << *high;
  }
}

// A current of 0 prints 0 wherever the needle lands, so the first (random) pass is fixed too.
TEST(NeedleProgram, current_beyond_five_amperes_ends_the_program) {
  expect_dialogue("0 0 75\n5 0 75\n-5 0 75\n5.04\n",
                  pass("    0") + pass(" -143") + pass("   25") + I_prompt + exceeded + "\n");
  expect_dialogue("-5.04\n\n", I_prompt + exceeded);
}

TEST(NeedleProgram, current_is_rounded_to_tenths_before_use) {
  // At (20, 50) 4.96 unrounded would print -49; at (0, 75) 0.2 prints -7, 0.25 unrounded -9.
  expect_dialogue("0 20 50\n4.96 20 50\n0 0 75\n0.25 0 75\n",
                  pass("    0") + pass("  -50") + pass("    0") + pass("  -11") + I_prompt + "\n");
}

TEST(NeedleProgram, coordinates_are_tested_before_rounding_after_both_are_read) {
  expect_dialogue("0 0 0\n0 100 100\n0 100.3 50\n0 50 -0.2\n",
                  pass("    0") + pass("    0") + out_of_range + out_of_range + I_prompt + "\n");
}

TEST(NeedleProgram, number_glued_to_other_characters_is_refused_and_that_prompt_asked_again) {
  expect_dialogue("1,5\n0 50mm 60\n50 50\n", I_prompt + invalid + I_prompt + X_prompt + invalid +
                                                 X_prompt + Y_prompt + result("    0") + I_prompt +
                                                 "\n");
  expect_dialogue("0\r\n50\r\n50\r\n", pass("    0") + I_prompt + "\n");
}

TEST(NeedleProgram, end_of_input_at_any_prompt_ends_with_a_line_end) {
  expect_dialogue("", I_prompt + "\n");
  expect_dialogue("0", I_prompt + X_prompt + "\n");
  expect_dialogue("0 50\n", I_prompt + X_prompt + Y_prompt + "\n");
  expect_dialogue("nan", I_prompt + invalid + I_prompt + "\n");
  expect_dialogue("0 abc", I_prompt + X_prompt + invalid + X_prompt + "\n");
  expect_dialogue("0 50 x", I_prompt + X_prompt + Y_prompt + invalid + Y_prompt + "\n");
  // The current's line end is missing too, so neither of the two reads finds a character.
  expect_dialogue("6", I_prompt + exceeded + "\n");
}

TEST(NeedleProgram, ctrl_backslash_at_a_prompt_ends_it_with_131_and_no_core_dump) {
  // The default action would end it by the signal itself, leaving a core file.
  const ScratchDir scratch;
  const std::unique_ptr<TerminalSession> student =
      start_on_terminal(NEEDLEFIELD_EXE, scratch.path());
  if (!student) GTEST_SKIP() << "no pseudo-terminals on this platform";
  ASSERT_TRUE(student->wait_for(I_prompt, 30)) << student->shown();
  student->type("\x1c");
  EXPECT_EQ(student->exit_status(30), 131);
}
