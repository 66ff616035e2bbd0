#include "chord/store.h"

#include <algorithm>
#include <cstring>

#include "model/checked.h"

namespace vambrio {
namespace {

// An event that no well-formed track holds (a status byte F1..FE other than
// FF and F7, a data byte where no channel status is in force, a delta time or
// length of more than four bytes).
constexpr int32_t kMalformedEvent = 5;

// The largest value a data byte of a channel message can hold.
constexpr uint8_t kMaxDataByte = 0x7F;

// Where an interval above the source root goes (values above 11 lie in the
// next octave). The chord rule's minor form turns 4 into 3.
constexpr int8_t kBassRule[12] = {0, 0, 2, 0, 4, 4, 4, 7, 7, 9, 7, 12};
constexpr int8_t kChordRule[12] = {0, 0, 0, 0, 4, 4, 4, 7, 7, 7, 19, 12};

bool StartsWith(const std::string& s, const char* prefix) { return s.size() >= 4 && s.compare(0, 4, prefix) == 0; }

int FloorDiv12(int d) { return d >= 0 ? d / 12 : -((-d + 11) / 12); }

// The walk keeps its cursors and the buffers' bounds at hand and hands them
// back to the model when it stops, at the end, at End of Track or at a fault.
class StoreWalk {
 public:
  StoreWalk(StyleModel& m, const PlayChoices& c, const NoteHook* hook)
      : m_(m),
        c_(c),
        hook_(hook),
        t_(m.Chord),
        changeIntervals_(!StartsWith(m.CurrentSectionName, "Intr") && !StartsWith(m.CurrentSectionName, "Endi")),
        in_(m.StyleData.data()),
        inSize_(static_cast<int64_t>(m.StyleData.size())),
        out_(m.OutData.data()),
        outSize_(static_cast<int64_t>(m.OutData.size())),
        pos_(m.Pos),
        outPos_(m.OutPos),
        status_(m.StatusByte),
        fileStatus_(m.StatusByte),
        running_(m.RunningStatus) {}

  int64_t Pos() const { return pos_; }
  int64_t OutPos() const { return outPos_; }
  // Copies one event; false when it was the End of Track event.
  bool Event(int64_t eventOut);
  // Takes the output back to `eventOut` (the start of the event in hand).
  void TakeBack(int64_t eventOut) { outPos_ = eventOut; }
  // The cursors never pass the buffers' ends by more than an event's few
  // bytes, and the buffers are far below 2^31 bytes.
  void HandBack() {
    m_.Pos = static_cast<int32_t>(pos_);
    m_.OutPos = static_cast<int32_t>(outPos_);
    m_.StatusByte = status_;
    m_.RunningStatus = running_;
  }

 private:
  uint8_t In(int64_t i) const {
    if (static_cast<uint64_t>(i) >= static_cast<uint64_t>(inSize_)) Raise(err::SubscriptOutOfRange);
    return in_[i];
  }
  void Out(int v) {
    if (static_cast<uint64_t>(outPos_) >= static_cast<uint64_t>(outSize_)) Raise(err::SubscriptOutOfRange);
    out_[outPos_++] = static_cast<uint8_t>(v);
  }
  void CopyByte() { Out(In(pos_++)); }
  void CopyBytes(int64_t n);
  // The data byte at Pos, consumed. A byte of 128 or more (a malformed file
  // that the scan accepted) reads as 127, so the output stays a valid file.
  int DataByte() {
    uint8_t b = In(pos_);
    ++pos_;
    return b > kMaxDataByte ? kMaxDataByte : b;
  }
  // The variable-length quantity at p (at most four bytes) and its size.
  int64_t VarLen(int64_t p, int64_t& size) const;
  void StatusIfOwn(int status) {
    if (!running_) {
      Out(status);
      ++pos_;
    }
  }
  int Part(int k) const { return c_.Parts[static_cast<size_t>(k)] != 0 ? 1 : 0; }

  void MetaOrSysex(int64_t eventOut);
  void Note();
  void HookedNoteData();
  int Transpose(int note, int idx, int dest) const;

