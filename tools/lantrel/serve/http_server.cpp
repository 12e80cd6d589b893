#include "serve/http_server.hpp"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include <httplib.h>

#include "serve/connection_threads.hpp"
#include "serve/problem.hpp"

namespace lantrel::cli::serve {

namespace {

// cpp-httplib's task queue over the connection threads.
class ConnectionQueue : public httplib::TaskQueue {
 public:
  explicit ConnectionQueue(std::size_t limit) : threads_(limit) {}
  void enqueue(std::function<void()> fn) override { threads_.Enqueue(std::move(fn)); }
  void shutdown() override { threads_.Shutdown(); }

 private:
  ConnectionThreads threads_;
};

// cpp-httplib compresses the media types it names exactly (application/json, ...) and any
// text/*, with Brotli at its highest quality when the client accepts it: minutes for a large
// batch answer. Spelled with their charset, JSON and scripts go out as they are; the page's
// small text files are still compressed.
std::string NoCompression(const std::string& type) {
  if (type == "application/json") return "application/json; charset=utf-8";
  if (type.rfind("text/javascript", 0) == 0) return "application/javascript; charset=utf-8";
  return type;
}

void Answer(const Api& api, const httplib::Request& in, httplib::Response& out) {
  Request r;
  r.method = in.method;
  r.path = in.path;
  r.query.insert(in.params.begin(), in.params.end());
  // The body is not copied: a batch's is tens of megabytes.
  if (!in.is_multipart_form_data()) r.body = in.body;
  r.contentType = in.get_header_value("Content-Type");
  for (const auto& [field, file] : in.files) r.uploads.push_back({field, file.filename, file.content});
  Response a = api.Handle(r);
  out.status = a.status;
  for (const auto& [name, value] : a.headers) out.set_header(name, value);
  // Moved, not copied: a batch's answer is tens of megabytes. (A content provider would not
  // do: the library stops writing one when the server is told to stop.)
  out.body = std::move(a.body);
  out.set_header("Content-Type", NoCompression(a.contentType));
}

void ProblemInto(const Problem& p, httplib::Response& out) {
  const Response a = ProblemResponse(p);
  out.status = a.status;
  out.set_content(a.body, a.contentType);
}

}  // namespace

bool Serve(const Api& api, const std::function<void(const std::string&)>& ready) {
  const Settings& s = api.context().settings;
  // The signals go to the watcher thread alone; every other thread (made after this) blocks them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  httplib::Server server;
  const std::size_t threads = static_cast<std::size_t>(s.threads > 0 ? s.threads : kDefaultThreads);
  server.new_task_queue = [threads] { return new ConnectionQueue(threads); };
  // Without it every keep-alive answer waits on Nagle's algorithm for the client's ACK.
  server.set_tcp_nodelay(true);
  server.set_keep_alive_timeout(kKeepAliveSeconds);
  server.set_keep_alive_max_count(10000);
  server.set_read_timeout(30, 0);
  server.set_write_timeout(60, 0);
  server.set_payload_max_length(s.maxBody);
  const auto handler = [&api](const httplib::Request& in, httplib::Response& out) { Answer(api, in, out); };
  server.Get(".*", handler);
  server.Post(".*", handler);
  server.Put(".*", handler);
  server.Patch(".*", handler);
  server.Delete(".*", handler);
  server.Options(".*", handler);
  // Statuses the library sets itself (oversized body, unknown method, ...) get a problem too.
  server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& out) {
    if (!out.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    const int status = out.status;
    const char* type = status == 413 ? "body-too-large" : status == 405 ? "method-not-allowed"
                       : status == 404 ? "not-found" : status == 414 ? "uri-too-long" : "bad-request";
    ProblemInto(Problem(status, type, status == 413 ? "the body is larger than the server takes"
                                                    : StatusTitle(status)), out);
    return httplib::Server::HandlerResponse::Handled;
  }));
  server.set_exception_handler([](const httplib::Request&, httplib::Response& out, std::exception_ptr) {
    ProblemInto(Problem(500, "internal-error", "the request could not be answered"), out);
  });

  int port = s.port;
  if (port == 0) {
    port = server.bind_to_any_port(s.host);
    if (port < 0) return false;
  } else if (!server.bind_to_port(s.host, port)) {
    return false;
  }
  const bool v6 = s.host.find(':') != std::string::npos;
  ready("http://" + (v6 ? "[" + s.host + "]" : s.host) + ":" + std::to_string(port) + "/");

  std::atomic<bool> done{false};
  std::thread watcher([&] {
    const timespec tick{0, 200000000};
    while (!done.load()) {
      if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) {
        server.stop();
        return;
      }
    }
  });
  const bool ok = server.listen_after_bind();
  done = true;
  watcher.join();
  return ok || !server.is_running();
}

}  // namespace lantrel::cli::serve
