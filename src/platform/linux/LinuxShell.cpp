#include "platform/linux/LinuxShell.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/CommandLine.h"

namespace keyloom::platform::linux_input {
namespace {

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  for (wchar_t wc : text) {
    const auto c = static_cast<char32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The executable `name` resolves to through PATH, as execvp would find it;
// empty when none. Resolved before fork, so the child only calls execv.
std::string FindInPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // An empty entry names the current directory.
    const std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

std::vector<char*> ArgvPointers(std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  return pointers;
}

// In a forked child: a clean signal state, no terminal input, then exec.
[[noreturn]] void ExecChild(const std::string& program, char* const* argv, int errorPipe) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const int devNull = open("/dev/null", O_RDWR);
  if (devNull >= 0) dup2(devNull, STDIN_FILENO);
  execv(program.c_str(), argv);
  const int error = errno;
  if (errorPipe >= 0) (void)!write(errorPipe, &error, sizeof error);
  _exit(127);
}

}  // namespace

std::vector<std::string> LinuxShell::LaunchCommand(const std::string& path,
                                                   const std::string& arguments) {
  if (path.empty()) return {};
  if (IsExecutableFile(path) || (path.find('/') == std::string::npos && !FindInPath(path).empty())) {
    std::vector<std::string> argv{path};
    for (std::string& a : SplitArguments(arguments)) argv.push_back(std::move(a));
    return argv;
  }
  return {"xdg-open", path};
}

bool LinuxShell::Open(const std::wstring& path, const std::wstring& arguments) {
  return SpawnDetached(LaunchCommand(ToUtf8(path), ToUtf8(arguments)));
}

bool LinuxShell::LockWorkStation() {
  return RunAndWait({"loginctl", "lock-session"}) == 0;
}

bool SpawnDetached(const std::vector<std::string>& command) {
  if (command.empty()) return false;
  const std::string program = FindInPath(command[0]);
  if (program.empty()) return false;
  std::vector<std::string> argv = command;
  std::vector<char*> pointers = ArgvPointers(argv);
  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(errorPipe[0]);
    close(errorPipe[1]);
    return false;
  }
  if (child == 0) {
    // The middle process ends at once, so the program is adopted by init (or
    // the session's subreaper) and keyloom never has to reap it.
    close(errorPipe[0]);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    ExecChild(program, pointers.data(), errorPipe[1]);
  }
  close(errorPipe[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(errorPipe[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(errorPipe[0]);
  // Nothing to read: the pipe closed on a successful exec.
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

int RunAndWait(const std::vector<std::string>& command) {
  if (command.empty()) return -1;
  const std::string program = FindInPath(command[0]);
  if (program.empty()) return -1;
  std::vector<std::string> argv = command;
  std::vector<char*> pointers = ArgvPointers(argv);
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) ExecChild(program, pointers.data(), -1);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace keyloom::platform::linux_input
