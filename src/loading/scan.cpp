#include "loading/scan.h"

#include <algorithm>

#include "loading/checked_reads.h"
#include "model/checked.h"

namespace vambrio {
namespace {

// The walk of one scan: the counters the table entries are written with.
struct ScanWalk {
  StyleModel& m;
  bool gmPlayer;
  ErrorSink& errors;
  int16_t s = 0;  // sections found
  int16_t k = 0;  // volume events
  int16_t t = 0;  // tempo events
  int32_t trackEnd = 0;

  enum class Step { Next, EndOfTrack };

  [[noreturn]] static void Reject() { Raise(err::SubscriptOutOfRange); }

  Step MetaEvent() {
    uint8_t type = At(m.StyleData, int64_t{m.Pos} + 1);
    if (type == 0x2F) {
      if (s == 0) Reject();
      m.SectionEnd[s - 1] = ToInt32(int64_t{m.EventStart} - 1);
      return Step::EndOfTrack;
    }
    EventData d = ReadEventData(m.StyleData, int64_t{m.Pos} + 2);
    if (!MetaLengthAllowed(type, d.length)) Reject();
    switch (type) {
      case 0x02:
        TextData(m, errors);
        m.StyleCopyright = m.TextStr;
        break;
      case 0x03:
        TextData(m, errors);
        m.StyleName = m.TextStr;
        break;
      case 0x06: Marker(d); break;
      case 0x51: Tempo(d); break;
      case 0x58:
        m.TimeSigNumerator = At(m.StyleData, d.first);
        m.TimeSigDenominator = ToInt16(int64_t{1} << std::min<int>(At(m.StyleData, int64_t{d.first} + 1), 62));
        break;
      default: break;
    }
    m.Pos = d.last;
    return Step::Next;
  }

  void Marker(const EventData& d) {
    TextData(m, errors);
    std::string head = m.TextStr.substr(0, 4);
    if (head == "Main" || head == "Intr" || head == "Fill" || head == "Endi" || head == "Brea") {
      At(m.SectionName, s) = m.TextStr;
      m.SectionStart[s] = m.EventStart;
      if (s > 0) m.SectionEnd[s - 1] = ToInt32(int64_t{m.Pos} - 1);
      s = ToInt16(s + 1);
    } else if (head == "SInt") {
      m.SIntEndPos = ToInt32(int64_t{d.last} + 1);
    }
  }

  void Tempo(const EventData& d) {
    int32_t u = At(m.StyleData, d.first) * 65536 + At(m.StyleData, int64_t{d.first} + 1) * 256 +
                At(m.StyleData, int64_t{d.first} + 2);
    if (u == 0) Raise(err::DivisionByZero);
    m.TempoQpm = RoundToInt16(60000000.0 / u);
    if (t >= static_cast<int>(m.TempoEventValue.size())) {
      m.TempoEventValue.resize(m.TempoEventValue.size() + kTempoTableStep, 0);
      m.TempoEventPos.resize(m.TempoEventPos.size() + kTempoTableStep, 0);
    }
    m.TempoEventValue[t] = m.TempoQpm;
    m.TempoEventPos[t] = d.first;
    t = ToInt16(t + 1);
  }

  void SystemExclusive() {
    EventData d = ReadEventData(m.StyleData, int64_t{m.Pos} + 1);
    // With an XG player the General MIDI System On message would switch the
    // sound source to GM mode: neutralise it.
    if (!gmPlayer && m.StatusByte == 0xF0 && d.length >= 4 && At(m.StyleData, d.first) == 0x7E &&
        At(m.StyleData, int64_t{d.first} + 1) == 0x7F && At(m.StyleData, int64_t{d.first} + 2) == 0x09) {
      At(m.StyleData, int64_t{d.first} + 3) = 0;
    }
    m.Pos = d.last;
  }

  // A channel message has its usual length whatever its data bytes hold: a
  // data byte of 128 or more (some style generators write them) is counted
  // and stepped over like any other, so the walk stays in step.
  void ChannelEvent() {
    if (m.RunningStatus) m.Pos = ToInt32(int64_t{m.Pos} - 1);
    int length = ChannelDataLength(m.StatusByte);
    for (int i = 1; i <= length; ++i) {
      if (At(m.StyleData, int64_t{m.Pos} + i) >= 0x80) m.MalformedDataBytes = ToInt32(int64_t{m.MalformedDataBytes} + 1);
    }
    if ((m.StatusByte >> 4) == 0xB) {
      uint8_t controller = m.StyleData[m.Pos + 1];
      if (controller == 7 || controller == 39) VolumeEvent();
    }
    m.Pos = ToInt32(int64_t{m.Pos} + length);
  }

