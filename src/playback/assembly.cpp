#include "playback/assembly.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "chord/get_channels.h"
#include "chord/store.h"
#include "model/checked.h"

namespace vambrio {
namespace {

constexpr int32_t kTrackStart = 22;  // the first event's delta time

// Delta 1, then the XG System On message.
constexpr uint8_t kXgSystemOn[] = {0x01, 0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};

// Bank select 127/0 and program 0 for channel 10, then the same for channel 9.
constexpr uint8_t kDrumSetup[] = {0x01, 0xB9, 0x00, 0x7F, 0x00, 0xB9, 0x20, 0x00, 0x00, 0xC9, 0x00,
                                  0x01, 0xB8, 0x00, 0x7F, 0x00, 0xB8, 0x20, 0x00, 0x00, 0xC8, 0x00};

// Every channel, two ticks apart: sustain off, sostenuto off, all notes off.
constexpr uint8_t kResetControllers[] = {0x40, 0x42, 0x7B};
constexpr int kResetBytes = 16 * 3 * 4;

constexpr uint8_t kEndOfTrack[] = {0x00, 0xFF, 0x2F, 0x00};

// Everything the assembly writes besides what Store copies.
constexpr int64_t kFixedBytes =
    kTrackStart + sizeof kXgSystemOn + sizeof kDrumSetup + kResetBytes + sizeof kEndOfTrack;

void Append(StyleModel& m, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) {
    At(m.OutData, m.OutPos) = b;
    m.OutPos = ToInt32(int64_t{m.OutPos} + 1);
  }
}

template <size_t N>
void Append(StyleModel& m, const uint8_t (&bytes)[N]) {
  for (uint8_t b : bytes) Append(m, {b});
}

// Store never writes more than it reads, and the two stretches each read at
// most the whole file, so this size always fits.
void EnsureCapacity(StyleModel& m) {
  const int64_t needed = kFixedBytes + 2 * static_cast<int64_t>(m.StyleData.size());
  if (static_cast<int64_t>(m.OutData.size()) < needed) m.OutData.resize(static_cast<size_t>(needed));
}

// The style's header chunk and track head, made standard: the assembled
// file always has a 6-byte header chunk and exactly one track chunk, whatever
// identifiers, header length or track count the style's first bytes hold
// (well-formed styles keep every byte). Format and division are the style's.
void CopyHeader(StyleModel& m) {
  for (m.Pos = 0; m.Pos < kTrackStart; ++m.Pos) Append(m, {At(m.StyleData, m.Pos)});
  const uint8_t head[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  std::memcpy(m.OutData.data(), head, sizeof head);
  if (m.OutData[8] != 0 || m.OutData[9] > 1) m.OutData[8] = m.OutData[9] = 0;  // one track: format 0 or 1
  m.OutData[10] = 0;
  m.OutData[11] = 1;
  std::memcpy(m.OutData.data() + 14, "MTrk", 4);
}

// Replaces the first delta time of the track, whatever its length, by the
// single byte 0A. `end` is the index behind the last byte written.
int32_t SetFirstDelta(StyleModel& m, int32_t end) {
  int32_t n = 1;
  while (At(m.OutData, kTrackStart + n - 1) >= 0x80 && kTrackStart + n < end) ++n;
  if (n > 1) {
    uint8_t* first = m.OutData.data() + kTrackStart;
    std::memmove(first + 1, first + n, static_cast<size_t>(end - kTrackStart - n));
    end -= n - 1;
  }
  m.OutData[kTrackStart] = 0x0A;
  return end;
}

void WriteTrackLength(StyleModel& m, int32_t length) {
  for (int k = 0; k < 4; ++k) At(m.OutData, 18 + k) = static_cast<uint8_t>(static_cast<uint32_t>(length) >> (24 - 8 * k));
}

}  // namespace

bool AssembleSingleTrack(StyleModel& m, int16_t s, const PlayChoices& choices, ErrorSink& errors,
                         const NoteHook* hook) {
  try {
    EnsureCapacity(m);
    m.OutPos = 0;
    CopyHeader(m);
    if (choices.XgSystemOn) Append(m, kXgSystemOn);
    Store(m, kTrackStart, At(m.SectionStart, 0), choices, errors, hook);
    Append(m, kDrumSetup);
    GetChannels(m);
    Store(m, At(m.SectionStart, s), At(m.SectionEnd, s), choices, errors, hook);
    for (uint8_t c = 0; c < 16; ++c)
      for (uint8_t controller : kResetControllers) Append(m, {0x02, static_cast<uint8_t>(0xB0 + c), controller, 0x00});
    Append(m, kEndOfTrack);
    const int32_t end = SetFirstDelta(m, m.OutPos);
    m.OutPos = end - 1;  // on the last byte written
    WriteTrackLength(m, end - kTrackStart);
    return true;
  } catch (const RuntimeError& e) {
    errors.ReportError("MakeSingleTrack", e.error());
    return false;
  }
}

void MakeSingleTrack(StyleModel& m, int16_t s, const PlayChoices& choices, ErrorSink& errors,
                     const std::string& playerTmpPath, const std::function<void()>& closeSequencer,
                     const NoteHook* hook) {
  if (!AssembleSingleTrack(m, s, choices, errors, hook)) return;
  if (closeSequencer) closeSequencer();
  SaveFile(m, playerTmpPath, errors);
}

void SaveFile(const StyleModel& m, const std::string& path, ErrorSink& errors) {
  int fd = -1;
  try {
    const int64_t size = int64_t{m.OutPos} + 1;
    if (size < 0 || size > static_cast<int64_t>(m.OutData.size())) Raise(err::SubscriptOutOfRange);
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) RaiseErrno(errno);
    const uint8_t* p = m.OutData.data();
    int64_t left = size;
    while (left > 0) {
      ssize_t n = ::write(fd, p, static_cast<size_t>(left));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) RaiseErrno(n < 0 ? errno : EIO);
      p += n;
      left -= n;
    }
    const int rc = ::close(fd);
    fd = -1;
    if (rc != 0) RaiseErrno(errno);
  } catch (const RuntimeError& e) {
    if (fd >= 0) ::close(fd);
    errors.ReportError("SaveFile", e.error());
  }
}

}  // namespace vambrio
