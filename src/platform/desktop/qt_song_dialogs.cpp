#include "platform/desktop/qt_song_dialogs.h"

#include "platform/desktop/qt_file_dialogs.h"

namespace vambrio::platform {
namespace {

const char* const kSetListFilter = "Set Lists (*.vset);;All Files (*)";
const char* const kLeadSheetFilter =
    "Lead Sheets (*.txt *.html *.htm *.cho *.crd *.chopro *.chordpro *.pro *.musicxml *.xml *.mxl);;All Files (*)";
const char* const kStyleFilter = "Styles (*.sty *.pcs *.sst *.pst *.prs *.bcs *.fps);;All Files (*)";

std::string First(const QStringList& files) { return files.isEmpty() ? std::string() : files.front().toStdString(); }

}  // namespace

std::string QtSongDialogs::OpenSetList(const std::string& startPath) {
  return First(AskForFiles(parent_, {.title = "Open Set List", .startPath = startPath, .filter = kSetListFilter}));
}

std::string QtSongDialogs::SaveSetList(const std::string& startPath) {
  return First(AskForFiles(parent_, {.title = "Save Set List", .startPath = startPath, .filter = kSetListFilter,
                                     .save = true, .defaultSuffix = "vset"}));
}

std::vector<std::string> QtSongDialogs::ImportFiles(const std::string& startPath) {
  std::vector<std::string> files;
  for (const QString& f : AskForFiles(parent_, {.title = "Import Songs", .startPath = startPath,
                                                .filter = kLeadSheetFilter, .manyFiles = true}))
    files.push_back(f.toStdString());
  return files;
}

std::string QtSongDialogs::ChooseStyle(const std::string& startPath) {
  return First(AskForFiles(parent_, {.title = "Style for the Song", .startPath = startPath, .filter = kStyleFilter}));
}

std::string QtSongDialogs::ChooseRegistrationBank(const std::string& startPath) {
  return First(AskForFiles(parent_, {.title = "Bank of Registrations", .startPath = startPath,
                                     .filter = kRegistrationFilter}));
}

}  // namespace vambrio::platform
