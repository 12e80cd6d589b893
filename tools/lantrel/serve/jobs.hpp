// File jobs: an uploaded file converted or located by the tool itself, run as a child process
// in a private temporary folder, polled for its state and downloaded once. The folder is
// removed when the result has been fetched, when the job expires, and when the server stops.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace lantrel::cli::serve {

struct JobState {
  std::string id;
  std::string state;    // "running", "done", "failed"
  std::string message;  // the tool's report when it failed, or of the points that failed
  std::uint64_t inputBytes = 0;
  std::uint64_t outputBytes = 0;  // written so far
  double progress = 0.0;          // share of the input read, 0 to 1 (1 once done)
  double seconds = 0.0;
  std::string resultName;  // the download's file name
};

class Jobs {
 public:
  /// program: the tool; jobs older than keep are removed with their folders.
  Jobs(std::string program, std::size_t maxRunning, std::chrono::seconds keep);
  ~Jobs();
  Jobs(const Jobs&) = delete;
  Jobs& operator=(const Jobs&) = delete;

  /// Starts `lantrel <args...> -o OUT IN` on content saved as IN (named inputName, ".zip" for a
  /// zipped Shapefile). An outputName ending in ".zip" is a zipped Shapefile: the tool writes
  /// the Shapefile, packed into the zip when it is done. Returns the job id, or nothing when
  /// maxRunning jobs are running.
  /// Throws std::runtime_error when the folder or the process cannot be made.
  std::optional<std::string> Start(const std::vector<std::string>& args, std::string_view content,
                                   const std::string& inputName, const std::string& outputName);
  std::optional<JobState> State(const std::string& id);
  /// The result's bytes and file name, once done; the job and its folder are removed.
  std::optional<std::pair<std::string, std::string>> Take(const std::string& id);

 private:
  struct Job;
  void Watch(std::shared_ptr<Job> job);
  void Expire();

  std::string program_;
  std::size_t maxRunning_;
  std::chrono::seconds keep_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Job>> jobs_;
  std::vector<std::pair<std::thread, std::shared_ptr<Job>>> watchers_;
  std::uint64_t next_ = 0;
};

}  // namespace lantrel::cli::serve
