#include "profile/profile_svg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "model/constants.h"

namespace {

constexpr double width = 860.0;
constexpr double height = 540.0;
constexpr double plot_left = 80.0;
constexpr double plot_right = 620.0;
constexpr double plot_top = 60.0;
constexpr double plot_bottom = 460.0;
constexpr double label_gap = 15.0;  // between two curves' labels, as a line of text needs
constexpr double node_spacing_cm = node_spacing * 100;
constexpr double rod_cm = rod_length * 100;

// Built with snprintf so that the numbers never depend on the stream's locale or format.
std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string coordinate(double value) { return format("%.2f", value); }

double to_x(double cm) { return plot_left + (plot_right - plot_left) * cm / rod_cm; }

double to_y(double kelvin, double top) {
  return plot_bottom - (plot_bottom - plot_top) * kelvin / top;
}

// A 1, 2 or 5 step that gives the axis about ten divisions.
double tick_step(double largest) {
  const double raw = largest / 10.0;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double multiple : {1.0, 2.0, 5.0}) {
    if (multiple * magnitude >= raw) return multiple * magnitude;
  }
  return 10.0 * magnitude;
}

// Warm colours while heating, cool ones after, from palettes that colour-blind viewers tell
// apart; neighbours in time differ in hue and lightness, and every one stands out from white by
// at least 3 to 1, so that a washed-out projector still shows it.
std::string colour(bool heating, std::size_t index) {
  static const char* const warm[] = {"#cc3311", "#aa4499", "#994f00",
                                     "#ee3377", "#882255", "#000000"};
  static const char* const cool[] = {"#004488", "#009988", "#332288",
                                     "#117733", "#0077bb", "#555555"};
  return heating ? warm[index % 6] : cool[index % 6];
}

// Label baselines near each curve's end, in the curves' order, pushed apart where they would
// overlap and kept within the plot's height.
std::vector<double> label_positions(const std::vector<double>& wanted) {
  std::vector<std::size_t> order(wanted.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return wanted[a] < wanted[b]; });
  std::vector<double> placed(wanted);
  for (std::size_t k = 1; k < order.size(); ++k) {
    placed[order[k]] = std::max(placed[order[k]], placed[order[k - 1]] + label_gap);
  }
  for (std::size_t k = order.size(); k-- > 0;) {
    const double limit = k + 1 < order.size() ? placed[order[k + 1]] - label_gap : plot_bottom + 4;
    placed[order[k]] = std::min(placed[order[k]], limit);
  }
  return placed;
}

std::string escaped(const std::string& text) {
  std::string result;
  for (const char c : text) {
    switch (c) {
      case '&':
        result += "&amp;";
        break;
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      default:
        result += c;
    }
  }
  return result;
}

std::string label(const ProfileCurve& curve) { return "t = " + format("%g", curve.time) + " s"; }

void write_axes(std::ostream& out, double top, double step) {
  out << "<g stroke=\"#b0b0b0\" stroke-width=\"1\">\n";
  for (double cm = 5.0; cm <= rod_cm; cm += 5.0) {
    out << "<line x1=\"" << coordinate(to_x(cm)) << "\" y1=\"" << coordinate(plot_top) << "\" x2=\""
        << coordinate(to_x(cm)) << "\" y2=\"" << coordinate(plot_bottom) << "\"/>\n";
  }
  for (double k = step; k <= top + step / 2; k += step) {
    out << "<line x1=\"" << coordinate(plot_left) << "\" y1=\"" << coordinate(to_y(k, top))
        << "\" x2=\"" << coordinate(plot_right) << "\" y2=\"" << coordinate(to_y(k, top))
        << "\"/>\n";
  }
  out << "</g>\n";
  out << "<g stroke=\"black\" stroke-width=\"1.5\">\n"
      << "<line x1=\"" << coordinate(plot_left) << "\" y1=\"" << coordinate(plot_bottom)
      << "\" x2=\"" << coordinate(plot_right) << "\" y2=\"" << coordinate(plot_bottom) << "\"/>\n"
      << "<line x1=\"" << coordinate(plot_left) << "\" y1=\"" << coordinate(plot_top) << "\" x2=\""
      << coordinate(plot_left) << "\" y2=\"" << coordinate(plot_bottom) << "\"/>\n"
      << "</g>\n";
  out << "<g text-anchor=\"middle\">\n";
  for (double cm = 0.0; cm <= rod_cm; cm += 5.0) {
    out << "<text x=\"" << coordinate(to_x(cm)) << "\" y=\"" << coordinate(plot_bottom + 20)
        << "\">" << format("%g", cm) << "</text>\n";
  }
  out << "</g>\n<g text-anchor=\"end\">\n";
  for (double k = 0.0; k <= top + step / 2; k += step) {
    out << "<text x=\"" << coordinate(plot_left - 8) << "\" y=\"" << coordinate(to_y(k, top) + 4)
        << "\">" << format("%g", k) << "</text>\n";
  }
  out << "</g>\n";
  const double middle_x = (plot_left + plot_right) / 2;
  const double middle_y = (plot_top + plot_bottom) / 2;
  out << "<text x=\"" << coordinate(middle_x) << "\" y=\"" << coordinate(plot_bottom + 48)
      << "\" text-anchor=\"middle\">x, distance from the heated end (cm)</text>\n";
  out << "<text x=\"24\" y=\"" << coordinate(middle_y) << "\" text-anchor=\"middle\" "
      << "transform=\"rotate(-90 24 " << coordinate(middle_y) << ")\">temperature above "
      << format("%g", T_out) << " K (K)</text>\n";
}

}  // namespace

