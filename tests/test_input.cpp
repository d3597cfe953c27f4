#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "dialogue/input.h"

namespace {

using Parsed = std::pair<std::vector<double>, bool>;

}  // namespace

TEST(ReadDouble, reads_one_line_per_call_as_a_double_or_else_as_the_invalid_entry_value) {
  ConsoleInput input("2.5\n0.1\n1e-50\nabc\n 2.5 \n2.5\r\n\n-10000\n7");
  EXPECT_EQ(read_double(), 2.5);
  // The value is converted in double precision, not widened from the validity test's float.
  EXPECT_EQ(read_double(), 0.1);
  EXPECT_EQ(read_double(), 1e-50);
  for (int line = 0; line < 5; ++line) EXPECT_EQ(read_double(), invalid_entry) << line;
  // A last line without its line end is still a line.
  EXPECT_EQ(read_double(), 7.0);
  EXPECT_EQ(read_double(), invalid_entry);
  EXPECT_EQ(read_double(), invalid_entry);
  EXPECT_TRUE(std::cin.fail());
}

TEST(IsFloat, whole_text_single_precision_numbers_are_accepted) {
  // Below single precision's smallest value rounds towards zero instead of being refused.
  for (const std::string text :
       {"2.5", "1.", ".5", "+2", "-0.5", "1e3", "1E-3", "0", "3.4e38", "1e-50"}) {
    EXPECT_TRUE(isFloat(text)) << "text: \"" << text << "\"";
  }
}

TEST(IsFloat, surrounding_text_out_of_float_range_hex_infinity_and_nan_forms_are_rejected) {
  for (const std::string text :
       {"", " ", " 2.5", "2.5 ", "\t2.5", "2.5\r", "1,5", "abc", "-", "1e", "1.2.3", "5cm", "1e5x",
        "1e39", "-1e39", "0x10", "inf", "-infinity", "nan"}) {
    EXPECT_FALSE(isFloat(text)) << "text: \"" << text << "\"";
  }
}

TEST(Vectorize, lines_of_numbers_give_all_values_and_true) {
  EXPECT_EQ(vectorize(""), Parsed({}, true));
  EXPECT_EQ(vectorize("   "), Parsed({}, true));
  EXPECT_EQ(vectorize("0.5 1.5 2.5"), Parsed({0.5, 1.5, 2.5}, true));
  EXPECT_EQ(vectorize(" \t 0.5  \t\t 1.5 \t  "), Parsed({0.5, 1.5}, true));
  EXPECT_EQ(vectorize("2.5\r"), Parsed({2.5}, true));
  EXPECT_EQ(vectorize(".5 +2 1."), Parsed({0.5, 2.0, 1.0}, true));
  // Double extraction: beyond single precision but still a number.
  EXPECT_EQ(vectorize("1e39"), Parsed({1e39}, true));
}

TEST(Vectorize, numbers_run_together_split_where_a_number_cannot_continue) {
  EXPECT_EQ(vectorize("1-2"), Parsed({1.0, -2.0}, true));
  EXPECT_EQ(vectorize("1.5.2"), Parsed({1.5, 0.2}, true));
}

TEST(Vectorize, an_unfinished_token_at_the_end_is_dropped_and_the_flag_stays_true) {
  EXPECT_EQ(vectorize("0.5 1e"), Parsed({0.5}, true));
  EXPECT_EQ(vectorize("3 -"), Parsed({3.0}, true));
}

TEST(Vectorize, a_foreign_token_before_the_end_gives_false_and_the_values_before_it) {
  EXPECT_EQ(vectorize("1,5"), Parsed({1.0}, false));
  EXPECT_EQ(vectorize("1, 5"), Parsed({1.0}, false));
  EXPECT_EQ(vectorize("1.5 x 2"), Parsed({1.5}, false));
  EXPECT_EQ(vectorize("5 cm"), Parsed({5.0}, false));
  EXPECT_EQ(vectorize("x"), Parsed({}, false));
  // An exponent mark needs a digit before it.
  EXPECT_EQ(vectorize("1 .e5"), Parsed({1.0}, false));
}

TEST(Vectorize, letters_of_hex_infinity_or_nan_forms_end_the_number_before_them) {
  EXPECT_EQ(vectorize("0x1p3"), Parsed({0.0}, false));
  EXPECT_EQ(vectorize("2 inf"), Parsed({2.0}, false));
  EXPECT_EQ(vectorize("nan"), Parsed({}, false));
}
