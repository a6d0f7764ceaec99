// Times one start of a program to its first shown top-level window on the X display, reads
// its peak memory, then closes it as a window manager would.
//   startup_timer_x11 --title TITLE [--settle-ms N] [--timeout-ms N] -- COMMAND [ARG...]
// Prints one line: startup_ms=F peak_kib=N rss_kib=N settle_ms=F exit_ms=F pid=P window_pid=P exe=PATH exit=N
// Exit codes: 0 measured and exited after the close; 2 usage or no X display; 3 the program
// failed (ended early, showed no such window in time, did not exit after the close).
//
// The clock runs from the fork until the X server reports the window mapped: Wine maps a
// top-level window's X window when the program shows it, so this is the moment it appears
// on the screen, seen from outside the program and the same for any program measured.
// Events are waited for, not polled, so the reading is as exact as the event delivery.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

volatile pid_t g_child = 0;

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// A window may be gone between its map and our look at it: not an error for us.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

void OnSignal(int sig) {
  if (g_child > 0) kill(g_child, SIGKILL);
  signal(sig, SIG_DFL);
  raise(sig);
}

// The "Key: value" field of /proc/PID/status in kB, or -1.
long StatusKib(pid_t pid, const char* key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const size_t key_length = strlen(key);
  while (std::getline(in, line)) {
    if (line.compare(0, key_length, key) == 0 && line.size() > key_length && line[key_length] == ':') {
      return strtol(line.c_str() + key_length + 1, nullptr, 10);
    }
  }
  return -1;
}

pid_t ParentOf(pid_t pid) {
  long ppid = StatusKib(pid, "PPid");  // a plain number, read the same way
  return ppid > 0 ? static_cast<pid_t>(ppid) : 0;
}

// The window belongs to the started program when its owner is the child or runs under it
// (a loader that forks instead of replacing itself would still be found).
bool StartedBy(pid_t owner, pid_t child) {
  for (int depth = 0; owner > 1 && depth < 16; ++depth) {
    if (owner == child) return true;
    owner = ParentOf(owner);
  }
  return false;
}

pid_t WindowPid(Display* display, Window window, Atom net_wm_pid) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  if (XGetWindowProperty(display, window, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success && data &&
      format == 32 && count == 1) {
    pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return pid;
}

std::string WindowTitle(Display* display, Window window, Atom net_wm_name, Atom utf8_string) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8_string, &type, &format, &count, &after, &data) == Success &&
      data && format == 8) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

// True once the child has ended; its status is kept in *status.
bool Reaped(pid_t child, int* status) {
  pid_t done = waitpid(child, status, WNOHANG);
  return done == child || (done < 0 && errno == ECHILD);
}

