#include "keyboard/player_parts.h"

#include "loading/stage_settings.h"

namespace vambrio::keyboard {
namespace {

// One byte each: 0..127, or 0xFF for -1.
uint32_t Byte(int v) { return v < 0 || v > 127 ? 0xFFu : static_cast<uint32_t>(v); }
int Value(uint32_t b) { return b == 0xFF ? -1 : static_cast<int>(b); }

}  // namespace

uint32_t PartSound::Packed() const {
  return Byte(bankMsb) << 24 | Byte(bankLsb) << 16 | Byte(program) << 8 | Byte(volume);
}

PartSound PartSound::Unpack(uint32_t w) {
  return {Value(w >> 24), Value((w >> 16) & 0xFF), Value((w >> 8) & 0xFF), Value(w & 0xFF)};
}

int SettingChannel(Part part) { return part == Part::Right1 ? 0 : part == Part::Right2 ? 1 : 3; }

PartSetup SetupOf(const OneTouchSetting& setting, int index) {
  PartSetup out;
  out.setting = index;
  for (const OtsMessage& m : setting.messages) {
    if (out.count == PartSetup::kMaxMessages) break;
    out.messages[out.count++] = {m.status, m.data1, m.data2};
  }
  for (int p = 0; p < kPartCount; ++p) {
    const OtsPart& part = setting.parts[static_cast<size_t>(SettingChannel(static_cast<Part>(p)))];
    if (!part.HasVoice()) continue;
    out.hasSound[static_cast<size_t>(p)] = true;
    out.sounds[static_cast<size_t>(p)] = {part.bankMsb < 0 ? 0 : part.bankMsb, part.bankLsb < 0 ? 0 : part.bankLsb,
                                          part.program, part.volume};
  }
  return out;
}

}  // namespace vambrio::keyboard
