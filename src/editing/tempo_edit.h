// Tempo edit: one new tempo written into every tempo event of the style.
#pragma once

#include <cstdint>
#include <string>

#include "model/style_model.h"

namespace vambrio {

inline constexpr const char* kTempoPrompt = "Enter a value between 32 and 280";
inline constexpr const char* kTempoTitle = "Edit Tempo";
inline constexpr const char* kTempoRangeText = "Tempo must be between 32 and 280";
inline constexpr int kTempoMin = 32;
inline constexpr int kTempoMax = 280;

// The separators of the user's number format.
struct NumberFormat {
  std::string decimal = ".";
  std::string thousands;  // empty: none
};

// The current C locale's (LC_NUMERIC) decimal point and thousands separator.
NumberFormat CurrentNumberFormat();

// Reads text as a number in the user's number format (the current C
// locale's decimal point and thousands separator; blanks around it allowed)
// and rounds it half to even. Raises error 13 (Type mismatch) for text that
// is not a number and 6 (Overflow) for a number outside -32768..32767.
int16_t ParseTempoText(const std::string& text);
int16_t ParseTempoText(const std::string& text, const NumberFormat& format);

// Microseconds per quarter note for tempo t in beats of 4/denominator
// quarters: 60000000 / (t x 4 / denominator), rounded half to even. Raises
// 11 for a denominator of 0 and 6 when the value does not fit three bytes.
int32_t TempoMicroseconds(int t, int denominator);

// Writes tempo t into every used slot of the tempo tables, in order, stopping
// at the first slot whose value is 0. Raises on a failure; events already
// rewritten keep their new bytes. DisplayTempo and the tables are not changed.
void WriteTempo(StyleModel& m, int16_t t);

}  // namespace vambrio
