#include "voices/voice_table.h"

#include <array>

namespace vambrio::voices {
namespace {

using A = Articulation;
constexpr int kOwn = kOwnProgram;
constexpr int8_t kMutedGuitar = 28;
constexpr int8_t kGuitarHarmonics = 31;
constexpr int8_t kSlapBass = 36;
constexpr int8_t kTremoloStrings = 44;
constexpr int8_t kPizzicato = 45;
constexpr uint8_t kFretNoise = 120;
constexpr uint8_t kBreathNoise = 121;

constexpr ArticulationBand kNylonSteel[] = {
    {1, 20, A::OpenSoft, kOwn},   {21, 40, A::OpenMed, kOwn},   {41, 60, A::OpenHard, kOwn},
    {61, 75, A::Dead, kMutedGuitar}, {76, 90, A::Mute, kMutedGuitar}, {91, 105, A::Hammer, kOwn},
    {106, 120, A::Slide, kOwn},   {121, 127, A::Harmonics, kGuitarHarmonics}};
constexpr ArticulationBand kCleanSlap[] = {
    {1, 20, A::OpenSoft, kOwn},   {21, 40, A::OpenHard, kOwn},  {41, 60, A::Slap, kOwn},
    {61, 75, A::Dead, kMutedGuitar}, {76, 90, A::Mute, kMutedGuitar}, {91, 105, A::Hammer, kOwn},
    {106, 120, A::Slide, kOwn},   {121, 127, A::PickHarmonics, kGuitarHarmonics}};
constexpr ArticulationBand kClean[] = {
    {1, 20, A::OpenSoft, kOwn},   {21, 40, A::OpenMed, kOwn},   {41, 60, A::OpenHard, kOwn},
    {61, 75, A::Dead, kMutedGuitar}, {76, 90, A::Mute, kMutedGuitar}, {91, 105, A::Hammer, kOwn},
    {106, 120, A::Slide, kOwn},   {121, 127, A::PickHarmonics, kGuitarHarmonics}};
constexpr ArticulationBand kJazz[] = {
    {1, 20, A::OpenSoft, kOwn},   {21, 40, A::OpenMed, kOwn},   {41, 60, A::OpenHard, kOwn},
    {61, 75, A::DeadSoft, kMutedGuitar}, {76, 90, A::DeadHard, kMutedGuitar}, {91, 105, A::Hammer, kOwn},
    {106, 120, A::Slide, kOwn},   {121, 127, A::PickHarmonics, kGuitarHarmonics}};
constexpr ArticulationBand kHighString[] = {{1, 89, A::Soft, kOwn}, {90, 127, A::Hard, kOwn}};
constexpr ArticulationBand kTwelveString[] = {
    {1, 71, A::Soft, kOwn}, {72, 115, A::Med, kOwn}, {116, 127, A::Hard, kOwn}};
constexpr ArticulationBand kDriven[] = {
    {1, 55, A::Open, kOwn}, {56, 120, A::Mute, kMutedGuitar}, {121, 127, A::PickHarmonics, kGuitarHarmonics}};
// A dead or muted bass note stays a bass: a muted guitar down there is no bass.
constexpr ArticulationBand kAcousticBass[] = {
    {1, 60, A::OpenSoft, kOwn}, {61, 80, A::OpenHard, kOwn}, {81, 120, A::Dead, kOwn},
    {121, 127, A::Harmonics, kGuitarHarmonics}};
constexpr ArticulationBand kElectricBass[] = {
    {1, 60, A::OpenSoft, kOwn}, {61, 80, A::OpenHard, kOwn}, {81, 120, A::Dead, kOwn},
    {121, 127, A::Slap, kSlapBass}};
constexpr ArticulationBand kPickBass[] = {
    {1, 40, A::Open, kOwn}, {41, 80, A::Mute, kOwn}, {81, 120, A::Dead, kOwn},
    {121, 127, A::Harmonics, kGuitarHarmonics}};
constexpr ArticulationBand kFretlessBass[] = {
    {1, 80, A::Open, kOwn}, {81, 120, A::Dead, kOwn}, {121, 127, A::Harmonics, kGuitarHarmonics}};
constexpr ArticulationBand kStrings[] = {
    {1, 20, A::Piano, kOwn},         {21, 40, A::MezzoForte, kOwn},  {41, 60, A::Forte, kOwn},
    {61, 80, A::Legato, kOwn},       {81, 95, A::SpiccatoForte, kPizzicato},
    {96, 110, A::SpiccatoFortissimo, kPizzicato}, {111, 120, A::Tremolo, kTremoloStrings},
    {121, 127, A::GlissandoDown, kOwn}};
constexpr ArticulationBand kBrass[] = {
    {1, 20, A::Piano, kOwn},   {21, 40, A::MezzoForte, kOwn}, {41, 60, A::Forte, kOwn},
    {61, 80, A::Attack, kOwn}, {81, 90, A::Scoop, kOwn},      {91, 100, A::Shake, kOwn},
    {101, 120, A::Fall, kOwn}, {121, 127, A::GlissandoUp, kOwn}};
constexpr ArticulationBand kTrumpet[] = {
    {1, 20, A::MezzoForte, kOwn}, {21, 40, A::Forte, kOwn},    {41, 60, A::Fortissimo, kOwn},
    {61, 80, A::Legato, kOwn},    {81, 100, A::Straight, kOwn}, {101, 110, A::Shake, kOwn},
    {111, 120, A::Fall, kOwn},    {121, 127, A::GlissandoUp, kOwn}};
constexpr ArticulationBand kTenorSax[] = {
    {1, 20, A::MezzoPiano, kOwn}, {21, 40, A::MezzoForte, kOwn}, {41, 60, A::Forte, kOwn},
    {61, 80, A::Legato, kOwn},    {81, 100, A::Growl, kOwn},     {101, 127, A::Fall, kOwn}};

constexpr ArticulationMap Guitar(const char* name, std::span<const ArticulationBand> bands) {
  return {name, bands, true, A::StrumNoise, A::FretNoise, kFretNoise};
}
constexpr ArticulationMap Bass(const char* name, std::span<const ArticulationBand> bands) {
  return {name, bands, true, A::StrumNoise, A::FretNoise, kFretNoise};
}
constexpr ArticulationMap Wind(const char* name, std::span<const ArticulationBand> bands) {
  return {name, bands, true, A::ValveNoise, A::BreathNoise, kBreathNoise};
}
constexpr ArticulationMap Plain(const char* name, std::span<const ArticulationBand> bands) {
  return {name, bands, false, A::Normal, A::Normal, kFretNoise};
}

constexpr ArticulationMap kNylonSteelMap = Guitar("nylon, steel guitar", kNylonSteel);
constexpr ArticulationMap kHighStringMap = Guitar("high-string guitar", kHighString);
constexpr ArticulationMap kTwelveStringMap = Guitar("12-string guitar", kTwelveString);
constexpr ArticulationMap kCleanSlapMap = Guitar("clean guitar", kCleanSlap);
constexpr ArticulationMap kCleanMap = Guitar("clean, solid guitar", kClean);
constexpr ArticulationMap kJazzMap = Guitar("jazz guitar", kJazz);
constexpr ArticulationMap kDrivenMap = Guitar("overdrive, distortion guitar", kDriven);
constexpr ArticulationMap kAcousticBassMap = Bass("acoustic bass", kAcousticBass);
constexpr ArticulationMap kElectricBassMap = Bass("electric bass", kElectricBass);
constexpr ArticulationMap kPickBassMap = Bass("pick bass", kPickBass);
constexpr ArticulationMap kFretlessBassMap = Bass("fretless bass", kFretlessBass);
constexpr ArticulationMap kStringsMap = Plain("strings", kStrings);
constexpr ArticulationMap kBrassMap = Plain("brass", kBrass);
constexpr ArticulationMap kTrumpetMap = Wind("trumpet", kTrumpet);
constexpr ArticulationMap kTenorSaxMap = Wind("tenor sax", kTenorSax);

using F = Family;
constexpr MegaVoice kMegaVoices[] = {
    {0, 0, 0, "nylon guitar", F::Guitar, 24, &kNylonSteelMap},
    {1, 0, 0, "steel guitar", F::Guitar, 25, &kNylonSteelMap},
    {2, 0, 0, "high-string guitar", F::Guitar, 25, &kHighStringMap},
    {2, 1, 1, "12-string guitar", F::Guitar, 25, &kTwelveStringMap},
    {3, 0, 1, "clean guitar", F::Guitar, 27, &kCleanSlapMap},
    {3, 2, 2, "solid guitar", F::Guitar, 27, &kCleanMap},
    {3, 3, 3, "single-coil guitar", F::Guitar, 27, &kCleanMap},
    {3, 4, 11, "electric guitar", F::Guitar, 27, &kCleanMap},
    {4, 0, 0, "overdrive guitar", F::Guitar, 29, &kDrivenMap},
    {5, 0, 0, "distortion guitar", F::Guitar, 30, &kDrivenMap},
    {6, 0, 0, "jazz guitar", F::Guitar, 26, &kJazzMap},
    {16, 0, 0, "acoustic bass", F::Bass, 32, &kAcousticBassMap},
    {17, 0, 2, "finger bass", F::Bass, 33, &kElectricBassMap},
    {18, 0, 1, "pick bass", F::Bass, 34, &kPickBassMap},
    {19, 0, 0, "fretless bass", F::Bass, 35, &kFretlessBassMap},
    {48, 0, 0, "strings", F::Strings, 48, &kStringsMap},
    {49, 0, 0, "slow strings", F::Strings, 49, &kStringsMap},
    {56, 0, 0, "brass section", F::Brass, 61, &kBrassMap},
    {64, 0, 0, "trumpet", F::Trumpet, 56, &kTrumpetMap},
    {82, 0, 0, "tenor sax", F::Saxophone, 66, &kTenorSaxMap},
};
constexpr MegaVoice kGuessedBass = {17, 0, 0, "unlisted voice (a bass by its part and range)", F::Bass, 33,
                                    &kElectricBassMap};
constexpr MegaVoice kGuessedGuitar = {3, 0, 0, "unlisted voice (a guitar by its part and range)", F::Guitar, 27,
                                      &kCleanMap};

// Parts (chord/channel_rule.h): the bass part is 10.
constexpr int kBassPartNumber = 10;
constexpr int kHighestBassMedian = 47;

struct SharedKit {
  uint8_t program;
  const char* name;
};
constexpr SharedKit kSharedKits[] = {{0, "Standard"}, {8, "Room"},    {16, "Power"}, {24, "Electronic"},
                                   {25, "Analog"},  {32, "Jazz"},   {40, "Brush"}, {48, "Orchestra"}};

// Program ranges and the shared kit nearest to them; anything else: Standard.
struct KitRange {
  uint8_t first, last, nearest;
};
constexpr KitRange kNearestKits[] = {
    {1, 7, 0},   {9, 15, 8},   {17, 23, 16}, {26, 31, 25}, {33, 39, 32},
    {41, 47, 40}, {49, 55, 48}, {56, 60, 25}, {86, 91, 0},
};

constexpr DrumKeyMove kDrumKeyMoves[] = {
    {13, 86, 100, "surdo mute"},     {14, 87, 100, "surdo open"},      {15, 27, 100, "high Q"},
    {16, 28, 100, "whip slap"},      {17, 29, 100, "scratch push"},    {18, 30, 100, "scratch pull"},
    {19, 39, 100, "finger snap"},    {20, 32, 100, "click noise"},     {21, 33, 100, "metronome click"},
    {22, 34, 100, "metronome bell"}, {23, 32, 100, "sequencer click"}, {24, 33, 100, "sequencer click"},
    {25, 38, 50, "brush tap"},       {26, 40, 50, "brush swirl"},      {27, 38, 50, "brush slap"},
    {28, 40, 50, "brush tap swirl"}, {29, 38, 100, "snare roll"},      {30, 85, 100, "castanet"},
    {31, 38, 70, "snare soft"},      {32, 31, 100, "sticks"},          {33, 35, 70, "kick soft"},
    {34, 37, 100, "open rim shot"},
};

constexpr int8_t kSeashore = 122, kBirdTweet = 123, kTelephone = 124, kHelicopter = 125, kApplause = 126,
                 kGunshot = 127;
constexpr EffectKey kEffectKeys[] = {
    {0, 68, "shower", -1, kSeashore},          {0, 69, "thunder", -1, kSeashore},
    {0, 70, "wind", -1, kSeashore},            {0, 71, "stream", -1, kSeashore},
    {0, 86, "bird", -1, kBirdTweet},           {1, 39, "scratch", 29, -1},
    {1, 40, "scratch", 30, -1},                {1, 42, "telephone ring", -1, kTelephone},
    {1, 58, "jet plane", -1, kHelicopter},     {1, 68, "laugh", -1, kApplause},
    {1, 70, "punch", 36, -1},                  {1, 84, "machine gun", -1, kGunshot},
    {1, 85, "laser gun", -1, kGunshot},        {1, 86, "explosion", -1, kGunshot},
};

constexpr std::array<const char*, 7> kFamilyNames = {"", "guitar", "bass", "strings", "brass", "trumpet", "saxophone"};

constexpr const char* kArticulationNames[] = {
    "normal", "open", "open soft", "open med", "open hard", "soft", "med", "hard", "dead", "dead soft",
    "dead hard", "mute", "slap", "hammer", "slide", "harmonics", "pick harmonics", "p", "mp", "mf", "f",
    "ff", "legato", "spiccato f", "spiccato ff", "tremolo", "glissando down", "glissando up", "attack",
    "scoop", "shake", "fall", "straight", "growl", "strum noise", "fret noise", "valve noise", "breath noise",
};
static_assert(std::size(kArticulationNames) == static_cast<size_t>(Articulation::BreathNoise) + 1);

}  // namespace

const char* FamilyName(Family f) {
  const auto i = static_cast<size_t>(f);
  return i < kFamilyNames.size() ? kFamilyNames[i] : "";
}

const char* ArticulationName(Articulation a) {
  const auto i = static_cast<size_t>(a);
  return i < std::size(kArticulationNames) ? kArticulationNames[i] : "";
}

std::span<const MegaVoice> MegaVoices() { return kMegaVoices; }

const MegaVoice* FindMegaVoice(int lsb, int program) {
  const MegaVoice* first = nullptr;
  for (const MegaVoice& v : kMegaVoices) {
    if (v.program != program) continue;
    if (lsb >= v.lsbLow && lsb <= v.lsbHigh) return &v;
    if (!first) first = &v;
  }
  return first;
}

const MegaVoice& GuessedMegaVoice(int part, int medianNote) {
  return part == kBassPartNumber || medianNote <= kHighestBassMedian ? kGuessedBass : kGuessedGuitar;
}

bool IsSharedKitProgram(int program) {
  for (const SharedKit& k : kSharedKits)
    if (k.program == program) return true;
  return false;
}

int NearestKitProgram(int program) {
  if (IsSharedKitProgram(program)) return program;
  for (const KitRange& r : kNearestKits)
    if (program >= r.first && program <= r.last) return r.nearest;
  return -1;
}

const char* KitName(int program) {
  for (const SharedKit& k : kSharedKits)
    if (k.program == program) return k.name;
  return "";
}

const DrumKeyMove* FindDrumKeyMove(int key) {
  for (const DrumKeyMove& m : kDrumKeyMoves)
    if (m.key == key) return &m;
  return nullptr;
}

const EffectKey* FindEffectKey(int kit, int key) {
  for (const EffectKey& e : kEffectKeys)
    if (e.kit == kit && e.key == key) return &e;
  return nullptr;
}

}  // namespace vambrio::voices
