#include "serve/jobs.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string_view>

#include "serve/job_progress.hpp"
#include "serve/shapefile_zip.hpp"

#ifdef LANTREL_HAVE_GDAL
#include <cpl_conv.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#endif

extern char** environ;

namespace lantrel::cli::serve {

namespace fs = std::filesystem;

struct Jobs::Job {
  std::string id, dir, input, output, errors, outputName;
  std::string written;               // what the tool writes: the output, or the Shapefile to zip
  bool zip = false;                  // the output is `written` and its sidecars zipped
  std::vector<std::string> inputs;   // the files the tool reads, for the progress
  pid_t pid = -1;
  std::string state = "running";
  std::string message;
  std::uint64_t inputBytes = 0;
  double progress = 0.0;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now(), end{};
  std::atomic<bool> watched{false};  // the watcher thread is done with the job
};

namespace {

std::string NewId() {
  std::random_device random;
  std::string id;
  static const char* hex = "0123456789abcdef";
  for (int i = 0; i < 8; ++i) {
    const unsigned v = random();
    for (int k = 0; k < 4; ++k) id += hex[(v >> (4 * k)) & 15];
  }
  return id;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tool's report with the job's folder left out: a message never shows a path here.
std::string Report(const std::string& text, const std::string& dir) {
  std::string m = text.substr(0, 4000);
  for (std::size_t at; (at = m.find(dir + "/")) != std::string::npos;) m.erase(at, dir.size() + 1);
  for (std::size_t at; (at = m.find(dir)) != std::string::npos;) m.erase(at, dir.size());
  for (std::size_t at; (at = m.find("/vsizip/")) != std::string::npos;) m.erase(at, 8);
  return m;
}

// Unpacks the Shapefile of a zip into folder (plain names only, at most kMaxUnpacked bytes, so
// neither a path in the archive nor a zip bomb reaches past it); returns the .shp, or empty when
// the archive holds not exactly one.
std::string ShapefileInZip(const std::string& zip, const std::string& folder) {
#ifdef LANTREL_HAVE_GDAL
  constexpr std::uint64_t kMaxUnpacked = 2ull << 30;
  const std::string root = "/vsizip/" + zip;
  char** names = VSIReadDirRecursive(root.c_str());
  std::string shp;
  int count = 0;
  std::uint64_t total = 0;
  bool ok = true;
  for (char** n = names; ok && n && *n; ++n) {
    std::string name = *n;
    const auto slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.empty() || base[0] == '.' || name.rfind("__MACOSX", 0) == 0) continue;
    const auto dot = base.rfind('.');
    std::string ext = dot == std::string::npos ? "" : base.substr(dot + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != "shp" && ext != "shx" && ext != "dbf" && ext != "prj" && ext != "cpg") continue;
    VSIStatBufL stat;
    if (VSIStatL((root + "/" + name).c_str(), &stat) != 0) continue;
    total += static_cast<std::uint64_t>(stat.st_size);
    if (total > kMaxUnpacked) {
      ok = false;
      break;
    }
    std::string plain;
    for (const char c : base) plain += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
    const std::string target = folder + "/" + plain;
    if (CPLCopyFile(target.c_str(), (root + "/" + name).c_str()) != 0) ok = false;
    if (ext == "shp") {
      shp = target;
      ++count;
    }
  }
  CSLDestroy(names);
  return ok && count == 1 ? shp : std::string();
#else
  (void)zip;
  (void)folder;
  return {};
#endif
}

}  // namespace

Jobs::Jobs(std::string program, std::size_t maxRunning, std::chrono::seconds keep)
    : program_(std::move(program)), maxRunning_(maxRunning), keep_(keep) {}

Jobs::~Jobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, job] : jobs_) {
      if (job->state == "running" && job->pid > 0) ::kill(job->pid, SIGTERM);
    }
  }
  for (auto& [t, job] : watchers_) {
    if (t.joinable()) t.join();
  }
  std::error_code ec;
  for (auto& [id, job] : jobs_) fs::remove_all(job->dir, ec);
}

