#include "needle.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "hand_over.h"
#include "random_source.h"
#include "vector3.h"

namespace {

constexpr double pi = 3.141592653589793;
// The largest current (A) either way, and the table's side (mm) for X and Y.
constexpr double max_current = 5.0;
constexpr double table_side = 100.0;
// The wire crosses the table through (wire_x, wire_y) mm, needle_height mm below the needle,
// at wire_angle from +Y toward +X (120 degrees).
constexpr double wire_x = 0.0;
constexpr double wire_y = 75.0;
constexpr double needle_height = 5.0;
const double wire_angle = 2.0943951023931953;
// mu0 / (2 pi) in T mm / A: a current I gives mu0 I / (2 pi d) at d mm from the wire.
constexpr double mu0_over_2pi = 0.0002;
// The constant background field (T), along +Y.
constexpr double background_field = 4e-05;
// The scale (mm) of the needle's random placement error.
constexpr double placement_error = 0.25;

enum class Prompt { current, x, y };

void print_prompt(std::FILE* out, Prompt prompt) {
  switch (prompt) {
    case Prompt::current:
      std::fprintf(out, "Enter I (A) between %5.1f and %5.1f : ", -max_current, max_current);
      break;
    case Prompt::x:
      std::fprintf(out, "Enter X (mm) between 0 and %5.0f : ", table_side);
      break;
    case Prompt::y:
      std::fprintf(out, "Enter Y (mm) between 0 and %5.0f : ", table_side);
      break;
  }
}

// Reads the next run of characters up to a blank, a tab or a line end into token, after
// passing over white space as "%lf" does. The character that ends the run stays in the input;
// a carriage return just before a line feed belongs to the line end. False at the end of input.
bool read_token(std::FILE* in, std::string& token) {
  int ch = std::fgetc(in);
  while (ch == ' ' || (ch >= '\t' && ch <= '\r')) ch = std::fgetc(in);
  if (ch == EOF) return false;
  token.clear();
  for (;;) {
    if (ch == '\r') {
      ch = std::fgetc(in);
      if (ch == '\n') break;
      token += '\r';
      continue;
    }
    if (ch == ' ' || ch == '\t' || ch == '\n' || ch == EOF) break;
    token += static_cast<char>(ch);
    ch = std::fgetc(in);
  }
  if (ch != EOF) std::ungetc(ch, in);
  return true;
}

// True when the whole token is one number, read as "%lf" reads it; "nan" converts, but lies
// in no range and would print a meaningless angle.
bool whole_number(const std::string& token, double& value) {
  char* end = nullptr;
  const double read = std::strtod(token.c_str(), &end);
  if (end != token.c_str() + token.size() || std::isnan(read)) return false;
  value = read;
  return true;
}

// Prints the prompt and reads one number into value, and its text as typed into token. A token
// that is not a number discards the rest of that input line, says so and asks again. At the end
// of input prints "\n" and returns false; value is then left untouched.
bool ask(std::FILE* in, std::FILE* out, Prompt prompt, double& value, std::string& token) {
  for (;;) {
    print_prompt(out, prompt);
    std::fflush(out);
    if (!read_token(in, token)) {
      std::fprintf(out, "\n");
      std::fflush(out);
      return false;
    }
    if (whole_number(token, value)) return true;
    int ch = 0;
    do {
      ch = std::fgetc(in);
    } while (ch != '\n' && ch != EOF);
    std::fprintf(out, "Invalid entry.  Enter a number using a decimal point.\n");
  }
}

}  // namespace

double needle_phi(double I, double X, double Y) {
  const double u[3] = {std::sin(wire_angle), std::cos(wire_angle), 0.0};
  const double r[3] = {X - wire_x, Y - wire_y, needle_height};
  double c[3];
  cross(u, r, c);
  const double d = norm(c, 3);
  const double k = mu0_over_2pi * I / (d * d);
  const double B[3] = {k * c[0], k * c[1] + background_field, k * c[2]};
  const double Bxy = norm(B, 2);
  double phi = std::acos(B[1] / Bxy);
  if (B[0] < 0) phi = -phi;
  return 180.0 * phi / pi;
}

int needle_loop(std::FILE* in, std::FILE* out, unsigned int seed) {
  // The names the CSV files students already have give the columns.
  const std::vector<std::string> columns{"I (A)", "X (mm)", "Y (mm)", "PHI (degrees)"};
  double remembered_x = -1.0;
  double remembered_y = -1.0;
  random_srand(seed);
  for (;;) {
    double I = 0.0;
    double X = 0.0;
    double Y = 0.0;
    std::string typed_current;
    std::string typed_x;
    std::string typed_y;
    if (!ask(in, out, Prompt::current, I, typed_current)) return 0;
    if (std::fabs(I) > max_current) {
      std::fprintf(out,
                   "Maximum current exceeded!\nPress Enter key to exit.\n"
                   "Restart the program to resume the simulations.");
      std::fflush(out);
      // Two reads: normally the end of the current's line, then the Enter key.
      for (int i = 0; i < 2; ++i) {
        if (std::fgetc(in) == EOF) {
          std::fprintf(out, "\n");
          break;
        }
      }
      std::fflush(out);
      return 0;
    }
    if (!ask(in, out, Prompt::x, X, typed_x)) return 0;
    if (!ask(in, out, Prompt::y, Y, typed_y)) return 0;
    if (X < 0 || X > table_side || Y < 0 || Y > table_side) {
      std::fprintf(out, "Coordinates out of range.\n");
      continue;
    }
    I = std::round(10 * I) / 10;
    X = std::round(X);
    Y = std::round(Y);
    if (X != remembered_x || Y != remembered_y) {
      remembered_x = X;
      remembered_y = Y;
      int first = 0;
      do {
        first = random_rand();
      } while (first <= 0);
      const double u1 = first / 2147483647.0;
      const double R = 0.0001 + 0.9999 * std::sqrt(-2.0 * std::log(u1));
      const double u2 = random_rand() / 2147483647.0;
      const double theta = 2 * pi * u2;
      X = X + (placement_error * R) * std::cos(theta);
      Y = Y + (placement_error * R) * std::sin(theta);
    }
    // "%5.0f" is this text right-aligned in five places; the pass carries it unpadded.
    char phi[16];
    std::snprintf(phi, sizeof phi, "%.0f", needle_phi(I, X, Y));
    std::fprintf(out, "PHI = %5s degrees\n", phi);
    std::fprintf(out, "-------------------------------\n");
    hand_over_pass(columns, {typed_current, typed_x, typed_y, phi});
  }
}
