#include "library/library_indexer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "library/folder_walk.h"

namespace vambrio::library {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

struct Walked {
  std::vector<FoundFile> files;
  std::vector<std::string> readFolders;     // walked: what is not found in them has vanished
  std::vector<std::string> unreadFolders;   // could not be read: their files are kept as they are
};

Walked WalkFolders(const std::vector<std::string>& folders, IndexReport& report) {
  Walked w;
  for (const std::string& folder : folders) {
    WalkResult r = FindStyleFiles(folder);
    if (!r.rootReadable) {
      report.problems.push_back("The folder " + folder + " could not be read.");
      w.unreadFolders.push_back(folder);
      continue;
    }
    w.readFolders.push_back(folder);
    for (const std::string& p : r.problems) {
      report.problems.push_back("The folder " + p + " could not be read.");
      w.unreadFolders.push_back(p);
    }
    w.files.insert(w.files.end(), std::make_move_iterator(r.files.begin()), std::make_move_iterator(r.files.end()));
  }
  // Folders inside each other find the same files.
  std::sort(w.files.begin(), w.files.end(), [](const FoundFile& a, const FoundFile& b) { return a.path < b.path; });
  w.files.erase(std::unique(w.files.begin(), w.files.end(),
                            [](const FoundFile& a, const FoundFile& b) { return a.path == b.path; }),
                w.files.end());
  return w;
}

bool InsideAny(const std::string& path, const std::vector<std::string>& folders) {
  return std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return IsInside(path, f); });
}

// Reads the files on worker threads; the calling thread writes what they
// read to the index in batches, in order, and reports the progress.
class ParallelReader {
 public:
  ParallelReader(LibraryDatabase& db, const std::vector<FoundFile>& files, const ProgressFn& progress,
                 const std::atomic<bool>* cancel, IndexReport& report)
      : db_(db), files_(files), progress_(progress), cancel_(cancel), report_(report),
        results_(files.size()), ready_(files.size()) {}

  void Run() {
    if (files_.empty()) return;
    start_ = Clock::now();
    size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    workers = std::min(workers, (files_.size() + 31) / 32);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < workers; ++i) threads.emplace_back([this] { Work(); });
    Collect();
    stop_ = true;
    for (auto& t : threads) t.join();
    if (!writeFailed_) Store();  // what was read before a cancel
    Report();
  }

 private:
  bool Cancelled() const { return stop_ || (cancel_ && cancel_->load()); }

  void Work() {
    while (!Cancelled()) {
      size_t i = next_.fetch_add(1);
      if (i >= files_.size()) return;
      results_[i] = {files_[i].path, {files_[i].size, files_[i].mtimeNs}, SummarizeStyleFile(files_[i].path)};
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_[i] = true;
      }
      wake_.notify_one();
    }
  }

  void Collect() {
    auto lastStore = Clock::now();
    auto lastReport = Clock::now();
    while (done_ < files_.size()) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return ready_[done_] || Cancelled(); });
        while (done_ < files_.size() && ready_[done_]) ++done_;
      }
      if (Cancelled()) {
        report_.cancelled = !stop_;
        return;
      }
      if (done_ - stored_ >= 2000 || SecondsSince(lastStore) >= 1.0) {
        if (!Store()) return;
        lastStore = Clock::now();
      }
      if (progress_ && SecondsSince(lastReport) >= 0.1) {
        Report();
        lastReport = Clock::now();
      }
    }
  }

  // Writes the files read since the last write; false (and the reading
  // stops) when the index cannot be written.
  bool Store() {
    size_t upTo;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      while (done_ < files_.size() && ready_[done_]) ++done_;
      upTo = done_;
    }
    if (upTo == stored_) return true;
    std::vector<IndexedFile> batch(std::make_move_iterator(results_.begin() + static_cast<ptrdiff_t>(stored_)),
                                   std::make_move_iterator(results_.begin() + static_cast<ptrdiff_t>(upTo)));
    if (!db_.Store(batch)) {
      report_.problems.push_back("The style library could not be written: " + db_.LastError().toStdString());
      report_.writeFailed = true;
      writeFailed_ = true;
      stop_ = true;
      return false;
    }
    for (const IndexedFile& f : batch) report_.failed += f.summary.error.empty() ? 0 : 1;
    report_.read += static_cast<int64_t>(batch.size());
    stored_ = upTo;
    return true;
  }

  void Report() {
    if (!progress_) return;
    IndexProgress p;
    p.done = static_cast<int64_t>(done_);
    p.total = static_cast<int64_t>(files_.size());
    double s = SecondsSince(start_);
    p.filesPerSecond = s > 0 ? static_cast<double>(done_) / s : 0;
    if (done_ > 0) p.current = files_[done_ - 1].path;
    progress_(p);
  }

  LibraryDatabase& db_;
  const std::vector<FoundFile>& files_;
  const ProgressFn& progress_;
  const std::atomic<bool>* cancel_;
  IndexReport& report_;
  std::vector<IndexedFile> results_;
  std::vector<char> ready_;  // guarded by mutex_
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> stop_{false};
  bool writeFailed_ = false;
  size_t done_ = 0;    // results ready in order (the calling thread's)
  size_t stored_ = 0;  // results written
  Clock::time_point start_;
};

}  // namespace

IndexReport UpdateIndex(LibraryDatabase& db, std::vector<std::string> folders, const ProgressFn& progress,
                        const std::atomic<bool>* cancel) {
  auto start = Clock::now();
  IndexReport report;
  bool allFolders = folders.empty();
  if (allFolders) folders = db.Folders();
  Walked walked = WalkFolders(folders, report);
  report.files = static_cast<int64_t>(walked.files.size());

  std::unordered_map<std::string, FileStamp> stamps = db.Stamps();
  std::vector<FoundFile> toRead;
  std::unordered_set<std::string> present;
  present.reserve(walked.files.size());
  for (const FoundFile& f : walked.files) {
    present.insert(f.path);
    auto it = stamps.find(f.path);
    if (it == stamps.end() || it->second.size != f.size || it->second.mtimeNs != f.mtimeNs) toRead.push_back(f);
  }
  std::vector<std::string> vanished;
  for (const auto& [path, stamp] : stamps) {
    if (present.count(path) || InsideAny(path, walked.unreadFolders)) continue;
    // Files of no folder of the library (another program removed the folder
    // while this one indexed it) go too when every folder was walked.
    if (InsideAny(path, walked.readFolders) || (allFolders && !InsideAny(path, folders))) vanished.push_back(path);
  }
  if (db.Drop(vanished)) {
    report.removed = static_cast<int64_t>(vanished.size());
  } else {
    report.problems.push_back("The style library could not be written: " + db.LastError().toStdString());
    report.writeFailed = true;
  }

  ParallelReader(db, toRead, progress, cancel, report).Run();
  report.seconds = SecondsSince(start);
  return report;
}

}  // namespace vambrio::library
