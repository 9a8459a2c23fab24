#include "platform/folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace stampwell::platform {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return {};
}

// An XDG base folder: the variable when it holds an absolute path (a relative
// one is invalid and ignored, as the XDG rules say), else the default below
// the home folder.
std::string XdgFolder(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/')
        return WithoutTrailingSlashes(value);
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    return WithoutTrailingSlashes(home) + underHome;
}

} // namespace

std::string AppDataFolder() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string StateFolder() {
    return XdgFolder("XDG_STATE_HOME", "/.local/state");
}

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool IsAbsolutePath(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            const std::string program(buffer.data(), static_cast<std::size_t>(length));
            const std::size_t slash = program.rfind('/');
            if (slash == std::string::npos)
                return {};
            return slash == 0 ? std::string("/") : program.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace stampwell::platform
