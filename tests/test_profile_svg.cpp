#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "profile/profile_program.h"
#include "profile/profile_svg.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

// A viewer refuses the whole picture at its first markup error, so every tag is checked in order.
std::string markup_error(const std::string& svg) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  if (svg.rfind(head + "<svg xmlns=\"http://www.w3.org/2000/svg\" ", 0) != 0) return "no svg root";
  if (std::regex_search(svg, std::regex("&(?!(amp|lt|gt);)"))) return "stray &";
  static const std::regex tag(R"re(<(/?)([a-z]+)((?:\s+[A-Za-z0-9-]+="[^"<]*")*)\s*(/?)>)re");
  static const std::regex repeated(R"re(\s([A-Za-z0-9-]+)=".*\s\1=")re");
  std::vector<std::string> open;
  for (std::sregex_iterator it(svg.begin() + head.size(), svg.end(), tag), end; it != end; ++it) {
    const std::string text = it->prefix(), name = (*it)[2], attributes = (*it)[3];
    // A raw '<' or a tag with malformed attributes is left between the matched tags.
    if (text.find('<') != std::string::npos) return "stray < at " + text.substr(text.find('<'), 40);
    if ((*it)[1].length()) {
      if (open.empty() || open.back() != name) return it->str() + " closes nothing open";
      open.pop_back();
      if (open.empty() && it->suffix().str() != "\n") return "the root does not end the file";
      continue;
    }
    if (open.empty() && it->prefix().first != svg.begin() + head.size()) return "a second root";
    if (std::regex_search(attributes, repeated)) return "duplicate attribute in <" + name + ">";
    if (!(*it)[4].length()) open.push_back(name);
  }
  return open.empty() ? "" : "<" + open.back() + "> is never closed";
}

// Opening tags of one element kind in order, each with the text inside it (a curve's: its title).
std::vector<std::pair<std::string, std::string>> tags(const std::string& svg,
                                                      const std::string& name) {
  const std::regex pattern("(<" + name + "\\b[^>]*>)(?:<title>)?([^<]*)");
  std::vector<std::pair<std::string, std::string>> found;
  for (std::sregex_iterator it(svg.begin(), svg.end(), pattern), end; it != end; ++it) {
    found.emplace_back((*it)[1], (*it)[2]);
  }
  return found;
}

std::string attribute(const std::string& tag, const std::string& name) {
  std::smatch value;
  const std::regex pattern("\\s" + name + "=\"([^\"]*)\"");
  return std::regex_search(tag, value, pattern) ? value[1].str() : "";
}

// The heights of a polyline's points; each point's x follows from its node.
std::vector<double> heights(const std::string& polyline) {
  std::string text = attribute(polyline, "points");
  std::replace(text.begin(), text.end(), ',', ' ');
  std::istringstream in(text);
  std::vector<double> ys;
  for (double x, y; in >> x >> y;) ys.push_back(y);
  return ys;
}

ProfileCurve curve(double time, bool heating, double hot_end) {
  ProfileCurve result{time, heating, {}};
  for (int i = 0; i < 121; ++i) result.excess.push_back(hot_end * (1.0 - i / 240.0));
  return result;
}

std::string chart(const std::vector<ProfileCurve>& curves, const std::string& title = "Profile") {
  std::ostringstream out;
  write_profile_svg(out, curves, title);
  return out.str();
}

// WCAG relative luminance of a "#rrggbb" colour.
double luminance(const std::string& hex) {
  double channels[3];
  for (int c = 0; c < 3; ++c) {
    const double v = std::stoi(hex.substr(1 + 2 * c, 2), nullptr, 16) / 255.0;
    channels[c] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  }
  return 0.2126 * channels[0] + 0.7152 * channels[1] + 0.0722 * channels[2];
}

}  // namespace

TEST(ProfileSvg, chart_is_one_svg_root_with_one_121_point_curve_per_instant) {
  const std::vector<ProfileCurve> curves{curve(10, true, 200), curve(200, true, 800),
                                         curve(2010, false, 620), curve(3998, false, 6.6)};
  const std::string svg = chart(curves);
  ASSERT_EQ(markup_error(svg), "");
  const auto polylines = tags(svg, "polyline");
  ASSERT_EQ(polylines.size(), curves.size());
  for (const auto& polyline : polylines) {
    EXPECT_EQ(heights(polyline.first).size(), 121u);
    EXPECT_EQ(attribute(polyline.first, "fill"), "none");
  }
  EXPECT_EQ(polylines[0].second, "t = 10 s, heater on");
  EXPECT_EQ(polylines[3].second, "t = 3998 s, heater off");
}