void StopChild(pid_t child) {
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

int Usage() {
  fprintf(stderr, "usage: startup_timer_x11 --title TITLE [--settle-ms N] [--timeout-ms N] -- COMMAND [ARG...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title;
  double settle_ms = 500, timeout_ms = 30000;
  int first = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      first = i + 1;
      break;
    }
    if (i + 1 >= argc) return Usage();
    if (arg == "--title")
      title = argv[++i];
    else if (arg == "--settle-ms")
      settle_ms = atof(argv[++i]);
    else if (arg == "--timeout-ms")
      timeout_ms = atof(argv[++i]);
    else
      return Usage();
  }
  if (!first || first >= argc || title.empty()) return Usage();

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "startup_timer_x11: cannot open the X display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreXError);
  const Window root = DefaultRootWindow(display);
  const Atom net_wm_pid = XInternAtom(display, "_NET_WM_PID", False);
  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8_string = XInternAtom(display, "UTF8_STRING", False);
  const Atom wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  // Listening starts before the program does, so no map can be missed.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);

  const double start = NowMs();
  const pid_t child = fork();
  if (child < 0) {
    perror("startup_timer_x11: fork");
    return 2;
  }
  if (child == 0) {
    // Our one output line stays ours; the program's diagnostics go to our stderr.
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, STDIN_FILENO);
      dup2(null, STDOUT_FILENO);
      close(null);
    }
    close(ConnectionNumber(display));
    execvp(argv[first], argv + first);
    fprintf(stderr, "startup_timer_x11: cannot start %s: %s\n", argv[first], strerror(errno));
    _exit(127);
  }
  g_child = child;

  Window shown = 0;
  pid_t owner = 0;
  double shown_at = 0;
  std::vector<std::string> other_titles;
  int status = 0;
  const int fd = ConnectionNumber(display);
  while (!shown) {
    while (!shown && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      const double received = NowMs();
      // Where Wine places its windows itself ("Managed"="N") every top-level window is
      // override-redirect, the main one too: the owner and the title tell it from a popup.
      if (event.type != MapNotify) continue;
      const pid_t window_pid = WindowPid(display, event.xmap.window, net_wm_pid);
      if (!window_pid || !StartedBy(window_pid, child)) continue;
      const std::string window_title = WindowTitle(display, event.xmap.window, net_wm_name, utf8_string);
      if (window_title != title) {
        other_titles.push_back(window_title);
        continue;
      }
      shown = event.xmap.window;
      owner = window_pid;
      shown_at = received;
    }
    if (shown) break;
    if (Reaped(child, &status)) {
      fprintf(stderr, "startup_timer_x11: %s ended (status %d) before showing a window titled \"%s\"\n", argv[first], status,
              title.c_str());
      return 3;
    }
    const double left = start + timeout_ms - NowMs();
    if (left <= 0) {
      fprintf(stderr, "startup_timer_x11: no window titled \"%s\" within %.0f ms", title.c_str(), timeout_ms);
      for (const std::string& other : other_titles) fprintf(stderr, "; shown instead: \"%s\"", other.c_str());
      fprintf(stderr, "\n");
      StopChild(child);
      return 3;
    }
    // Short enough to notice a program that ends without a window.
    pollfd wait{fd, POLLIN, 0};
    poll(&wait, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
  }
  const double startup_ms = shown_at - start;

  // Peak memory once it has stopped growing: the window is up, and what the program does
  // right after showing it (painting, loading its lists) counts too. The kernel keeps the
  // peak per process image, and a loader may replace itself under the same pid: read from
  // the window's owner after the map, it is the figure of the image that shows the window.
  long peak = StatusKib(owner, "VmHWM");
  double stable_since = NowMs();
  const double settle_deadline = NowMs() + std::max(10 * settle_ms, 5000.0);
  while (NowMs() - stable_since < settle_ms && NowMs() < settle_deadline) {
    usleep(20000);
    const long now_peak = StatusKib(owner, "VmHWM");
    if (now_peak < 0) break;  // ended: caught below
    if (now_peak != peak) {
      peak = now_peak;
      stable_since = NowMs();
    }
  }
  const long rss = StatusKib(owner, "VmRSS");
  char exe[4096] = {};
  ssize_t exe_length = readlink(("/proc/" + std::to_string(owner) + "/exe").c_str(), exe, sizeof exe - 1);
  if (exe_length > 0) exe[exe_length] = '\0';
  if (peak < 0 || Reaped(child, &status)) {
    fprintf(stderr, "startup_timer_x11: %s ended on its own after showing its window\n", argv[first]);
    return 3;
  }

  // What a window manager sends for the close box: Wine turns it into SC_CLOSE, then WM_CLOSE.
  XEvent close_request{};
  close_request.xclient.type = ClientMessage;
  close_request.xclient.window = shown;
  close_request.xclient.message_type = wm_protocols;
  close_request.xclient.format = 32;
  close_request.xclient.data.l[0] = static_cast<long>(wm_delete_window);
  close_request.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, shown, False, NoEventMask, &close_request);
  XFlush(display);

  const double close_sent = NowMs();
  const double exit_deadline = close_sent + 15000;
  while (!Reaped(child, &status)) {
    if (NowMs() > exit_deadline) {
      fprintf(stderr, "startup_timer_x11: %s did not exit within 15 s of the close request\n", argv[first]);
      StopChild(child);
      return 3;
    }
    usleep(10000);
  }
  const double exit_ms = NowMs() - close_sent;
  XCloseDisplay(display);

  printf("startup_ms=%.1f peak_kib=%ld rss_kib=%ld settle_ms=%.0f exit_ms=%.0f pid=%d window_pid=%d exe=%s exit=%d\n", startup_ms, peak,
         rss, close_sent - shown_at, exit_ms, static_cast<int>(child), static_cast<int>(owner), exe,
         WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
