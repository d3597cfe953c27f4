#include "profile/profile_svg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

namespace {

constexpr double width = 860.0;
constexpr double height = 540.0;
constexpr double plot_left = 80.0;
constexpr double plot_right = 620.0;
constexpr double plot_top = 60.0;
constexpr double plot_bottom = 460.0;
constexpr double legend_left = 650.0;
constexpr double node_spacing_cm = 0.25;
constexpr double rod_cm = 30.0;

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

// One hue per phase, every shade dark enough for a projector: heating in reds that darken as
// the rod heats, cooling in blues that lighten as it cools.
std::string colour(bool heating, std::size_t index) {
  static const char* const warm[] = {"#e41a1c", "#c81b1b", "#a50f15",
                                     "#860a10", "#67000d", "#45000a"};
  static const char* const cool[] = {"#061f47", "#08306b", "#08458a",
                                     "#08519c", "#1a5fa0", "#2171b5"};
  return heating ? warm[index % 6] : cool[index % 6];
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
  out << "<g stroke=\"#dddddd\" stroke-width=\"1\">\n";
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
  out << "<g stroke=\"black\" stroke-width=\"1\">\n"
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
      << "transform=\"rotate(-90 24 " << coordinate(middle_y)
      << ")\">temperature above 300 K (K)</text>\n";
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
  double legend_y = plot_top + 4;
  bool heading_written[2] = {false, false};
  for (const ProfileCurve& curve : curves) {
    const std::size_t index = curve.heating ? heating_index++ : cooling_index++;
    const std::string stroke = colour(curve.heating, index);
    const std::string dash = curve.heating ? "" : " stroke-dasharray=\"7 4\"";
    out << "<polyline fill=\"none\" stroke=\"" << stroke << "\" stroke-width=\"2\"" << dash
        << " points=\"";
    for (std::size_t i = 0; i < curve.excess.size(); ++i) {
      out << (i ? " " : "") << coordinate(to_x(static_cast<double>(i) * node_spacing_cm)) << ","
          << coordinate(to_y(curve.excess[i], top));
    }
    out << "\"><title>" << label(curve) << (curve.heating ? ", heater on" : ", heater off")
        << "</title></polyline>\n";

    bool& heading = heading_written[curve.heating ? 0 : 1];
    if (!heading) {
      heading = true;
      if (legend_y > plot_top + 4) legend_y += 10;
      out << "<text x=\"" << coordinate(legend_left) << "\" y=\"" << coordinate(legend_y + 4)
          << "\" font-weight=\"bold\">" << (curve.heating ? "Heater on" : "Heater off")
          << "</text>\n";
      legend_y += 22;
    }
    out << "<line x1=\"" << coordinate(legend_left) << "\" y1=\"" << coordinate(legend_y)
        << "\" x2=\"" << coordinate(legend_left + 34) << "\" y2=\"" << coordinate(legend_y)
        << "\" stroke=\"" << stroke << "\" stroke-width=\"2\"" << dash << "/>\n"
        << "<text x=\"" << coordinate(legend_left + 42) << "\" y=\"" << coordinate(legend_y + 4)
        << "\">" << label(curve) << "</text>\n";
    legend_y += 20;
  }
  out << "</svg>\n";
}