TEST(ProfileSvg, axes_carry_units_and_each_curve_is_named_at_its_end_in_its_colour) {
  const std::string svg = chart({curve(50, true, 400), curve(2200, false, 240)});
  ASSERT_EQ(markup_error(svg), "");
  std::set<std::string> texts;
  for (const auto& text : tags(svg, "text")) texts.insert(text.second);
  for (const char* wanted : {"x, distance from the heated end (cm)", "temperature above 300 K (K)",
                             "heater on", "heater off", "t = 50 s", "t = 2200 s", "0", "30"}) {
    EXPECT_EQ(texts.count(wanted), 1u) << wanted;
  }
  // Cooling is dashed in the plot and in the key, heating is not.
  const auto polylines = tags(svg, "polyline");
  ASSERT_EQ(polylines.size(), 2u);
  EXPECT_EQ(attribute(polylines[0].first, "stroke-dasharray"), "");
  EXPECT_NE(attribute(polylines[1].first, "stroke-dasharray"), "");
  int dashed_keys = 0;
  for (const auto& line : tags(svg, "line"))
    dashed_keys += attribute(line.first, "stroke-dasharray") != "";
  EXPECT_EQ(dashed_keys, 1);
  // Each label sits beside its curve's end, in its colour.
  for (const auto& text : tags(svg, "text")) {
    for (std::size_t c = 0; c < 2; ++c) {
      if (text.second != (c ? "t = 2200 s" : "t = 50 s")) continue;
      EXPECT_EQ(attribute(text.first, "fill"), attribute(polylines[c].first, "stroke"));
      EXPECT_NEAR(std::stod(attribute(text.first, "y")) - 4, heights(polylines[c].first).back(), 1);
    }
  }
}

TEST(ProfileSvg, flat_or_empty_profiles_and_markup_in_the_title_stay_well_formed) {
  const std::string marked_up = chart({curve(0, true, 0.0)}, "a < b & c > d");
  for (const std::string& svg : {chart({}), chart({curve(0, true, 0.0)}), marked_up}) {
    EXPECT_EQ(markup_error(svg), "") << svg.substr(0, 200);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
  }
  EXPECT_NE(marked_up.find("<title>a &lt; b &amp; c &gt; d</title>"), std::string::npos);
}

TEST(ProfileSvg, program_draws_each_chosen_instant_rising_while_heated_and_falling_after) {
  const ScratchDir scratch;
  ASSERT_EQ(run_program(RODHEAT_PROFILE_EXE, "", scratch.path(), 120).exit_status, 0);
  const std::string svg = read_file(scratch.path() + "/debug.svg");
  ASSERT_EQ(markup_error(svg), "");
  const std::vector<int>& instants = picture_instants();
  const auto polylines = tags(svg, "polyline");
  ASSERT_EQ(polylines.size(), instants.size());
  for (std::size_t c = 0; c < instants.size(); ++c) {
    const bool heating = instants[c] <= 2000;
    EXPECT_EQ(polylines[c].second,
              "t = " + std::to_string(instants[c]) + " s, heater " + (heating ? "on" : "off"));
    ASSERT_EQ(heights(polylines[c].first).size(), 121u);
    // The heated end climbs (smaller y) while heated and sinks once cooling has begun.
    if (c > 0 && heating == (instants[c - 1] <= 2000)) {
      const double y = heights(polylines[c].first)[0], before = heights(polylines[c - 1].first)[0];
      EXPECT_TRUE(heating ? y < before : y > before)
          << instants[c] << ": " << y << " vs " << before;
    }
  }
}

TEST(ProfileSvg, program_curves_differ_from_their_neighbours_stand_out_and_clear_the_axis) {
  const ScratchDir scratch;
  ASSERT_EQ(run_program(RODHEAT_PROFILE_EXE, "", scratch.path(), 120).exit_status, 0);
  const std::string svg = read_file(scratch.path() + "/debug.svg");
  ASSERT_EQ(markup_error(svg), "");
  const auto polylines = tags(svg, "polyline");
  ASSERT_EQ(polylines.size(), picture_instants().size());
  double axis_y = 0.0, top_y = 1e9;  // the axis lines: the lowest and the highest y drawn
  for (const auto& line : tags(svg, "line")) {
    axis_y = std::max(axis_y, std::stod(attribute(line.first, "y1")));
    top_y = std::min(top_y, std::stod(attribute(line.first, "y1")));
  }
  const auto rgb = [](const std::string& hex, int c) {
    return std::stoi(hex.substr(1 + 2 * c, 2), nullptr, 16);
  };
  for (std::size_t c = 0; c < polylines.size(); ++c) {
    const std::string stroke = attribute(polylines[c].first, "stroke");
    // A line's contrast on white, so that a washed-out projector still shows the curve.
    EXPECT_GE(1.05 / (luminance(stroke) + 0.05), 3.0) << stroke;
    if (c > 0) {
      const std::string before = attribute(polylines[c - 1].first, "stroke");
      double distance = 0;
      for (int k = 0; k < 3; ++k) distance += std::pow(rgb(stroke, k) - rgb(before, k), 2);
      EXPECT_GE(std::sqrt(distance), 80) << before << " then " << stroke;
    }
    double highest = axis_y;
    for (const double y : heights(polylines[c].first)) highest = std::min(highest, y);
    EXPECT_LT(highest, axis_y - 0.03 * (axis_y - top_y)) << picture_instants()[c];
  }
}
