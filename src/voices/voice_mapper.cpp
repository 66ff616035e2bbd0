#include "voices/voice_mapper.h"

#include <algorithm>
#include <bit>

namespace vambrio::voices {
namespace {

constexpr uint8_t kNowhere = 0xFF;
constexpr int kNoHelper = -1;

enum Cc : uint8_t {
  kBankMsb = 0, kDataEntry = 6, kVolume = 7, kPan = 10, kExpression = 11, kBankLsb = 32, kDataEntryLsb = 38,
  kSustain = 64, kReverb = 91, kChorus = 93, kRpnLsb = 100, kRpnMsb = 101, kAllSoundOff = 120,
  kResetControllers = 121, kAllNotesOff = 123, kOmniOff = 124, kPolyOn = 127,
};
constexpr uint8_t kDrumBankMsb = 127;
constexpr int kGmDrumChannel = 9;

MappedMessage Message(int channel, uint8_t kind, uint8_t d1, uint8_t d2, uint8_t size = 3) {
  MappedMessage m;
  m.channel = static_cast<uint8_t>(channel);
  m.size = size;
  m.bytes[0] = static_cast<uint8_t>(kind << 4 | (channel & 0x0F));
  m.bytes[1] = d1;
  m.bytes[2] = d2;
  return m;
}
MappedMessage Cc(int channel, uint8_t controller, uint8_t value) { return Message(channel, 0xB, controller, value); }

uint8_t Scaled(int velocity, int percent) { return static_cast<uint8_t>(std::clamp(velocity * percent / 100, 1, 127)); }

// The velocity's place inside its band, spread over kSoftestBandVelocity..127.
uint8_t Rescaled(int velocity, const ArticulationBand& b) {
  if (b.high <= b.low) return 127;
  constexpr int span = 127 - kSoftestBandVelocity;
  return static_cast<uint8_t>(kSoftestBandVelocity + (velocity - b.low) * span / (b.high - b.low));
}

const ArticulationBand* BandOf(const ArticulationMap& map, int velocity) {
  for (const ArticulationBand& b : map.bands)
    if (velocity >= b.low && velocity <= b.high) return &b;
  return nullptr;
}

}  // namespace

VoiceMapper::VoiceMapper(const VoiceMap& map) : map_(map) { Reset(); }

void VoiceMapper::Reset() {
  channels_ = {};
  for (size_t i = 0; i < helpers_.size(); ++i) {
    helpers_[i] = Helper{};
    if (i < map_.Settings().helpers.count) helpers_[i].channel = map_.Settings().helpers.channels[i];
  }
  for (auto& keys : sounding_) keys.fill(Sounding{});
  counts_ = {};
  // Channel 10 plays the Standard kit until told otherwise, as on any General MIDI synthesizer.
  ChannelState& drums = channels_[kGmDrumChannel];
  map_.Resolve(kGmDrumChannel, kDrumBankMsb, 0, 0, drums.voice);
  drums.resolved = true;
}

const VoiceResolution* VoiceMapper::Current(int channel) const {
  const ChannelState& c = channels_[static_cast<size_t>(channel & 0x0F)];
  return c.resolved ? &c.voice : nullptr;
}

int VoiceMapper::Map(const uint8_t* msg, uint32_t size, MappedMessage* out) {
  if (size == 0 || msg[0] < 0x80 || msg[0] >= 0xF0) return -1;
  const int ch = msg[0] & 0x0F;
  const uint8_t kind = msg[0] >> 4;
  const uint32_t need = kind == 0xC || kind == 0xD ? 2 : 3;
  if (size < need) return 0;
  const uint8_t d1 = msg[1] & 0x7F, d2 = need > 2 ? msg[2] & 0x7F : 0;
  switch (kind) {
    case 0x8: return MapNote(ch, false, d1, d2, out);
    case 0x9: return MapNote(ch, d2 != 0, d1, d2, out);
    case 0xB: return MapController(ch, d1, d2, out);
    case 0xC: return MapProgram(ch, d1, out);
    case 0xE:
      channels_[static_cast<size_t>(ch)].bendLsb = d1;
      channels_[static_cast<size_t>(ch)].bendMsb = d2;
      [[fallthrough]];
    default: return Mirror(ch, msg, need, out);
  }
}

int VoiceMapper::MapNote(int ch, bool on, int key, int velocity, MappedMessage* out) {
  Sounding& record = sounding_[static_cast<size_t>(ch)][static_cast<size_t>(key)];
  int written = 0;
  if (record.channel != kNowhere && (!on || record.channel != ch || record.key != key)) {
    out[written++] = Message(record.channel, 0x8, record.key, on ? 0 : static_cast<uint8_t>(velocity));
    if (record.helper >= 0 && helpers_[static_cast<size_t>(record.helper)].sounding > 0)
      --helpers_[static_cast<size_t>(record.helper)].sounding;
    record = Sounding{};
  }
  if (!on) {
    // A note-off of a note the mapper never saw goes where it was sent.
    if (written == 0) out[written++] = Message(ch, 0x8, static_cast<uint8_t>(key), static_cast<uint8_t>(velocity));
    return written;
  }

  const ChannelState& c = channels_[static_cast<size_t>(ch)];
  int toKey = key, toVelocity = velocity, program = kOwnProgram;
  if (c.resolved && c.voice.drums) {
    const KeyTarget& t = c.voice.keys[static_cast<size_t>(key)];
    switch (t.kind) {
      case KeyTarget::Kind::Same: break;
      case KeyTarget::Kind::Silent: ++counts_.silentEffectKeys; return written;
      case KeyTarget::Kind::Key: toKey = t.key, toVelocity = Scaled(velocity, t.velocityPercent); break;
      case KeyTarget::Kind::Effect:
        toKey = t.key, toVelocity = Scaled(velocity, t.velocityPercent), program = t.program;
        break;
    }
  } else if (c.resolved && c.voice.articulations) {
    const ArticulationMap& a = *c.voice.articulations;
    if (a.hasNoises && key >= kFirstNoiseNote) {
      if (map_.Settings().noise == NoiseNotes::LeaveOut) {
        ++counts_.noisesLeftOut;
        return written;
      }
      toKey = kEffectPitch, toVelocity = Scaled(velocity, kEffectVelocityPercent), program = a.noiseProgram;
    } else {
      toVelocity = c.velocityOut[static_cast<size_t>(velocity)];
      program = c.programOf[static_cast<size_t>(velocity)];
    }
  }
  int helper = kNoHelper, toChannel = ch;
  if (program != kOwnProgram) {
    helper = HelperFor(ch, program, out, written);
    if (helper == kNoHelper) {
      ++counts_.helpersExhausted;
      return written;
    }
    toChannel = helpers_[static_cast<size_t>(helper)].channel;
    ++helpers_[static_cast<size_t>(helper)].sounding;
  }
  out[written++] = Message(toChannel, 0x9, static_cast<uint8_t>(toKey), static_cast<uint8_t>(toVelocity));
  record = {static_cast<uint8_t>(toChannel), static_cast<uint8_t>(toKey), static_cast<int8_t>(helper)};
  return written;
}

int VoiceMapper::HelperFor(int ch, int program, MappedMessage* out, int& written) {
  ChannelState& c = channels_[static_cast<size_t>(ch)];
  for (uint16_t mine = c.helpers; mine != 0; mine = static_cast<uint16_t>(mine & (mine - 1))) {
    const int i = std::countr_zero(mine);
    if (helpers_[static_cast<size_t>(i)].program == program) return i;
  }
  int free = kNoHelper, idle = kNoHelper;
  const int count = map_.Settings().helpers.count;
  for (int i = 0; i < count && free == kNoHelper; ++i) {
    const Helper& h = helpers_[static_cast<size_t>(i)];
    if (h.parent < 0) free = i;
    if (h.parent >= 0 && h.sounding == 0 && idle == kNoHelper) idle = i;
  }
  const int pick = free != kNoHelper ? free : idle;
  if (pick == kNoHelper) return kNoHelper;
  FreeHelper(pick);
  Helper& h = helpers_[static_cast<size_t>(pick)];
  h.parent = static_cast<int8_t>(ch);
  h.program = static_cast<uint8_t>(program);
  c.helpers = static_cast<uint16_t>(c.helpers | 1u << pick);
  written += SetUpHelper(ch, h, out + written);
  return pick;
}

void VoiceMapper::FreeHelper(int index) {
  Helper& h = helpers_[static_cast<size_t>(index)];
  if (h.parent >= 0) {
    ChannelState& c = channels_[static_cast<size_t>(h.parent)];
    c.helpers = static_cast<uint16_t>(c.helpers & ~(1u << index));
  }
  h.parent = -1;
  h.sounding = 0;
}

// The helper takes the program and whatever of its parent's state shapes the sound.
int VoiceMapper::SetUpHelper(int ch, Helper& h, MappedMessage* out) const {
  const ChannelState& p = channels_[static_cast<size_t>(ch)];
  const int hc = h.channel;
  int n = 0;
  out[n++] = Cc(hc, kBankMsb, 0);
  out[n++] = Cc(hc, kBankLsb, 0);
  out[n++] = Message(hc, 0xC, h.program, 0, 2);
  out[n++] = Cc(hc, kVolume, p.volume);
  out[n++] = Cc(hc, kExpression, p.expression);
  out[n++] = Cc(hc, kPan, p.pan);
  out[n++] = Cc(hc, kReverb, p.reverb);
  out[n++] = Cc(hc, kChorus, p.chorus);
  out[n++] = Cc(hc, kRpnMsb, 0);
  out[n++] = Cc(hc, kRpnLsb, 0);
  out[n++] = Cc(hc, kDataEntry, p.bendRangeSemis);
  out[n++] = Cc(hc, kDataEntryLsb, p.bendRangeCents);
  out[n++] = Cc(hc, kRpnMsb, 127);
  out[n++] = Cc(hc, kRpnLsb, 127);
  out[n++] = Message(hc, 0xE, p.bendLsb, p.bendMsb);
  out[n++] = Cc(hc, kSustain, p.sustain);
  return n;
}

int VoiceMapper::MapController(int ch, int controller, int value, MappedMessage* out) {
  ChannelState& c = channels_[static_cast<size_t>(ch)];
  const auto v = static_cast<uint8_t>(value);
  switch (controller) {
    case kBankMsb: c.msb = v; return 0;
    case kBankLsb: c.lsb = v; return 0;
    case kVolume: c.volume = v; break;
    case kExpression: c.expression = v; break;
    case kPan: c.pan = v; break;
    case kReverb: c.reverb = v; break;
    case kChorus: c.chorus = v; break;
    case kSustain: c.sustain = v; break;
    case kRpnMsb: c.rpnMsb = v; break;
    case kRpnLsb: c.rpnLsb = v; break;
    case kDataEntry:
      if (c.rpnMsb == 0 && c.rpnLsb == 0) c.bendRangeSemis = v;
      break;
    case kDataEntryLsb:
      if (c.rpnMsb == 0 && c.rpnLsb == 0) c.bendRangeCents = v;
      break;
    case kResetControllers:
      c.expression = 127, c.sustain = 0, c.bendLsb = 0, c.bendMsb = 64, c.rpnMsb = c.rpnLsb = 127;
      break;
    default: break;
  }
  const uint8_t msg[3] = {static_cast<uint8_t>(0xB0 | ch), static_cast<uint8_t>(controller), v};
  const int n = Mirror(ch, msg, 3, out);
  const bool notesEnd = controller == kAllSoundOff || controller == kAllNotesOff ||
                        (controller >= kOmniOff && controller <= kPolyOn);
  if (notesEnd) {
    sounding_[static_cast<size_t>(ch)].fill(Sounding{});
    for (uint16_t mine = c.helpers; mine != 0; mine = static_cast<uint16_t>(mine & (mine - 1)))
      if (controller == kAllSoundOff || c.sustain < 64) helpers_[static_cast<size_t>(std::countr_zero(mine))].sounding = 0;
  }
  return n;
}

int VoiceMapper::MapProgram(int ch, int program, MappedMessage* out) {
  ChannelState& c = channels_[static_cast<size_t>(ch)];
  map_.Resolve(ch, c.msb, c.lsb, program, c.voice);
  c.resolved = true;
  ReadArticulations(c);
  const bool drums = c.voice.drums;
  const bool gm = map_.Settings().convention == BankConvention::GeneralMidi;
  out[0] = Cc(ch, kBankMsb, drums ? kDrumBankMsb : 0);
  out[1] = Cc(ch, kBankLsb, drums || gm ? 0 : static_cast<uint8_t>(c.voice.bank));
  out[2] = Message(ch, 0xC, c.voice.program, 0, 2);
  return 3;
}

void VoiceMapper::ReadArticulations(ChannelState& c) const {
  if (!c.voice.articulations) return;
  for (int v = 0; v < 128; ++v) {
    const ArticulationBand* b = BandOf(*c.voice.articulations, v);
    c.programOf[static_cast<size_t>(v)] = static_cast<int8_t>(b ? b->program : kOwnProgram);
    c.velocityOut[static_cast<size_t>(v)] = b ? Rescaled(v, *b) : static_cast<uint8_t>(v);
  }
}

int VoiceMapper::Mirror(int ch, const uint8_t* msg, uint32_t size, MappedMessage* out) {
  int n = 0;
  out[n++] = Message(ch, msg[0] >> 4, msg[1], size > 2 ? msg[2] : 0, static_cast<uint8_t>(size));
  for (uint16_t mine = channels_[static_cast<size_t>(ch)].helpers; mine != 0;
       mine = static_cast<uint16_t>(mine & (mine - 1))) {
    const Helper& h = helpers_[static_cast<size_t>(std::countr_zero(mine))];
    MappedMessage m = out[0];
    m.channel = h.channel;
    m.bytes[0] = static_cast<uint8_t>((msg[0] & 0xF0) | (h.channel & 0x0F));
    out[n++] = m;
  }
  return n;
}

void VoiceMapper::SilenceHelpers(Emit emit, void* context) {
  for (int ch = 0; ch < 16; ++ch) {
    for (int key = 0; key < 128; ++key) {
      Sounding& s = sounding_[static_cast<size_t>(ch)][static_cast<size_t>(key)];
      if (s.channel != kNowhere && (s.channel != ch || s.key != key))
        emit(context, Message(s.channel, 0x8, s.key, 0));
      s = Sounding{};
    }
  }
  for (int i = 0; i < kMaxHelperChannels; ++i) {
    const Helper& h = helpers_[static_cast<size_t>(i)];
    if (h.parent < 0) continue;
    emit(context, Cc(h.channel, kSustain, 0));
    emit(context, Cc(h.channel, kAllNotesOff, 0));
    FreeHelper(i);
  }
}

}  // namespace vambrio::voices
