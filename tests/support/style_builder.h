// A readable way to describe a style file and get its exact bytes.
//
//   TrackBuilder t;
//   t.Marker("SInt").ControlChange(8, 7, 100).Marker("Main A")
//    .Delta(480).NoteOn(8, 60, 100).Running({60, 0}).EndOfTrack();
//   auto bytes = StyleBytes(t, CasmBuilder().Group("Main A").Ctab({...}).Bytes());
//
// Nothing is validated: tests use the builder for broken files as well.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace vambrio::test {

using Bytes = std::vector<uint8_t>;

inline void AppendVarLen(Bytes& out, uint32_t v) {
  uint8_t tmp[5];
  int n = 0;
  tmp[n++] = static_cast<uint8_t>(v & 0x7F);
  while ((v >>= 7) != 0) tmp[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
  while (n > 0) out.push_back(tmp[--n]);
}

inline void AppendBE32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline void AppendText(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

class TrackBuilder {
 public:
  // Delta time of the next event (0 when not given).
  TrackBuilder& Delta(uint32_t ticks) {
    delta_ = ticks;
    return *this;
  }
  // Writes the next delta time with exactly these bytes (for odd encodings).
  TrackBuilder& DeltaBytes(std::initializer_list<uint8_t> raw) {
    rawDelta_.assign(raw);
    return *this;
  }

  // A channel event with its own status byte.
  TrackBuilder& Channel(uint8_t status, std::initializer_list<uint8_t> data) {
    StartEvent();
    bytes_.push_back(status);
    bytes_.insert(bytes_.end(), data);
    return *this;
  }
  // A channel event in running status: data bytes only.
  TrackBuilder& Running(std::initializer_list<uint8_t> data) {
    StartEvent();
    bytes_.insert(bytes_.end(), data);
    return *this;
  }
  TrackBuilder& NoteOn(int ch, int note, int vel) { return Channel(0x90 | ch, {u8(note), u8(vel)}); }
  TrackBuilder& NoteOff(int ch, int note, int vel = 0) { return Channel(0x80 | ch, {u8(note), u8(vel)}); }
  TrackBuilder& ControlChange(int ch, int cc, int value) { return Channel(0xB0 | ch, {u8(cc), u8(value)}); }
  TrackBuilder& ProgramChange(int ch, int program) { return Channel(0xC0 | ch, {u8(program)}); }
  TrackBuilder& PitchBend(int ch, int lsb, int msb) { return Channel(0xE0 | ch, {u8(lsb), u8(msb)}); }

  // A meta event FF type len data, the length written as a variable-length quantity.
  TrackBuilder& Meta(uint8_t type, const Bytes& data) {
    StartEvent();
    bytes_.push_back(0xFF);
    bytes_.push_back(type);
    AppendVarLen(bytes_, static_cast<uint32_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  TrackBuilder& MetaText(uint8_t type, const std::string& text) { return Meta(type, Bytes(text.begin(), text.end())); }
  TrackBuilder& Text(const std::string& s) { return MetaText(0x01, s); }
  TrackBuilder& Copyright(const std::string& s) { return MetaText(0x02, s); }
  TrackBuilder& TrackName(const std::string& s) { return MetaText(0x03, s); }
  TrackBuilder& Marker(const std::string& s) { return MetaText(0x06, s); }
  TrackBuilder& Tempo(uint32_t microsPerQuarter) {
    return Meta(0x51, {u8(microsPerQuarter >> 16), u8(microsPerQuarter >> 8), u8(microsPerQuarter)});
  }
  TrackBuilder& TempoBpm(double qpm) { return Tempo(static_cast<uint32_t>(60000000.0 / qpm + 0.5)); }
  TrackBuilder& TimeSignature(int numerator, int denominatorPower, int clocks = 24, int notated32 = 8) {
    return Meta(0x58, {u8(numerator), u8(denominatorPower), u8(clocks), u8(notated32)});
  }
  TrackBuilder& KeySignature(int sharps, int minor) { return Meta(0x59, {u8(sharps), u8(minor)}); }
  // F0 len data; `data` is everything after F0 and the length (usually ending in F7).
  TrackBuilder& Sysex(const Bytes& data) { return SysexLike(0xF0, data); }
  TrackBuilder& SysexF7(const Bytes& data) { return SysexLike(0xF7, data); }
  TrackBuilder& GmSystemOn() { return Sysex({0x7E, 0x7F, 0x09, 0x01, 0xF7}); }
  TrackBuilder& EndOfTrack() {
    StartEvent();
    bytes_.insert(bytes_.end(), {0xFF, 0x2F, 0x00});
    return *this;
  }
  // Bytes exactly as given, without a delta time.
  TrackBuilder& Raw(const Bytes& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
  }

  const Bytes& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }
  // File index the next byte will have (the track's events start at 22).
  int32_t Here() const { return static_cast<int32_t>(22 + bytes_.size()); }

 private:
  static uint8_t u8(int v) { return static_cast<uint8_t>(v); }
  static uint8_t u8(uint32_t v) { return static_cast<uint8_t>(v & 0xFF); }
  void StartEvent() {
    if (!rawDelta_.empty()) {
      bytes_.insert(bytes_.end(), rawDelta_.begin(), rawDelta_.end());
      rawDelta_.clear();
    } else {
      AppendVarLen(bytes_, delta_);
    }
    delta_ = 0;
  }
  TrackBuilder& SysexLike(uint8_t status, const Bytes& data) {
    StartEvent();
    bytes_.push_back(status);
    AppendVarLen(bytes_, static_cast<uint32_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }

  Bytes bytes_;
  uint32_t delta_ = 0;
  Bytes rawDelta_;
};

// One channel entry of a CASM block.
struct ChordEntry {
  int sourceChannel = 0;  // 0..15
  int destChannel = 0;    // 0..15 (the tables store destChannel + 1)
  int minorEnable = 1;    // bit 0: sounds on minor chords
  int majorEnable = 1;    // bit 0: sounds on major chords
  int sourceRoot = 0;     // semitone of the chord root the channel was written for
  int noteLow = 0;
  int noteHigh = 127;
  int length = -1;        // data bytes; -1: 27 for Ctab, 37 for Ctb2
};

class CasmBuilder {
 public:
  // Starts a section group: CSEG, then Sdec with the section-list text.
  CasmBuilder& Group(const std::string& sectionList) {
    groups_.push_back({});
    AppendText(groups_.back(), "Sdec");
    AppendBE32(groups_.back(), static_cast<uint32_t>(sectionList.size()));
    AppendText(groups_.back(), sectionList);
    return *this;
  }
  CasmBuilder& Ctab(const ChordEntry& e) { return Entry("Ctab", e, 23, 24, 27); }
  CasmBuilder& Ctb2(const ChordEntry& e) { return Entry("Ctb2", e, 25, 26, 37); }
  // A Cntt chunk of 10 bytes (the length field is written as given).
  CasmBuilder& Cntt(uint32_t lengthField = 2, uint8_t a = 0, uint8_t b = 0) {
    AppendText(groups_.back(), "Cntt");
    AppendBE32(groups_.back(), lengthField);
    groups_.back().push_back(a);
    groups_.back().push_back(b);
    return *this;
  }
  CasmBuilder& RawInGroup(const Bytes& raw) {
    groups_.back().insert(groups_.back().end(), raw.begin(), raw.end());
    return *this;
  }

  Bytes Build() const {
    Bytes body;
    for (const auto& g : groups_) {
      AppendText(body, "CSEG");
      AppendBE32(body, static_cast<uint32_t>(g.size()));
      body.insert(body.end(), g.begin(), g.end());
    }
    Bytes out;
    AppendText(out, "CASM");
    AppendBE32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }

 private:
  CasmBuilder& Entry(const char* id, const ChordEntry& e, int lowOff, int highOff, int defLen) {
    int len = e.length < 0 ? defLen : e.length;
    Bytes data(static_cast<size_t>(len), 0);
    auto put = [&](int off, int v) {
      if (off < len) data[static_cast<size_t>(off)] = static_cast<uint8_t>(v);
    };
    put(0, e.sourceChannel);
    put(9, e.destChannel);
    put(16, e.minorEnable);
    put(17, e.majorEnable);
    put(18, e.sourceRoot);
    put(lowOff, e.noteLow);
    put(highOff, e.noteHigh);
    AppendText(groups_.back(), id);
    AppendBE32(groups_.back(), static_cast<uint32_t>(len));
    groups_.back().insert(groups_.back().end(), data.begin(), data.end());
    return *this;
  }
  std::vector<Bytes> groups_;
};

// A chunk: four-letter id, a length field (the data's own length when not
// given) and the data.
inline Bytes ChunkBytes(const std::string& id, const Bytes& data, int64_t lengthField = -1) {
  Bytes out;
  AppendText(out, id);
  AppendBE32(out, static_cast<uint32_t>(lengthField < 0 ? static_cast<int64_t>(data.size()) : lengthField));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// The pieces one after the other.
inline Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The One Touch Settings block: an "MTrk" chunk per setting.
inline Bytes OtscBytes(const std::vector<TrackBuilder>& settings) {
  Bytes body;
  for (const auto& t : settings) {
    const Bytes track = ChunkBytes("MTrk", t.bytes());
    body.insert(body.end(), track.begin(), track.end());
  }
  return ChunkBytes("OTSc", body);
}

// One song record: tempo (microseconds per quarter), time signature, title,
// genre and the two keyword lists.
struct SongEntry {
  std::string title;
  std::string genre;
  std::string keywords1;
  std::string keywords2;
  uint32_t microsPerQuarter = 500000;
  int numerator = 4;
  int denominator = 4;
};

inline Bytes FnrpBytes(const SongEntry& e) {
  Bytes d{static_cast<uint8_t>(e.microsPerQuarter >> 16), static_cast<uint8_t>(e.microsPerQuarter >> 8),
          static_cast<uint8_t>(e.microsPerQuarter), static_cast<uint8_t>(e.numerator),
          static_cast<uint8_t>(e.denominator)};
  for (auto [id, text] : {std::pair{"Mnam", &e.title}, {"Gnam", &e.genre}, {"Kwd1", &e.keywords1}, {"Kwd2", &e.keywords2}}) {
    const Bytes sub = ChunkBytes(id, Bytes(text->begin(), text->end()));
    d.insert(d.end(), sub.begin(), sub.end());
  }
  return ChunkBytes("FNRP", d);
}

// The song records block from whole entries (FnrpBytes, or damaged bytes).
inline Bytes FnrcBytes(const std::vector<Bytes>& entries) {
  Bytes body;
  for (const auto& e : entries) body.insert(body.end(), e.begin(), e.end());
  return ChunkBytes("FNRc", body);
}

// A complete file: header chunk (format 0, one track), the track chunk with
// its exact length, then whatever follows the track (a CASM block, ...).
inline Bytes StyleBytes(const Bytes& trackEvents, const Bytes& after = {}, uint16_t division = 1920) {
  Bytes out;
  AppendText(out, "MThd");
  AppendBE32(out, 6);
  out.insert(out.end(), {0x00, 0x00, 0x00, 0x01, static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)});
  AppendText(out, "MTrk");
  AppendBE32(out, static_cast<uint32_t>(trackEvents.size()));
  out.insert(out.end(), trackEvents.begin(), trackEvents.end());
  out.insert(out.end(), after.begin(), after.end());
  return out;
}
inline Bytes StyleBytes(const TrackBuilder& t, const Bytes& after = {}, uint16_t division = 1920) {
  return StyleBytes(t.bytes(), after, division);
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vambrio::test
