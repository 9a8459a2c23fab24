#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace stampwell::testing {

// Runs body in a child process, so that a test may change what the process
// may do. Returns what the body returns (0 to 254), -1 when the child did not
// exit normally.
template <typename Body> int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Tests run as root, who may do anything; a step that must be refused runs
// in a child process as user and group nobody. Returns as InChild does, and
// 255 when privileges could not be dropped.
template <typename Body> int AsNobody(Body body) {
    constexpr uid_t kNobody = 65534;
    return InChild([&] {
        if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
            setresuid(kNobody, kNobody, kNobody) != 0)
            return 255;
        return body();
    });
}

} // namespace stampwell::testing
