// A bank of registrations as a JSON file (".vreg"): an object with "format"
// "vambrio-registrations", "version" 1 and "registrations", an array of
// eight entries, each an object or null for an empty one. A file that does
// not read as a bank is reported and never written over.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "registration/registration.h"

namespace vambrio::registration {

struct BankProblem {
  std::string message;  // for the user, naming the file
};

std::string BankJson(const Bank& bank);
// The bank in text; the problem says what is wrong without the file's name.
std::variant<Bank, BankProblem> ParseBank(const std::string& text);

// A missing file is an empty bank.
std::variant<Bank, BankProblem> ReadBank(const std::string& path);
// Writes the bank whole (a temporary file renamed over it). A file there
// that is not a bank is left as it is and reported.
std::optional<BankProblem> WriteBank(const std::string& path, const Bank& bank);

}  // namespace vambrio::registration
