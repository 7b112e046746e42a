#include "winui/Dpi.h"

namespace {

int g_dpi = 96;

std::int32_t MulDivRound(std::int32_t value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<std::int32_t>(product >= 0 ? (product + half) / denominator
                                                : (product - half) / denominator);
}

}  // namespace

void SetDisplayDpi(int dpi) { g_dpi = dpi > 0 ? dpi : 96; }
int DisplayDpi() { return g_dpi; }
std::int32_t ScaleFrom96(std::int32_t value) { return MulDivRound(value, g_dpi, 96); }
std::int32_t ScaleTo96(std::int32_t value) { return MulDivRound(value, 96, g_dpi); }