  StyleModel& m_;
  const PlayChoices& c_;
  const NoteHook* const hook_;
  const ChordTables& t_;
  const bool changeIntervals_;
  const uint8_t* const in_;
  const int64_t inSize_;
  uint8_t* const out_;
  const int64_t outSize_;
  int64_t pos_;
  int64_t outPos_;
  int status_;
  int fileStatus_;  // the status as the style holds it (status_ may have moved to the drum channel)
  bool running_;
};

void StoreWalk::CopyBytes(int64_t n) {
  if (n <= 0) return;
  In(pos_ + n - 1);
  if (outPos_ + n > outSize_) Raise(err::SubscriptOutOfRange);
  std::memcpy(out_ + outPos_, in_ + pos_, static_cast<size_t>(n));
  outPos_ += n;
  pos_ += n;
}

int64_t StoreWalk::VarLen(int64_t p, int64_t& size) const {
  int64_t v = 0;
  for (size = 1;; ++size) {
    uint8_t b = In(p + size - 1);
    v = (v << 7) | (b & 0x7F);
    if (b < 0x80) return v;
    if (size == 4) Raise(kMalformedEvent);
  }
}

bool StoreWalk::Event(int64_t eventOut) {
  // The delta time, copied as it stands (a standard one has at most four bytes).
  for (int size = 1; In(pos_) >= 0x80; ++size) {
    if (size == 4) Raise(kMalformedEvent);
    CopyByte();
  }
  CopyByte();

  uint8_t b = In(pos_);
  if (b >= 0x80) {
    status_ = b;
    fileStatus_ = b;
    running_ = false;
  } else {
    // Running status continues channel messages only.
    if (status_ < 0x80 || status_ > 0xEF) Raise(kMalformedEvent);
    running_ = true;
  }

  const int status = status_;
  if (status == 0xFF && In(pos_ + 1) == 0x2F) {
    outPos_ = eventOut;  // nothing of End of Track, not even its delta time
    return false;
  }
  if (status >= 0xF0) {
    MetaOrSysex(eventOut);
    return true;
  }
  switch (status >> 4) {
    case 0x8:
    case 0x9: Note(); break;
    case 0xC:
    case 0xD:
      StatusIfOwn(status);
      Out(DataByte());
      break;
    default:  // A, B, E
      StatusIfOwn(status);
      Out(DataByte());
      Out(DataByte());
      break;
  }
  return true;
}

void StoreWalk::MetaOrSysex(int64_t eventOut) {
  const int status = status_;
  int64_t lengthSize = 0;
  if (status == 0xFF) {
    const int64_t length = VarLen(pos_ + 2, lengthSize);
    CopyBytes(2 + lengthSize + length);
  } else if (status == 0xF0 || status == 0xF7) {
    const int64_t length = VarLen(pos_ + 1, lengthSize);
    if (c_.IncludeSysex) {
      CopyBytes(1 + lengthSize + length);
    } else {
      In(pos_ + lengthSize + length);  // the event must be there to be stepped over
      pos_ += 1 + lengthSize + length;
      outPos_ = eventOut;  // the dropped event takes its delta time with it
    }
  } else {
    Raise(kMalformedEvent);
  }
}

// The note number and velocity as the hook maps them.
void StoreWalk::HookedNoteData() {
  int note = DataByte();
  int velocity = DataByte();
  hook_->MapNote(fileStatus_ & 0x0F, note, velocity);
  Out(std::clamp(note, 0, 127));
  Out(std::clamp(velocity, 0, 127));
}

void StoreWalk::Note() {
  const int idx = (status_ & 0x0F) + 1;
  const int dest = t_.CtabDestChannel[static_cast<size_t>(idx)];
  if (dest == 9) {  // Rhythm Sub: one channel up for a GM player (channel 9 becomes 10)
    int status = status_;
    if (c_.GmPlayer && (status & 0x0F) != 0x0F) ++status;
    StatusIfOwn(status);
    if (hook_) return HookedNoteData();
    Out(DataByte());
    Out(DataByte() * Part(0));
    return;
  }
  if (dest == 10) {  // Rhythm Main: onto MIDI channel 10, in force for the running status after it
    if (!running_) status_ += 10 - idx;
    StatusIfOwn(status_);
    if (hook_) return HookedNoteData();
    Out(DataByte());
    Out(DataByte() * Part(1));
    return;
  }
  if (dest > 16) Raise(err::SubscriptOutOfRange);  // no such part box
  StatusIfOwn(status_);
  if (hook_) return HookedNoteData();
  Out(Transpose(DataByte(), idx, dest));
  int velocity = DataByte();
  if (dest >= 9) velocity *= Part(dest - 9);
  const int16_t enable = c_.Minor ? t_.CtabMinorEnable[static_cast<size_t>(idx)]
                                  : t_.CtabMajorEnable[static_cast<size_t>(idx)];
  Out(velocity * (enable & 1));
}

int StoreWalk::Transpose(int note, int idx, int dest) const {
  const auto i16 = static_cast<size_t>(idx);
  const int d = note - t_.CtabSourceRoot[i16];
  const int base = FloorDiv12(d) * 12;
  int interval = d - base;
  if (changeIntervals_) {
    if (dest == 11 || dest == 15 || dest == 16) {
      interval = kBassRule[interval];
    } else if (dest >= 12 && dest <= 14) {
      interval = kChordRule[interval];
      if (c_.Minor && interval == 4) interval = 3;
    }
  }
  int n = base + interval;
  const int low = t_.CtabNoteLow[i16];
  const int high = t_.CtabNoteHigh[i16];
  if (n < low) n += (low - n + 11) / 12 * 12;
  if (high != 0 && n > high) n -= (n - high + 11) / 12 * 12;
  // Limits above 127, or a high limit below the low one, can leave a note
  // outside MIDI's range: bring it back by octaves.
  if (n > 127) n -= (n - 127 + 11) / 12 * 12;
  if (n < 0) n += (-n + 11) / 12 * 12;
  return n;
}

}  // namespace

void Store(StyleModel& m, int32_t from, int32_t to, const PlayChoices& choices, ErrorSink& errors,
           const NoteHook* hook) {
  m.Pos = from;
  StoreWalk walk(m, choices, hook);
  int64_t eventOut = walk.OutPos();
  try {
    while (walk.Pos() < to) {
      eventOut = walk.OutPos();
      if (!walk.Event(eventOut)) break;
    }
    walk.HandBack();
  } catch (const RuntimeError& e) {
    walk.TakeBack(eventOut);  // the output keeps whole events only
    walk.HandBack();
    errors.ReportError("Store", e.error());
  }
}

}  // namespace vambrio
