#include "library/library_filter.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace vambrio::library {
namespace {

std::optional<int> Number(std::string_view s) {
  int v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v < 0) return std::nullopt;
  return v;
}

}  // namespace

QString SearchKey(const LibraryRow& row) {
  return (row.name + QLatin1Char('\n') + row.FileName() + QLatin1Char('\n') + row.Folder()).toCaseFolded();
}

RowMatcher::RowMatcher(const LibraryFilter& filter) : filter_(filter) {
  static const QRegularExpression kSpaces(QStringLiteral("\\s+"));
  words_ = filter.text.toCaseFolded().split(kSpaces, Qt::SkipEmptyParts);
  filter_.format = filter.format.toUpper();
  tempoBound_ = filter.tempoMin > 0 || filter.tempoMax > 0;
}

bool RowMatcher::Matches(const LibraryRow& row, const QString& searchKey) const {
  if (filter_.favouritesOnly && !row.favourite) return false;
  if (filter_.errorsOnly && row.Loaded()) return false;
  if (tempoBound_) {
    if (!row.Loaded()) return false;
    if (filter_.tempoMin > 0 && row.tempo < filter_.tempoMin) return false;
    if (filter_.tempoMax > 0 && row.tempo > filter_.tempoMax) return false;
  }
  if (!filter_.timeSignature.isEmpty() && row.timeSignature != filter_.timeSignature) return false;
  if (!filter_.format.isEmpty() && row.format != filter_.format) return false;
  for (const QString& w : words_)
    if (!searchKey.contains(w)) return MatchingSong(row) >= 0;
  return true;
}

int RowMatcher::MatchingSong(const LibraryRow& row) const {
  if (words_.isEmpty()) return -1;
  for (size_t i = 0; i < row.songs.size(); ++i) {
    const QString title = row.songs[i].title.toCaseFolded();
    if (std::all_of(words_.begin(), words_.end(), [&](const QString& w) { return title.contains(w); }))
      return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::pair<int, int>> ParseTempoRange(const std::string& text) {
  size_t dash = text.find('-');
  if (dash == std::string::npos) {
    auto v = Number(text);
    if (!v || *v == 0) return std::nullopt;
    return std::make_pair(*v, *v);
  }
  std::string_view low = std::string_view(text).substr(0, dash);
  std::string_view high = std::string_view(text).substr(dash + 1);
  if (low.empty() && high.empty()) return std::nullopt;
  int min = 0, max = 0;
  if (!low.empty()) {
    auto v = Number(low);
    if (!v) return std::nullopt;
    min = *v;
  }
  if (!high.empty()) {
    auto v = Number(high);
    if (!v || *v == 0) return std::nullopt;
    max = *v;
  }
  if (max > 0 && min > max) return std::nullopt;
  return std::make_pair(min, max);
}

bool IsTimeSignature(const std::string& text) {
  size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  auto n = Number(std::string_view(text).substr(0, slash));
  auto d = Number(std::string_view(text).substr(slash + 1));
  return n && d && *n >= 1 && *n <= 99 && *d >= 1 && *d <= 64 && (*d & (*d - 1)) == 0;
}

std::vector<std::vector<size_t>> DuplicateGroups(const std::vector<LibraryRow>& rows) {
  std::unordered_map<QString, std::vector<size_t>> byHash;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].hash.isEmpty()) byHash[rows[i].hash].push_back(i);
  std::vector<std::vector<size_t>> groups;
  for (auto& [hash, members] : byHash) {
    if (members.size() < 2) continue;
    std::sort(members.begin(), members.end(), [&](size_t a, size_t b) { return rows[a].path < rows[b].path; });
    groups.push_back(std::move(members));
  }
  std::sort(groups.begin(), groups.end(),
            [&](const auto& a, const auto& b) { return rows[a.front()].path < rows[b.front()].path; });
  return groups;
}

}  // namespace vambrio::library
