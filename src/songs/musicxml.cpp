#include "songs/musicxml.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <pugixml.hpp>

#include "chord/chord_symbols.h"
#include "model/ascii_case.h"

namespace vambrio::songs {
namespace {

using arranger::ChartSlot;

constexpr zip_uint64_t kLargestScore = 64u << 20;

bool ReadEntry(zip_t* zip, const char* name, std::string& out, std::string& error) {
  const zip_int64_t index = zip_name_locate(zip, name, 0);
  zip_stat_t stat;
  if (index < 0 || zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
    error = std::string("the zip has no ") + name;
    return false;
  }
  if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > kLargestScore) {
    error = std::string(name) + " is too large to be a score";
    return false;
  }
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0),
                                                          zip_fclose);
  out.assign(stat.size, '\0');
  if (!file || zip_fread(file.get(), out.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) {
    error = std::string(name) + " in the zip cannot be read (damaged)";
    return false;
  }
  return true;
}

int StepPitch(const char* step) {
  static constexpr int kNatural[7] = {9, 11, 0, 2, 4, 5, 7};
  return step[0] >= 'A' && step[0] <= 'G' && step[1] == '\0' ? kNatural[step[0] - 'A'] : -1;
}

std::string StepName(const char* step, int alter) {
  return std::string(step) + (alter > 0 ? std::string(static_cast<size_t>(std::min(alter, 2)), '#')
                                        : std::string(static_cast<size_t>(std::min(-alter, 2)), 'b'));
}

int DegreeTone(int degree) {
  static constexpr int kTone[8] = {0, 0, 2, 4, 5, 7, 9, 11};  // degrees 1..7
  return degree >= 1 && degree <= 13 ? kTone[(degree - 1) % 7 + 1] : -1;
}

class ScoreReader {
 public:
  SheetResult Read(std::string_view xml) {
    const pugi::xml_parse_result parsed = doc_.load_buffer(xml.data(), xml.size());
    if (!parsed) return Fail("the file is not XML (" + std::string(parsed.description()) + " at byte " +
                             std::to_string(parsed.offset) + ")");
    const pugi::xml_node score = doc_.child("score-partwise");
    if (!score) return Fail(doc_.child("score-timewise") ? "a timewise score: save it as partwise MusicXML"
                                                         : "the file is XML but not a MusicXML score");
    SongInfo& info = result_.sheet.info;
    info.title = score.child("work").child_value("work-title");
    if (info.title.empty()) info.title = score.child_value("movement-title");
    for (pugi::xml_node c : score.child("identification").children("creator"))
      if (std::string(c.attribute("type").value()) == "composer") info.composer = c.child_value();
    pugi::xml_node part;
    for (pugi::xml_node p : score.children("part"))
      if (p.select_node(".//harmony")) {
        part = p;
        break;
      }
    if (!part) return Fail("the score has no chord symbols (no <harmony>)");
    for (pugi::xml_node m : part.children("measure")) Measure(m);
    if (bars().empty()) return Fail("the part has no measures");
    PlaceCodas();
    return std::move(result_);
  }

 private:
  std::vector<SheetBar>& bars() { return result_.sheet.bars; }

  SheetResult Fail(const std::string& why) {
    result_.error = why;
    return std::move(result_);
  }

  void Warn(const std::string& why) {
    result_.sheet.warnings.push_back("bar " + std::to_string(bars().size() + 1) + ": " + why);
  }

  void Measure(pugi::xml_node m) {
    SheetBar bar;
    bar.number = m.attribute("number").as_int(static_cast<int>(bars().size()) + 1);
    if (!ending_.empty()) bar.endings = ending_;
    double pos = 0;
    bool endingStops = false;
    for (pugi::xml_node c : m.children()) {
      const std::string name = c.name();
      if (name == "attributes") Attributes(c, bar);
      else if (name == "harmony") Harmony(c, pos, bar);
      else if (name == "note") {
        if (!c.child("chord") && !c.child("grace")) pos += c.child("duration").text().as_double();
      } else if (name == "backup") pos = std::max(0.0, pos - c.child("duration").text().as_double());
      else if (name == "forward") pos += c.child("duration").text().as_double();
      else if (name == "barline") endingStops = Barline(c, bar) || endingStops;
      else if (name == "direction") Direction(c, bar);
      else if (name == "sound") Sound(c, bar);
    }
    bar.beats = beats_, bar.beatType = beatType_;
    const double length = static_cast<double>(beats_) * 4.0 / beatType_ * divisions_;
    for (PlacedChord& p : bar.chords) p.at = std::clamp(p.at / length, 0.0, 0.999);
    std::stable_sort(bar.chords.begin(), bar.chords.end(),
                     [](const PlacedChord& a, const PlacedChord& b) { return a.at < b.at; });
    bars().push_back(std::move(bar));
    if (endingStops) ending_.clear();
  }

