#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "profile.h"
#include "profile_svg.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;  // character data directly inside the element
  std::size_t depth = 0;
};

struct Document {
  std::string problem;  // empty when the document is well-formed
  std::vector<Element> elements;
};

bool name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '-' ||
         c == '.';
}

// Character data may hold '&' only as the start of one of the entities the writer can produce.
bool entities_valid(const std::string& text) {
  for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
    bool known = false;
    for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
      if (text.compare(at, std::string(entity).size(), entity) == 0) known = true;
    }
    if (!known) return false;
  }
  return true;
}

// A small well-formedness check: one root, balanced tags, quoted unique attributes, no stray
// markup in text or attribute values.
Document parse(const std::string& xml) {
  Document doc;
  std::size_t pos = 0;
  if (xml.compare(0, 5, "<?xml") == 0) {
    pos = xml.find("?>");
    if (pos == std::string::npos) return {"unterminated declaration", {}};
    pos += 2;
  }
  std::vector<std::size_t> open;  // indices into doc.elements
  bool root_seen = false;
  while (pos < xml.size()) {
    const std::size_t lt = xml.find('<', pos);
    const std::string text =
        xml.substr(pos, lt == std::string::npos ? std::string::npos : lt - pos);
    if (!entities_valid(text)) return {"bad entity in text", {}};
    if (open.empty()) {
      for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) return {"text outside the root", {}};
      }
    } else {
      doc.elements[open.back()].text += text;
    }
    if (lt == std::string::npos) break;
    pos = lt + 1;
    const bool closing = pos < xml.size() && xml[pos] == '/';
    if (closing) ++pos;
    const std::size_t name_start = pos;
    while (pos < xml.size() && name_char(xml[pos])) ++pos;
    const std::string name = xml.substr(name_start, pos - name_start);
    if (name.empty()) return {"tag without a name", {}};
    if (closing) {
      if (pos >= xml.size() || xml[pos] != '>') return {"bad closing tag " + name, {}};
      if (open.empty() || doc.elements[open.back()].name != name) {
        return {"closing tag " + name + " does not match", {}};
      }
      open.pop_back();
      ++pos;
      continue;
    }
    if (open.empty() && root_seen) return {"second root element " + name, {}};
    root_seen = true;
    Element element;
    element.name = name;
    element.depth = open.size();
    bool self_closing = false;
    while (true) {
      while (pos < xml.size() && std::isspace(static_cast<unsigned char>(xml[pos]))) ++pos;
      if (pos >= xml.size()) return {"unterminated tag " + name, {}};
      if (xml.compare(pos, 2, "/>") == 0) {
        self_closing = true;
        pos += 2;
        break;
      }
      if (xml[pos] == '>') {
        ++pos;
        break;
      }
      const std::size_t attribute_start = pos;
      while (pos < xml.size() && name_char(xml[pos])) ++pos;
      const std::string attribute = xml.substr(attribute_start, pos - attribute_start);
      if (attribute.empty() || pos + 1 >= xml.size() || xml[pos] != '=' ||
          (xml[pos + 1] != '"' && xml[pos + 1] != '\'')) {
        return {"unquoted or malformed attribute in " + name, {}};
      }
      const char quote = xml[pos + 1];
      const std::size_t value_end = xml.find(quote, pos + 2);
      if (value_end == std::string::npos) return {"unterminated attribute value", {}};
      const std::string value = xml.substr(pos + 2, value_end - pos - 2);
      if (value.find('<') != std::string::npos || !entities_valid(value)) {
        return {"markup in attribute value", {}};
      }
      if (!element.attributes.emplace(attribute, value).second) {
        return {"duplicate attribute " + attribute, {}};
      }
      pos = value_end + 1;
      // Attributes must be separated by white space.
      if (pos < xml.size() && !std::isspace(static_cast<unsigned char>(xml[pos])) &&
          xml[pos] != '>' && xml[pos] != '/') {
        return {"attributes run together in " + name, {}};
      }
    }
    doc.elements.push_back(element);
    if (!self_closing) open.push_back(doc.elements.size() - 1);
  }
  if (!open.empty()) return {"unclosed element " + doc.elements[open.back()].name, {}};
  if (!root_seen) return {"no root element", {}};
  return doc;
}

std::vector<const Element*> named(const Document& doc, const std::string& name) {
  std::vector<const Element*> found;
  for (const Element& element : doc.elements) {
    if (element.name == name) found.push_back(&element);
  }
  return found;
}

std::vector<std::pair<double, double>> points_of(const Element& polyline) {
  std::vector<std::pair<double, double>> points;
  std::istringstream in(polyline.attributes.at("points"));
  std::string pair;
  while (in >> pair) {
    const std::size_t comma = pair.find(',');
    points.emplace_back(std::stod(pair.substr(0, comma)), std::stod(pair.substr(comma + 1)));
  }
  return points;
}

// The title that follows a curve's polyline inside it.
std::string title_of(const Document& doc, const Element& polyline) {
  const std::size_t index = static_cast<std::size_t>(&polyline - doc.elements.data());
  if (index + 1 < doc.elements.size() && doc.elements[index + 1].name == "title" &&
      doc.elements[index + 1].depth == polyline.depth + 1) {
    return doc.elements[index + 1].text;
  }
  return "";
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

}  // namespace

