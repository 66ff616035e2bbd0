#include "registration/registration_bank.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "model/whole_file.h"

namespace vambrio::registration {
namespace {

using nlohmann::json;

constexpr const char* kFormat = "vambrio-registrations";
constexpr int kVersion = 1;
constexpr const char* kPartKeys[kPartCount] = {"right1", "right2", "left"};

json VoiceJson(const PartVoice& v) {
  return {{"on", v.on}, {"bank_msb", v.bankMsb}, {"bank_lsb", v.bankLsb}, {"program", v.program},
          {"volume", v.volume}, {"octave", v.octave}};
}

json RegistrationJson(const Registration& r) {
  json voices = json::object();
  for (int p = 0; p < kPartCount; ++p) voices[kPartKeys[p]] = VoiceJson(r.voices[static_cast<size_t>(p)]);
  return {{"style", r.styleFile},
          {"tempo", r.tempo},
          {"section", r.section},
          {"parts", r.accompanimentParts},
          {"ots_link", r.otsLink},
          {"voices", voices},
          {"split_point", r.splitPoint},
          {"chord_memory", r.chordMemory},
          {"auto_fill", r.autoFill},
          {"chord", r.chord ? json(*r.chord) : json()},
          {"voice_map", r.voiceMap},
          {"latency", r.latency}};
}

// Reading with every value checked: a wrong type or a value out of range
// throws a problem naming the field.
struct Reader {
  const json& j;
  std::string where;

  const json* Find(const char* key) const {
    auto it = j.find(key);
    return it == j.end() ? nullptr : &*it;
  }
  [[noreturn]] void Fail(const char* key, const char* what) const {
    throw BankProblem{where + "\"" + key + "\" " + what};
  }
  void Bool(const char* key, bool& into) const {
    if (const json* v = Find(key)) {
      if (!v->is_boolean()) Fail(key, "is not true or false");
      into = v->get<bool>();
    }
  }
  void Int(const char* key, int& into, int low, int high) const {
    if (const json* v = Find(key)) {
      if (!v->is_number_integer() || v->get<int64_t>() < low || v->get<int64_t>() > high)
        Fail(key, ("is not a whole number from " + std::to_string(low) + " to " + std::to_string(high)).c_str());
      into = v->get<int>();
    }
  }
  void Number(const char* key, double& into, double low, double high) const {
    if (const json* v = Find(key)) {
      if (!v->is_number() || v->get<double>() < low || v->get<double>() > high) Fail(key, "is not a number in range");
      into = v->get<double>();
    }
  }
  void Text(const char* key, std::string& into) const {
    if (const json* v = Find(key)) {
      if (!v->is_string()) Fail(key, "is not a text");
      into = v->get<std::string>();
    }
  }
};

PartVoice ReadVoice(const json& j, const std::string& where) {
  if (!j.is_object()) throw BankProblem{where + "is not an object"};
  PartVoice v;
  const Reader r{j, where};
  r.Bool("on", v.on);
  r.Int("bank_msb", v.bankMsb, 0, 127);
  r.Int("bank_lsb", v.bankLsb, 0, 127);
  r.Int("program", v.program, 0, 127);
  r.Int("volume", v.volume, 0, 127);
  r.Int("octave", v.octave, -2, 2);
  return v;
}

Registration ReadRegistration(const json& j, const std::string& where) {
  if (!j.is_object()) throw BankProblem{where + "is not an object"};
  Registration reg;
  const Reader r{j, where};
  r.Text("style", reg.styleFile);
  r.Number("tempo", reg.tempo, 0, 500);
  r.Text("section", reg.section);
  if (const json* parts = r.Find("parts")) {
    if (!parts->is_array() || parts->size() != 8) r.Fail("parts", "is not a list of 8 true or false");
    for (size_t k = 0; k < 8; ++k) {
      if (!(*parts)[k].is_boolean()) r.Fail("parts", "is not a list of 8 true or false");
      reg.accompanimentParts[k] = (*parts)[k].get<bool>();
    }
  }
  r.Bool("ots_link", reg.otsLink);
  if (const json* voices = r.Find("voices")) {
    if (!voices->is_object()) r.Fail("voices", "is not an object");
    for (int p = 0; p < kPartCount; ++p)
      if (auto it = voices->find(kPartKeys[p]); it != voices->end())
        reg.voices[static_cast<size_t>(p)] = ReadVoice(*it, where + "voice \"" + kPartKeys[p] + "\": ");
  }
  r.Int("split_point", reg.splitPoint, 0, 127);
  r.Bool("chord_memory", reg.chordMemory);
  r.Bool("auto_fill", reg.autoFill);
  if (const json* chord = r.Find("chord"); chord && !chord->is_null()) {
    if (!chord->is_string()) r.Fail("chord", "is not a chord name");
    reg.chord = chord->get<std::string>();
  }
  r.Text("voice_map", reg.voiceMap);
  r.Text("latency", reg.latency);
  if (reg.latency != "low" && reg.latency != "normal" && reg.latency != "safe") r.Fail("latency", "is not low, normal or safe");
  return reg;
}

}  // namespace

std::string BankJson(const Bank& bank) {
  json slots = json::array();
  for (const auto& slot : bank.entries) slots.push_back(slot ? RegistrationJson(*slot) : json());
  const json file = {{"format", kFormat}, {"version", kVersion}, {"registrations", slots}};
  return file.dump(2) + "\n";
}

std::variant<Bank, BankProblem> ParseBank(const std::string& text) {
  const json file = json::parse(text, nullptr, false);
  if (file.is_discarded()) return BankProblem{"it is not JSON"};
  if (!file.is_object() || file.value("format", "") != kFormat) return BankProblem{"it is not a bank of registrations"};
  if (!file.contains("version") || !file["version"].is_number_integer() || file["version"].get<int>() > kVersion)
    return BankProblem{"it was made by a newer version of Vambrio"};
  const auto slots = file.find("registrations");
  if (slots == file.end() || !slots->is_array() || slots->size() > kBankSize)
    return BankProblem{"\"registrations\" is not a list of up to 8"};
  Bank bank;
  try {
    for (size_t i = 0; i < slots->size(); ++i)
      if (!(*slots)[i].is_null()) bank.entries[i] = ReadRegistration((*slots)[i], "registration " + std::to_string(i + 1) + ": ");
  } catch (const BankProblem& p) {
    return p;
  }
  return bank;
}

std::variant<Bank, BankProblem> ReadBank(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) return Bank{};
    return BankProblem{path + " could not be read: " + std::strerror(errno)};
  }
  std::ostringstream text;
  text << in.rdbuf();
  auto bank = ParseBank(text.str());
  if (auto* p = std::get_if<BankProblem>(&bank)) p->message = path + " is damaged (" + p->message + ")";
  return bank;
}

std::optional<BankProblem> WriteBank(const std::string& path, const Bank& bank) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    auto existing = ReadBank(path);
    if (auto* p = std::get_if<BankProblem>(&existing))
      return BankProblem{p->message + "; it is left as it is: save the bank under another name"};
  }
  if (!WriteFileWhole(path, BankJson(bank)))
    return BankProblem{path + " could not be written: " + std::strerror(errno)};
  return std::nullopt;
}

}  // namespace vambrio::registration