  void Attributes(pugi::xml_node a, SheetBar& bar) {
    if (a.child("divisions")) divisions_ = std::max(1.0, a.child("divisions").text().as_double(1));
    if (pugi::xml_node time = a.child("time"); time.child("beats")) {
      const int beats = time.child("beats").text().as_int(4), type = time.child("beat-type").text().as_int(4);
      if (beats > 0 && beats <= 32 && type > 0 && type <= 32) beats_ = beats, beatType_ = type;
      if (bars().empty()) result_.sheet.info.beats = beats_, result_.sheet.info.beatType = beatType_;
    }
    if (pugi::xml_node key = a.child("key"); key.child("fifths") && result_.sheet.info.key.empty()) {
      static const char* const kMajor[15] = {"Cb", "Gb", "Db", "Ab", "Eb", "Bb", "F", "C",
                                             "G",  "D",  "A",  "E",  "B",  "F#", "C#"};
      const int fifths = std::clamp(key.child("fifths").text().as_int(), -7, 7);
      static const char* const kMinor[15] = {"Ab", "Eb", "Bb", "F",  "C",  "G",  "D", "A",
                                             "E",  "B",  "F#", "C#", "G#", "D#", "A#"};
      const bool minor = std::string(key.child_value("mode")) == "minor";
      result_.sheet.info.key = minor ? std::string(kMinor[fifths + 7]) + "m" : kMajor[fifths + 7];
    }
    (void)bar;
  }

  void Harmony(pugi::xml_node h, double pos, SheetBar& bar) {
    const double at = pos + h.child("offset").text().as_double();
    const pugi::xml_node kind = h.child("kind");
    const std::string kindValue = kind.child_value();
    if (kindValue == "none") {
      bar.chords.push_back({at, {ChartSlot::Kind::NoChord, {}, "N.C.", {}}});
      return;
    }
    const pugi::xml_node root = h.child("root");
    const char* step = root.child_value("root-step");
    const int pitch = StepPitch(step);
    if (pitch < 0) return Warn("a chord symbol without a root (" + std::string(step) + "): left out");
    const int alter = static_cast<int>(std::lround(root.child("root-alter").text().as_double()));
    auto type = QualityType(kindValue.empty() ? "major" : kindValue);
    if (!type) {
      Warn("unknown chord kind \"" + kindValue + "\": played as major");
      type = SymbolType{0, true};
    }
    std::string quality = kind.attribute("text") ? kind.attribute("text").value() : ChordTypeName(type->type);
    uint16_t tones = 0;
    for (int t : ChordTypeTones(type->type)) tones = static_cast<uint16_t>(tones | (1u << t));
    bool degrees = false;
    for (pugi::xml_node d : h.children("degree")) {
      const int value = d.child("degree-value").text().as_int();
      const int shift = static_cast<int>(std::lround(d.child("degree-alter").text().as_double()));
      const std::string how = d.child_value("degree-type");
      const int tone = DegreeTone(value);
      if (tone < 0) continue;
      degrees = true;
      const auto bit = [](int t) { return static_cast<uint16_t>(1u << (((t % 12) + 12) % 12)); };
      if (how == "subtract") tones = static_cast<uint16_t>(tones & ~bit(tone + shift));
      else {
        if (how == "alter") tones = static_cast<uint16_t>(tones & ~bit(tone));
        tones = static_cast<uint16_t>(tones | bit(tone + shift));
      }
      if (!kind.attribute("text")) quality += (how == "subtract" ? "no" : shift > 0 ? "#" : shift < 0 ? "b" : "add") +
                                              std::to_string(value);
    }
    if (degrees) type = NearestType(tones);
    Chord chord{(pitch + alter + 12) % 12, type->type, -1};
    std::string text = StepName(step, alter) + quality;
    if (pugi::xml_node bass = h.child("bass")) {
      const char* bassStep = bass.child_value("bass-step");
      const int bassAlter = static_cast<int>(std::lround(bass.child("bass-alter").text().as_double()));
      if (StepPitch(bassStep) >= 0) {
        chord.bass = (StepPitch(bassStep) + bassAlter + 12) % 12;
        if (chord.bass == chord.root) chord.bass = -1;
        text += "/" + StepName(bassStep, bassAlter);
      }
    }
    if (type->rough) Warn("\"" + text + "\" plays as " + ChordName(chord));
    bar.chords.push_back({at, {ChartSlot::Kind::Chord, chord, text, {}}});
  }