void write_profile_svg(std::ostream& out, const std::vector<ProfileCurve>& curves,
                       const std::string& title) {
  double largest = 0.0;
  for (const ProfileCurve& curve : curves) {
    for (const double value : curve.excess) largest = std::max(largest, value);
  }
  // A flat profile still needs an axis with some height.
  if (!(largest > 0.0)) largest = 1.0;
  const double step = tick_step(largest);
  const double top = std::ceil(largest / step) * step;

  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << format("%g", width)
      << "\" height=\"" << format("%g", height) << "\" viewBox=\"0 0 " << format("%g", width) << " "
      << format("%g", height) << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
      << "<title>" << escaped(title) << "</title>\n"
      << "<rect width=\"" << format("%g", width) << "\" height=\"" << format("%g", height)
      << "\" fill=\"white\"/>\n"
      << "<text x=\"" << coordinate((plot_left + plot_right) / 2) << "\" y=\"32\" "
      << "text-anchor=\"middle\" font-size=\"16\">" << escaped(title) << "</text>\n";
  write_axes(out, top, step);

  std::size_t heating_index = 0, cooling_index = 0;
  std::vector<double> ends;
  ends.reserve(curves.size());
  for (const ProfileCurve& curve : curves) {
    ends.push_back(to_y(curve.excess.empty() ? 0.0 : curve.excess.back(), top) + 4);
  }
  const std::vector<double> labels = label_positions(ends);
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const ProfileCurve& curve = curves[c];
    const std::size_t index = curve.heating ? heating_index++ : cooling_index++;
    const std::string stroke = colour(curve.heating, index);
    const std::string dash = curve.heating ? "" : " stroke-dasharray=\"9 5\"";
    out << "<polyline fill=\"none\" stroke=\"" << stroke << "\" stroke-width=\"3\"" << dash
        << " points=\"";
    for (std::size_t i = 0; i < curve.excess.size(); ++i) {
      out << (i ? " " : "") << coordinate(to_x(static_cast<double>(i) * node_spacing_cm)) << ","
          << coordinate(to_y(curve.excess[i], top));
    }
    out << "\"><title>" << label(curve) << (curve.heating ? ", heater on" : ", heater off")
        << "</title></polyline>\n";
    // Each curve named at its end, so that no one has to match colours to a legend; a label
    // pushed away from its curve is joined to it.
    out << "<path d=\"M" << coordinate(plot_right) << "," << coordinate(ends[c] - 4) << " L"
        << coordinate(plot_right + 10) << "," << coordinate(labels[c] - 4) << "\" stroke=\""
        << stroke << "\" stroke-width=\"1\"/>\n"
        << "<text x=\"" << coordinate(plot_right + 14) << "\" y=\"" << coordinate(labels[c])
        << "\" fill=\"" << stroke << "\">" << label(curve) << "</text>\n";
  }
  // The key: what solid and dashed mean.
  const double key_left = plot_right + 14;
  for (int row = 0; row < 2; ++row) {
    const double y = plot_bottom + 24 + 20 * row;
    out << "<line x1=\"" << coordinate(key_left) << "\" y1=\"" << coordinate(y) << "\" x2=\""
        << coordinate(key_left + 34) << "\" y2=\"" << coordinate(y) << "\" stroke=\"black\" "
        << "stroke-width=\"3\"" << (row ? " stroke-dasharray=\"9 5\"" : "") << "/>\n"
        << "<text x=\"" << coordinate(key_left + 42) << "\" y=\"" << coordinate(y + 4) << "\">"
        << (row ? "heater off" : "heater on") << "</text>\n";
  }
  out << "</svg>\n";
}