  void VolumeEvent() {
    if (k >= static_cast<int>(m.VolumeEventValue.size())) {
      m.VolumeEventValue.resize(m.VolumeEventValue.size() + kVolumeTableStep, 0);
      m.VolumeEventPos.resize(m.VolumeEventPos.size() + kVolumeTableStep, 0);
    }
    m.VolumeEventValue[k] = m.StyleData[m.Pos + 2];
    m.VolumeEventPos[k] = m.Pos + 2;
    k = ToInt16(k + 1);
    if (m.TextStr == "SInt") m.InitialVolumeEventCount = ToInt16(m.InitialVolumeEventCount + 1);
  }

  // Handles the event whose delta time starts at Pos + 1.
  Step Event() {
    m.Pos = ToInt32(int64_t{m.Pos} + 1);
    m.EventStart = m.Pos;
    CalcTime(m);
    m.Pos = ToInt32(int64_t{m.Pos} + 1);
    uint8_t b = At(m.StyleData, m.Pos);
    if (b >= 0x80) {
      m.StatusByte = b;
      m.RunningStatus = false;
    } else {
      // Running status continues channel messages only; meta and
      // system-exclusive events cancel it.
      if (!IsChannelStatus(m.StatusByte)) Reject();
      m.RunningStatus = true;
    }
    Step step = Step::Next;
    if (m.StatusByte == 0xFF) {
      step = MetaEvent();
    } else if (m.StatusByte == 0xF0 || m.StatusByte == 0xF7) {
      SystemExclusive();
    } else if (IsChannelStatus(m.StatusByte)) {
      ChannelEvent();
    } else {
      Reject();  // system common and real-time messages do not belong in a track
    }
    return step;
  }

  void Run() {
    m.Pos = 21;
    int64_t length = int64_t{At(m.StyleData, 18)} * 16777216 + At(m.StyleData, 19) * 65536 +
                     At(m.StyleData, 20) * 256 + At(m.StyleData, 21);
    m.TrackLength = ToInt32(length);
    trackEnd = ToInt32(int64_t{m.TrackLength} + 21);
    while (m.Pos < trackEnd) {
      if (Event() == Step::EndOfTrack) return;
    }
    // The track ended at its announced length without End of Track: the last
    // section runs to the track's last byte.
    if (s > 0) m.SectionEnd[s - 1] = trackEnd;
  }
};

}  // namespace

uint32_t CalcTime(StyleModel& m) {
  VarLen v = ReadVarLen(m.StyleData, m.Pos);
  m.Pos = v.last;
  return v.value;
}

void TextData(StyleModel& m, ErrorSink& errors) {
  m.TextStr.clear();
  try {
    EventData d = ReadEventData(m.StyleData, int64_t{m.Pos} + 2);
    for (uint32_t c = 0; c < d.length; ++c) {
      uint8_t ch = At(m.StyleData, int64_t{d.first} + c);
      if (ch >= 32 && ch <= 122) m.TextStr.push_back(static_cast<char>(ch));
    }
  } catch (const RuntimeError& e) {
    errors.ReportError("TextData", e.error());
  }
}

bool ScanStyle(StyleModel& m, bool gmPlayer, ErrorSink& errors) {
  m.TempoEventValue.assign(kTempoTableStart, 0);
  m.TempoEventPos.assign(kTempoTableStart, 0);
  try {
    m.StyleName.clear();
    m.StyleCopyright.clear();
    for (auto& name : m.SectionName) name.clear();
    m.VolumeEventValue.assign(kVolumeTableStart, 0);
    m.VolumeEventPos.assign(kVolumeTableStart, 0);
    // Nothing of an earlier style leaks into this scan: no insertion point,
    // no tempo or time signature, no status byte in force, no text.
    m.SIntEndPos = 0;
    m.TempoQpm = 0;
    m.TimeSigNumerator = 0;
    m.TimeSigDenominator = 0;
    m.StatusByte = 0;
    m.RunningStatus = false;
    m.TextStr.clear();
    m.MalformedDataBytes = 0;
    ScanWalk walk{m, gmPlayer, errors};
    walk.Run();
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

}  // namespace vambrio