  // Returns whether an ending stops at this measure.
  bool Barline(pugi::xml_node b, SheetBar& bar) {
    if (pugi::xml_node repeat = b.child("repeat")) {
      const std::string direction = repeat.attribute("direction").value();
      if (direction == "forward") bar.repeatStart = true;
      if (direction == "backward") bar.repeatEnd = true, bar.repeatTimes = repeat.attribute("times").as_int(0);
    }
    bool stops = false;
    if (pugi::xml_node ending = b.child("ending")) {
      const std::string type = ending.attribute("type").value();
      if (type == "start") {
        ending_.clear();
        const std::string numbers = ending.attribute("number").value();
        for (size_t i = 0; i < numbers.size(); ++i)
          if (std::isdigit(static_cast<unsigned char>(numbers[i])) &&
              (i == 0 || !std::isdigit(static_cast<unsigned char>(numbers[i - 1]))))
            ending_.push_back(std::atoi(numbers.c_str() + i));
        if (ending_.empty()) ending_.push_back(0);
        bar.endings = ending_;
        bar.endingStart = true;
      } else {
        stops = true;
      }
    }
    for (pugi::xml_node c : b.children()) {
      if (std::strcmp(c.name(), "segno") == 0) bar.segno = true;
      if (std::strcmp(c.name(), "coda") == 0) codas_.push_back(bars().size());
    }
    return stops;
  }

  void Direction(pugi::xml_node d, SheetBar& bar) {
    for (pugi::xml_node type : d.children("direction-type")) {
      if (type.child("rehearsal")) {
        const std::string mark = AsciiLower(type.child_value("rehearsal"));
        for (const char* word : {"intro", "verse", "chorus", "bridge"})
          bar.mark = mark.rfind(word, 0) == 0 ? word : bar.mark;
        if (bar.mark.empty()) bar.mark = mark;
      }
      if (type.child("segno")) bar.segno = true;
      if (type.child("coda") && !d.child("sound").attribute("tocoda") && !d.child("sound").attribute("coda"))
        codas_.push_back(bars().size());
      const std::string words = AsciiLower(type.child_value("words"));
      if (words.find("d.c.") != std::string::npos || words.find("da capo") != std::string::npos) bar.jump = Jump::DaCapo;
      else if (words.find("d.s.") != std::string::npos || words.find("dal segno") != std::string::npos)
        bar.jump = Jump::DalSegno;
      else if (words.find("to coda") != std::string::npos) bar.toCoda = true;
      else if (words == "fine") bar.fine = true;
    }
    if (pugi::xml_node sound = d.child("sound")) Sound(sound, bar);
  }

  void Sound(pugi::xml_node s, SheetBar& bar) {
    if (s.attribute("tempo")) {
      const double tempo = s.attribute("tempo").as_double();
      if (bars().empty() && result_.sheet.info.tempo == 0) result_.sheet.info.tempo = tempo;
      else bar.tempo = tempo;
    }
    if (s.attribute("segno")) bar.segno = true;
    if (s.attribute("coda")) bar.coda = true;
    if (s.attribute("tocoda")) bar.toCoda = true;
    if (std::string(s.attribute("dacapo").value()) == "yes") bar.jump = Jump::DaCapo;
    if (s.attribute("dalsegno")) bar.jump = Jump::DalSegno;
    if (s.attribute("fine")) bar.fine = true;
  }

  // Coda signs without their sound: the first is where to go on to the coda, the last the coda.
  void PlaceCodas() {
    if (codas_.size() < 2) return;
    bars()[codas_.front()].toCoda = true;
    bars()[codas_.back()].coda = true;
  }

  pugi::xml_document doc_;
  SheetResult result_;
  double divisions_ = 1;
  int beats_ = 4, beatType_ = 4;
  std::vector<int> ending_;
  std::vector<size_t> codas_;
};

}  // namespace

SheetResult ReadMusicXml(std::string_view xml) { return ScoreReader().Read(xml); }

bool UnpackMxl(std::string_view bytes, std::string& score, std::string& error) {
  zip_error_t zipError;
  zip_error_init(&zipError);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
  zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
  if (!zip) {
    if (source) zip_source_free(source);
    error = std::string("not a readable zip (") + zip_error_strerror(&zipError) + ")";
    zip_error_fini(&zipError);
    return false;
  }
  zip_error_fini(&zipError);
  std::unique_ptr<zip_t, void (*)(zip_t*)> owned(zip, zip_discard);
  std::string container;
  if (!ReadEntry(zip, "META-INF/container.xml", container, error)) return false;
  pugi::xml_document doc;
  if (!doc.load_buffer(container.data(), container.size())) {
    error = "META-INF/container.xml is not XML";
    return false;
  }
  const pugi::xpath_node rootfile = doc.select_node("//rootfile[@full-path]");
  if (!rootfile) {
    error = "META-INF/container.xml names no score (<rootfile full-path=...>)";
    return false;
  }
  return ReadEntry(zip, rootfile.node().attribute("full-path").value(), score, error);
}

}  // namespace vambrio::songs
