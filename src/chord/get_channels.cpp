#include "chord/get_channels.h"

#include <string_view>

#include "chord/rule_damage.h"
#include "model/checked.h"
#include "model/errors.h"

namespace vambrio {
namespace {

// Checked reads of the chunk headers behind the track.
class CasmReader {
 public:
  explicit CasmReader(const std::vector<uint8_t>& data)
      : data_(data), last_(static_cast<int64_t>(data.size()) - 1) {}

  int64_t Last() const { return last_; }
  uint8_t Byte(int64_t i) const { return At(data_, i); }

  bool IdIs(int64_t p, const char (&id)[5]) const {
    for (int k = 0; k < 4; ++k)
      if (Byte(p + k) != static_cast<uint8_t>(id[k])) return false;
    return true;
  }

  // The 32-bit big-endian length field at p; 2^31 or more does not fit.
  int64_t Length(int64_t p) const {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | Byte(p + k);
    if (v > 0x7FFFFFFFu) Raise(err::Overflow);
    return v;
  }

  std::string_view Text(int64_t p, int64_t n) const {
    if (n == 0) return {};
    Byte(p);
    Byte(p + n - 1);  // the whole text must be there
    return {reinterpret_cast<const char*>(data_.data()) + p, static_cast<size_t>(n)};
  }