TEST(XmlCheck, rejects_unbalanced_unquoted_and_doubly_rooted_documents) {
  EXPECT_EQ(parse("<svg><g></g></svg>").problem, "");
  EXPECT_NE(parse("<svg><g></svg>").problem, "");
  EXPECT_NE(parse("<svg><g></g>").problem, "");
  EXPECT_NE(parse("<svg width=10></svg>").problem, "");
  EXPECT_NE(parse("<svg a=\"1\" a=\"2\"></svg>").problem, "");
  EXPECT_NE(parse("<svg></svg><svg></svg>").problem, "");
  EXPECT_NE(parse("<svg><text>a & b</text></svg>").problem, "");
  EXPECT_NE(parse("<svg><text>a</text></svg>trailing").problem, "");
}

TEST(ProfileSvg, chart_is_one_svg_root_with_one_121_point_curve_per_instant) {
  const std::vector<ProfileCurve> curves{curve(10, true, 200), curve(200, true, 800),
                                         curve(2010, false, 620), curve(3998, false, 6.6)};
  const Document doc = parse(chart(curves));
  ASSERT_EQ(doc.problem, "");
  ASSERT_EQ(named(doc, "svg").size(), 1u);
  EXPECT_EQ(doc.elements.front().name, "svg");
  EXPECT_EQ(doc.elements.front().attributes.at("xmlns"), "http://www.w3.org/2000/svg");
  const std::vector<const Element*> polylines = named(doc, "polyline");
  ASSERT_EQ(polylines.size(), curves.size());
  for (std::size_t c = 0; c < curves.size(); ++c) {
    EXPECT_EQ(points_of(*polylines[c]).size(), 121u);
    EXPECT_EQ(polylines[c]->attributes.at("fill"), "none");
  }
  EXPECT_EQ(title_of(doc, *polylines[0]), "t = 10 s, heater on");
  EXPECT_EQ(title_of(doc, *polylines[3]), "t = 3998 s, heater off");
}

TEST(ProfileSvg, axes_carry_units_and_legend_names_each_instant_by_heater_state) {
  const std::string svg = chart({curve(50, true, 400), curve(2200, false, 240)});
  const Document doc = parse(svg);
  ASSERT_EQ(doc.problem, "");
  std::vector<std::string> texts;
  for (const Element* text : named(doc, "text")) texts.push_back(text->text);
  auto has = [&](const std::string& wanted) {
    for (const std::string& text : texts) {
      if (text == wanted) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("x, distance from the heated end (cm)"));
  EXPECT_TRUE(has("temperature above 300 K (K)"));
  EXPECT_TRUE(has("Heater on"));
  EXPECT_TRUE(has("Heater off"));
  EXPECT_TRUE(has("t = 50 s"));
  EXPECT_TRUE(has("t = 2200 s"));
  EXPECT_TRUE(has("0"));
  EXPECT_TRUE(has("30"));
  // Cooling is dashed in the plot and in its legend swatch, heating is not.
  const std::vector<const Element*> polylines = named(doc, "polyline");
  ASSERT_EQ(polylines.size(), 2u);
  EXPECT_EQ(polylines[0]->attributes.count("stroke-dasharray"), 0u);
  EXPECT_EQ(polylines[1]->attributes.count("stroke-dasharray"), 1u);
  std::size_t dashed_swatches = 0;
  for (const Element* line : named(doc, "line")) {
    if (line->attributes.count("stroke-dasharray")) {
      ++dashed_swatches;
      EXPECT_EQ(line->attributes.at("stroke"), polylines[1]->attributes.at("stroke"));
    }
  }
  EXPECT_EQ(dashed_swatches, 1u);
}

TEST(ProfileSvg, flat_or_empty_profiles_and_markup_in_the_title_stay_well_formed) {
  for (const std::string& svg :
       {chart({}), chart({curve(0, true, 0.0)}), chart({curve(0, true, 0.0)}, "a < b & c > d")}) {
    const Document doc = parse(svg);
    EXPECT_EQ(doc.problem, "") << svg.substr(0, 200);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
  }
  EXPECT_NE(chart({}, "a < b").find("a &lt; b"), std::string::npos);
}

TEST(ProfileSvg, program_draws_each_chosen_instant_rising_while_heated_and_falling_after) {
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  const ProgramResult result = run_program(RODHEAT_PROFILE_EXE, "", dir, 120);
  ASSERT_EQ(result.exit_status, 0);
  const Document doc = parse(read_file(dir + "/debug.svg"));
  ASSERT_EQ(doc.problem, "");
  const std::vector<int>& instants = picture_instants();
  const std::vector<const Element*> polylines = named(doc, "polyline");
  ASSERT_EQ(polylines.size(), instants.size());
  double previous_hot_end_y = 0.0;
  bool previous_heating = true;
  for (std::size_t c = 0; c < instants.size(); ++c) {
    const bool heating = instants[c] <= 2000;
    EXPECT_EQ(title_of(doc, *polylines[c]),
              "t = " + std::to_string(instants[c]) + " s, heater " + (heating ? "on" : "off"));
    const std::vector<std::pair<double, double>> points = points_of(*polylines[c]);
    ASSERT_EQ(points.size(), 121u);
    // The heated end climbs (smaller y) while heated and sinks once cooling has begun.
    if (c > 0 && heating == previous_heating) {
      if (heating) {
        EXPECT_LT(points.front().second, previous_hot_end_y) << instants[c];
      } else {
        EXPECT_GT(points.front().second, previous_hot_end_y) << instants[c];
      }
    }
    previous_hot_end_y = points.front().second;
    previous_heating = heating;
  }
}