void Jobs::Expire() {
  const auto now = std::chrono::steady_clock::now();
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    const auto& job = it->second;
    if (job->state != "running" && now - job->end > keep_) {
      std::error_code ec;
      fs::remove_all(job->dir, ec);
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
}

std::optional<std::string> Jobs::Start(const std::vector<std::string>& args, std::string_view content,
                                       const std::string& inputName, const std::string& outputName) {
  std::unique_lock<std::mutex> lock(mutex_);
  Expire();
  std::size_t running = 0;
  for (const auto& [id, job] : jobs_) running += job->state == "running" ? 1 : 0;
  if (running >= maxRunning_) return std::nullopt;

  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lantrel-job-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make the job's folder");
  auto job = std::make_shared<Job>();
  job->dir = pattern;  // made 0700: only this user reads it
  job->id = NewId();
  job->input = job->dir + "/" + inputName;
  job->output = job->dir + "/" + outputName;
  job->outputName = outputName;
  job->written = job->output;
  const auto ends = [](const std::string& name, std::string_view tail) {
    return name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (ends(outputName, ".zip")) {
    // A zipped Shapefile: the tool writes it into a folder of its own, packed when done.
    job->zip = true;
    job->written = job->dir + "/shp/" + outputName.substr(0, outputName.size() - 4) + ".shp";
  }
  job->errors = job->dir + "/messages.txt";
  job->inputBytes = content.size();
  const auto fail = [&](const char* why) {
    std::error_code ec;
    fs::remove_all(job->dir, ec);
    throw std::runtime_error(why);
  };
  {
    std::ofstream out(job->input, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) fail("cannot store the upload");
  }
  if (job->zip) {
    std::error_code ec;
    if (!fs::create_directory(job->dir + "/shp", ec)) fail("cannot make the job's folder");
  }
  std::string input = job->input;
  job->inputs.push_back(input);
  if (ends(inputName, ".zip")) {
    input = ShapefileInZip(job->input, job->dir);
    if (input.empty()) fail("the zip file holds no single Shapefile (.shp)");
    job->inputs = {input, input.substr(0, input.size() - 4) + ".dbf"};
  }
  std::vector<std::string> argv{program_};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.insert(argv.end(), {"-o", job->written, input});
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, job->errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The server blocks its stop signals in every thread; the tool must not inherit that.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
  const int rc = posix_spawn(&job->pid, program_.c_str(), &files, &attr, raw.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) fail("cannot start the job");
  jobs_[job->id] = job;
  // Watchers of ended jobs are joined here, so that threads do not pile up over a long run.
  for (auto it = watchers_.begin(); it != watchers_.end();) {
    if (it->second->watched) {
      it->first.join();
      it = watchers_.erase(it);
    } else {
      ++it;
    }
  }
  watchers_.emplace_back(std::thread([this, job] { Watch(job); }), job);
  return job->id;
}

void Jobs::Watch(std::shared_ptr<Job> job) {
  int status = 0;
  while (::waitpid(job->pid, &status, 0) < 0 && errno == EINTR) {
  }
  std::string messages = Report(ReadAll(job->errors), job->dir);
  std::error_code ec;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // Status 1 with a result: some records failed and say so; anything else without one failed.
  bool done = fs::is_regular_file(job->written, ec) && (code == 0 || code == 1);
  if (done && job->zip && !ZipShapefile(job->written, job->output)) {
    done = false;
    messages += (messages.empty() ? "" : "\n") + std::string("cannot pack the Shapefile into a zip file");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job->end = std::chrono::steady_clock::now();
    job->state = done ? "done" : "failed";
    if (done) job->progress = 1.0;
    job->message = messages;
    // A failed job keeps only its state: nothing of the upload stays behind.
    if (!done) fs::remove_all(job->dir, ec);
  }
  job->watched = true;
}

std::optional<JobState> Jobs::State(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = jobs_.find(id);
  if (it == jobs_.end()) return std::nullopt;
  Job& j = *it->second;
  if (j.state == "running" && j.pid > 0) {
    // Below 1 until the job has ended (the result may still be packed).
    j.progress = std::max(j.progress, std::min(ReadShare(j.pid, j.inputs), 0.99));
  }
  JobState s;
  s.id = j.id;
  s.state = j.state;
  s.message = j.message;
  s.inputBytes = j.inputBytes;
  std::error_code ec;
  const auto size = fs::file_size(j.state == "running" ? j.written : j.output, ec);
  s.outputBytes = ec ? 0 : size;
  s.progress = j.progress;
  const auto end = j.state == "running" ? std::chrono::steady_clock::now() : j.end;
  s.seconds = std::chrono::duration<double>(end - j.start).count();
  s.resultName = j.outputName;
  return s;
}

std::optional<std::pair<std::string, std::string>> Jobs::Take(const std::string& id) {
  std::shared_ptr<Job> job;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end() || it->second->state != "done") return std::nullopt;
    job = it->second;
    jobs_.erase(it);
  }
  std::pair<std::string, std::string> result{ReadAll(job->output), job->outputName};
  std::error_code ec;
  fs::remove_all(job->dir, ec);
  return result;
}

}  // namespace lantrel::cli::serve