 private:
  const std::vector<uint8_t>& data_;
  int64_t last_;
};

// Data offsets of the note limits in the two entry layouts.
struct EntryLayout {
  int64_t lowOffset;
  int64_t minLength;
};
constexpr EntryLayout kCtabLayout{23, kCtabMinLength};
constexpr EntryLayout kCtb2Layout{25, kCtb2MinLength};

void ResetTables(ChordTables& t) {
  t.Damage.clear();
  t.CtabDestChannel.fill(0);
  t.CtabNoteLow.fill(0);
  t.CtabNoteHigh.fill(127);
}

// A group applies when the section name occurs in its list text; an empty
// text applies to no section at all.
bool Applies(std::string_view sectionList, const std::string& sectionName) {
  return !sectionList.empty() && sectionList.find(sectionName) != std::string_view::npos;
}

void NoteDamage(ChordTables& t, const char* what) {
  if (t.Damage.empty()) t.Damage = what;
}

// An entry whose data holds the header of another chunk has run on into the
// chunks behind it: its length no longer matches what was written.
bool IsChunkId(const CasmReader& r, int64_t p) {
  return r.IdIs(p, "Ctab") || r.IdIs(p, "Ctb2") || r.IdIs(p, "Sdec") || r.IdIs(p, "Cntt") || r.IdIs(p, "CSEG");
}

// Bytes removed from an entry or added to it: its length runs into the chunk
// behind it, or ends where no chunk starts.
bool RunsIntoAnotherChunk(const CasmReader& r, int64_t data, int64_t length, int64_t groupEnd) {
  for (int64_t p = data; p + 4 <= data + length && p + 3 <= r.Last(); ++p)
    if (IsChunkId(r, p)) return true;
  const int64_t end = data + length;
  return end < groupEnd && end + 3 <= r.Last() && !IsChunkId(r, end);
}

// Why an entry the section uses cannot be read as written, or nothing.
const char* EntryDamage(const CasmReader& r, int64_t x, int64_t length, int64_t groupEnd, const EntryLayout& layout) {
  if (length < layout.minLength) return kEntryTooShort;
  if (x + 8 + length > groupEnd || x + 8 + length - 1 > r.Last() || RunsIntoAnotherChunk(r, x + 8, length, groupEnd))
    return kEntryRunsPast;
  if (r.Byte(x + 8 + 9) > 15) return kEntryPartWithoutChannel;
  return nullptr;
}

// Stores the entry whose header starts at x. Every field is read before any
// is stored, so a truncated entry leaves the tables untouched.
void StoreEntry(ChordTables& t, const CasmReader& r, int64_t x, const EntryLayout& layout) {
  const int64_t data = x + 8;
  const int64_t index = r.Byte(data) + 1;
  const int16_t dest = static_cast<int16_t>(r.Byte(data + 9) + 1);
  const int16_t minorEnable = r.Byte(data + 16);
  const int16_t majorEnable = r.Byte(data + 17);
  const int16_t root = r.Byte(data + 18);
  const int16_t low = r.Byte(data + layout.lowOffset);
  const int16_t high = r.Byte(data + layout.lowOffset + 1);
  if (index >= kChordSlots) Raise(err::SubscriptOutOfRange);
  t.CtabDestChannel[index] = dest;
  t.CtabMinorEnable[index] = minorEnable;
  t.CtabMajorEnable[index] = majorEnable;
  t.CtabSourceRoot[index] = root;
  t.CtabNoteLow[index] = low;
  t.CtabNoteHigh[index] = high;
}

constexpr char kCutShort[] = "the block is cut short: its last entries could not be read";

enum class WalkEnd { Finished, FoundCtb2 };

// The walk over the groups behind the "CASM" header at p. The older reader
// (newLayout false) accepts "Ctab" entries and stops at the first "Ctb2";
// the newer one accepts both and reads them with the "Ctb2" layout.
WalkEnd WalkGroups(StyleModel& m, const CasmReader& r, int64_t p, bool newLayout) {
  const EntryLayout& layout = newLayout ? kCtb2Layout : kCtabLayout;
  p += 8;
  for (;;) {
    if (p >= r.Last() || !r.IdIs(p, "CSEG")) return WalkEnd::Finished;
    const int64_t groupEnd = p + 8 + r.Length(p + 4);
    p += 8;
    while (p < r.Last() && r.IdIs(p, "Sdec")) {
      const int64_t n = r.Length(p + 4);
      p += 8;
      const bool applies = Applies(r.Text(p, n), m.CurrentSectionName);
      p += n;
      while (p < r.Last()) {
        const bool ctb2 = r.IdIs(p, "Ctb2");
        if (ctb2 && !newLayout) return WalkEnd::FoundCtb2;
        if (!ctb2 && !r.IdIs(p, "Ctab")) break;
        const int64_t x = p;
        const int64_t length = r.Length(x + 4);
        if (applies) {
          if (const char* damage = EntryDamage(r, x, length, groupEnd, layout)) NoteDamage(m.Chord, damage);
        }
        if (applies && length >= layout.minLength) StoreEntry(m.Chord, r, x, layout);
        p = x + 8 + length;
        if (p >= r.Last()) return WalkEnd::Finished;
      }
      // "Cntt" chunks are always 10 bytes, whatever their length field says.
      while (p <= r.Last() && r.IdIs(p, "Cntt")) p += 10;
    }
  }
}

}  // namespace

void GetChannels(StyleModel& m) {
  ResetTables(m.Chord);
  WalkEnd end = WalkEnd::Finished;
  bool found = false;  // a fault outside a block found is no damage to one
  try {
    const CasmReader r(m.StyleData);
    // The block stands a few bytes behind the End of Track event's delta time.
    const int64_t s = m.EventStart;
    int64_t p = s;
    for (; p <= s + 10; ++p) {
      if (s + 10 > r.Last() || p + 28 > r.Last()) break;
      if ((found = r.IdIs(p, "CASM"))) break;
    }
    end = WalkGroups(m, r, p, false);
  } catch (const RuntimeError&) {
    if (found) NoteDamage(m.Chord, kCutShort);
    return;  // a fault ends the reading with what was stored so far
  }
  if (end == WalkEnd::FoundCtb2) GetT3Channels(m);
}

void GetT3Channels(StyleModel& m) {
  ResetTables(m.Chord);
  bool found = false;
  try {
    const CasmReader r(m.StyleData);
    // A block that follows the track directly starts at TrackLength + 22.
    const int64_t t = m.TrackLength;
    int64_t p = t + 20;
    for (; p <= t + 30; ++p) {
      if (t + 30 > r.Last() || p + 28 > r.Last()) return;
      if ((found = r.IdIs(p, "CASM"))) break;
    }
    WalkGroups(m, r, p, true);
  } catch (const RuntimeError&) {
    if (found) NoteDamage(m.Chord, kCutShort);
    // a fault ends the reading with what was stored so far
  }
}

}  // namespace vambrio
