#include "loading/stage_settings.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "midi/midi_bytes.h"
#include "model/style_model.h"

namespace vambrio {
namespace {

using ByteSpan = std::span<const uint8_t>;

struct Chunk {
  std::string_view id;
  ByteSpan data;
  bool cut = false;  // its length field says more than there is
};

uint32_t BE32(ByteSpan b, size_t p) {
  uint32_t v = 0;
  for (size_t k = 0; k < 4; ++k) v = (v << 8) | b[p + k];
  return v;
}

// The chunks of `in`, one after the other by their length fields. With
// cutShort, a last chunk longer than what is left keeps the bytes there are;
// without, it is left out.
std::vector<Chunk> Chunks(ByteSpan in, bool cutShort) {
  std::vector<Chunk> out;
  for (size_t p = 0; p + 8 <= in.size();) {
    const size_t left = in.size() - (p + 8);
    size_t length = BE32(in, p + 4);
    const bool cut = length > left;
    if (cut) {
      if (!cutShort) break;
      length = left;
    }
    out.push_back({std::string_view(reinterpret_cast<const char*>(in.data() + p), 4), in.subspan(p + 8, length), cut});
    p += 8 + length;
  }
  return out;
}

// Printable text: control characters dropped, bytes of 128 and more taken
// as Latin-1; spaces around it trimmed.
std::string Text(ByteSpan b) {
  std::string s;
  for (uint8_t c : b) {
    if (c < 0x20 || c == 0x7F) continue;
    if (c < 0x80) {
      s.push_back(static_cast<char>(c));
    } else {
      s.push_back(static_cast<char>(0xC0 | (c >> 6)));
      s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  const size_t b0 = s.find_first_not_of(' ');
  if (b0 == std::string::npos) return "";
  return s.substr(b0, s.find_last_not_of(' ') - b0 + 1);
}

void AddKeywords(std::vector<std::string>& into, ByteSpan b) {
  const std::string all = Text(b);
  for (size_t start = 0; start <= all.size();) {
    size_t comma = all.find(',', start);
    if (comma == std::string::npos) comma = all.size();
    const std::string word = Text(ByteSpan(reinterpret_cast<const uint8_t*>(all.data()) + start, comma - start));
    if (!word.empty()) into.push_back(word);
    start = comma + 1;
  }
}

std::optional<SongRecord> ReadSong(ByteSpan d) {
  if (d.size() < 5) return std::nullopt;
  SongRecord song;
  song.microsPerQuarter = (uint32_t{d[0]} << 16) | (uint32_t{d[1]} << 8) | d[2];
  song.numerator = d[3];
  song.denominator = d[4];
  if (song.microsPerQuarter == 0 || song.numerator == 0 || song.denominator == 0) return std::nullopt;
  const ByteSpan rest = d.subspan(5);
  size_t covered = 0;
  for (const Chunk& c : Chunks(rest, false)) {
    covered += 8 + c.data.size();
    if (c.id == "Mnam") song.title = Text(c.data);
    else if (c.id == "Gnam") song.genre = Text(c.data);
    else if (c.id == "Kwd1" || c.id == "Kwd2") AddKeywords(song.keywords, c.data);
  }
  if (covered != rest.size() || song.title.empty()) return std::nullopt;
  return song;
}

void ApplyControl(OtsPart& p, uint8_t controller, uint8_t value) {
  switch (controller) {
    case 0: p.bankMsb = value; break;
    case 32: p.bankLsb = value; break;
    case 7: p.volume = value; break;
    case 10: p.pan = value; break;
    case 91: p.reverb = value; break;
    case 93: p.chorus = value; break;
    default: break;
  }
}

void AddMessage(OneTouchSetting& s, uint8_t status, uint8_t d1, uint8_t d2) {
  s.messages.push_back({status, d1, d2});
  const int channel = status & 0x0F;
  if (channel >= kOtsPartCount) return;
  OtsPart& part = s.parts[static_cast<size_t>(channel)];
  if ((status & 0xF0) == 0xB0) ApplyControl(part, d1, d2);
  if ((status & 0xF0) == 0xC0) part.program = d1;
}

// The events of one setting's track; nothing when it does not walk to its
// End of Track (or its end) event by event.
std::optional<OneTouchSetting> ReadSetting(ByteSpan t) {
  OneTouchSetting s;
  s.usable = true;
  uint8_t running = 0;
  for (size_t p = 0; p < t.size();) {
    const midi::VarLen delta = midi::ReadVarLen(t.data(), t.size(), p);
    if (delta.fault != midi::ReadFault::None || delta.last + 1 >= t.size()) return std::nullopt;
    p = delta.last + 1;
    const uint8_t b = t[p];
    if (b == 0xFF || b == 0xF0 || b == 0xF7) {
      if (b == 0xFF && p + 1 < t.size() && t[p + 1] == 0x2F) return s;
      const midi::EventLength e = midi::ReadEventLength(t.data(), t.size(), p + (b == 0xFF ? 2 : 1));
      if (e.fault != midi::ReadFault::None || e.first + e.length > t.size()) return std::nullopt;
      running = 0;
      p = e.first + e.length;
      continue;
    }
    if (b >= 0x80) {
      if (b > 0xEF) return std::nullopt;
      running = b;
      ++p;
    }
    if (running == 0) return std::nullopt;
    const size_t n = static_cast<size_t>(midi::ChannelDataLength(running));
    if (p + n > t.size()) return std::nullopt;
    for (size_t k = 0; k < n; ++k)
      if (t[p + k] >= 0x80) return std::nullopt;
    AddMessage(s, running, t[p], n > 1 ? t[p + 1] : 0);
    p += n;
  }
  return s;
}

void ReadOts(StageSettings& out, ByteSpan block) {
  out.hasOts = true;
  for (const Chunk& c : Chunks(block, true)) {
    if (c.id != "MTrk" || out.ots.size() >= kOtsCount) continue;
    std::optional<OneTouchSetting> s = c.cut ? std::nullopt : ReadSetting(c.data);
    if (!s) ++out.otsSkipped;
    out.ots.push_back(s ? std::move(*s) : OneTouchSetting{});
  }
}

void ReadSongs(StageSettings& out, ByteSpan block) {
  const std::vector<Chunk> entries = Chunks(block, true);
  size_t whole = 0;
  for (const Chunk& c : entries) {
    whole += 8 + c.data.size();
    if (c.id != "FNRP") continue;
    if (auto song = c.cut ? std::nullopt : ReadSong(c.data)) out.songs.push_back(std::move(*song));
    else ++out.songsSkipped;
  }
  // Bytes at the end too few for an entry's header.
  if (whole < block.size()) ++out.songsSkipped;
}

}  // namespace

const char* OtsPartName(int part) {
  static constexpr const char* kNames[kOtsPartCount] = {"Right 1", "Right 2", "Right 3", "Left"};
  return part >= 0 && part < kOtsPartCount ? kNames[part] : "";
}

int SongRecord::Tempo() const {
  return microsPerQuarter == 0 ? 0 : static_cast<int>(std::lround(60000000.0 / microsPerQuarter));
}

StageSettings ReadStageSettings(ByteSpan file) {
  StageSettings out;
  if (file.size() < 22 || std::string_view(reinterpret_cast<const char*>(file.data()) + 14, 4) != "MTrk") return out;
  const uint64_t behind = 22 + uint64_t{BE32(file, 18)};
  if (behind >= file.size()) return out;
  for (const Chunk& c : Chunks(file.subspan(static_cast<size_t>(behind)), true)) {
    if (c.id == "OTSc" && !out.hasOts) ReadOts(out, c.data);
    else if (c.id == "FNRc") ReadSongs(out, c.data);
  }
  return out;
}

StageSettings ReadStageSettings(const StyleModel& m) { return ReadStageSettings(ByteSpan(m.StyleData)); }

}  // namespace vambrio
