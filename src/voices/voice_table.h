// The facts the voice map works from, each written once as a table:
//  - the articulated voices of bank MSB 8: name, family, General MIDI
//    stand-in and articulation map, by program and LSB;
//  - the articulation maps: which velocity band plays which articulation and
//    with which General MIDI program, and what notes 96 and up (noises) are;
//  - drum kits: the kit programs General MIDI SoundFonts share and the
//    nearest one for the others; keys 13..34 and their General MIDI
//    neighbours; the keys of the effect kits (MSB 126) a General MIDI sound
//    stands in for.
// Programs are 0-based (the byte a file holds).
#pragma once

#include <cstdint>
#include <span>

namespace vambrio::voices {

inline constexpr int kOwnProgram = -1;    // an articulation played by the voice's own program
inline constexpr int kFirstNoiseNote = 96;  // notes from here on are noises on voices that have them
inline constexpr int kHighNoiseNote = 120;  // from here on the second kind of noise

enum class Family : uint8_t { None, Guitar, Bass, Strings, Brass, Trumpet, Saxophone };
const char* FamilyName(Family f);  // "guitar", "bass", ...; "" for None

enum class Articulation : uint8_t {
  Normal, Open, OpenSoft, OpenMed, OpenHard, Soft, Med, Hard, Dead, DeadSoft, DeadHard, Mute, Slap,
  Hammer, Slide, Harmonics, PickHarmonics, Piano, MezzoPiano, MezzoForte, Forte, Fortissimo, Legato,
  SpiccatoForte, SpiccatoFortissimo, Tremolo, GlissandoDown, GlissandoUp, Attack, Scoop, Shake, Fall,
  Straight, Growl, StrumNoise, FretNoise, ValveNoise, BreathNoise,
};
const char* ArticulationName(Articulation a);  // "open soft", "pick harmonics", "fret noise", ...

// Velocities low..high (1..127) of a note below 96 play this articulation,
// by the General MIDI program given (kOwnProgram: the voice's stand-in).
struct ArticulationBand {
  uint8_t low = 1;
  uint8_t high = 127;
  Articulation articulation = Articulation::Normal;
  int8_t program = kOwnProgram;
};

struct ArticulationMap {
  const char* name = "";                   // "nylon, steel guitar", "electric bass", ...
  std::span<const ArticulationBand> bands;  // in order, together covering 1..127
  bool hasNoises = false;                  // notes 96 and up are noises
  Articulation lowNoise = Articulation::Normal;   // notes 96..119
  Articulation highNoise = Articulation::Normal;  // notes 120..127
  uint8_t noiseProgram = 120;              // the General MIDI effect that plays the noises
};

// One voice of bank MSB 8.
struct MegaVoice {
  uint8_t program = 0;
  uint8_t lsbLow = 0, lsbHigh = 0;  // the LSBs this entry names
  const char* name = "";            // "finger bass", "clean guitar", ...
  Family family = Family::None;
  uint8_t gmProgram = 0;            // the General MIDI stand-in
  const ArticulationMap* articulations = nullptr;
};

// The entry for MSB 8 with this LSB and program: the one naming the LSB, or
// for another LSB (a variant, or the articulation voices of LSB 32 and up)
// the program's first entry; null for a program the table does not know.
const MegaVoice* FindMegaVoice(int lsb, int program);
std::span<const MegaVoice> MegaVoices();

// The voice that stands in for an unlisted MSB 8 program: a bass on the
// bass part or below note 48 (median), else an electric guitar.
const MegaVoice& GuessedMegaVoice(int part, int medianNote);

// Drum kits. The kit programs General MIDI, GS and XG kits agree on play as
// they are; any other program plays the nearest of them (-1: none is near:
// the Standard kit plays it).
bool IsSharedKitProgram(int program);
int NearestKitProgram(int program);
const char* KitName(int program);  // "Standard", "Room", ... for the shared programs; "" else
inline constexpr int kStandardKit = 0;

// Keys 13..34 of the keyboards' kits and the General MIDI key that stands in
// when the kit has no sample there; velocityPercent scales the note (soft brushes).
struct DrumKeyMove {
  uint8_t key = 0;
  uint8_t to = 0;
  uint8_t velocityPercent = 100;
  const char* name = "";
};
// The move for this key, or null (keys 35 and up are General MIDI's own).
const DrumKeyMove* FindDrumKeyMove(int key);

// A key of an effect kit (MSB 126) and what plays it on the Standard kit:
// another drum key, or a General MIDI effect program at one fixed pitch.
struct EffectKey {
  uint8_t kit = 0;  // the effect kit's program
  uint8_t key = 0;
  const char* name = "";
  int8_t drumKey = -1;    // play this key of the Standard kit, or
  int8_t gmProgram = -1;  // play this melodic program (on a helper channel)
};
// The stand-in for this key of this effect kit, or null (silent).
const EffectKey* FindEffectKey(int kit, int key);

// Inside its band a note's velocity is its loudness: the bottom of the band
// sounds with this velocity, the top with 127. Not 1: real styles place their
// notes anywhere in a band (a bass at 64 in 61..80, a strum at 22 in 21..40),
// and on a General MIDI SoundFont a velocity near 1 is all but silent.
inline constexpr int kSoftestBandVelocity = 40;

// Noises and effects on a helper channel sound at this pitch, at this share of their velocity.
inline constexpr uint8_t kEffectPitch = 60;
inline constexpr int kEffectVelocityPercent = 60;

}  // namespace vambrio::voices
