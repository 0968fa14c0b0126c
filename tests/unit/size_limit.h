// Runs a piece of a test in a child process whose files may grow to at most a
// given size, as a quota or `ulimit -f` would allow: a write past it fails
// with EFBIG (SIGXFSZ is ignored). The limit stays with the child; the test
// itself goes on without it.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

namespace zvtest {

// What body returned in the child, or a text starting with "child:" when the
// child did not finish normally.
inline std::string with_file_size_limit(rlim_t limit, const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "child: no pipe";
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return "child: no fork";
  if (pid == 0) {
    ::close(fds[0]);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{limit, limit};
    (void)::setrlimit(RLIMIT_FSIZE, &lim);
    const std::string result = body();
    std::size_t done = 0;
    while (done < result.size()) {
      const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
      if (n <= 0) ::_exit(1);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string result;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) result.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "child: failed (" + std::to_string(status) + ")";
  return result;
}

}  // namespace zvtest
