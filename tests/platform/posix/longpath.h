#pragma once

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace stampwell::testing {

// A chain of folders with names of 255 bytes below root, made with mkdirat
// from the parent's handle, so deep that the whole path is longer than
// PATH_MAX. Removed with everything in it when the test ends (rm copes with
// any depth; std::filesystem does not).
class LongPath {
public:
    explicit LongPath(const std::string& root) : path_(root), top_(root + "/" + Name('d')) {
        deepest_ = open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        while (deepest_ >= 0 && path_.size() <= PATH_MAX + 300 &&
               mkdirat(deepest_, Name('d').c_str(), 0755) == 0) {
            const int next = openat(deepest_, Name('d').c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            close(deepest_);
            deepest_ = next;
            path_ += "/" + Name('d');
        }
    }

    ~LongPath() {
        close(deepest_);
        [[maybe_unused]] const int ignored = std::system(("rm -rf '" + top_ + "'").c_str());
    }

    LongPath(const LongPath&) = delete;
    LongPath& operator=(const LongPath&) = delete;

    // The deepest folder; longer than PATH_MAX when the chain could be made.
    const std::string& Folder() const { return path_; }

    // Makes a file in the deepest folder; returns its whole path.
    std::string MakeFile(const std::string& name) const {
        close(openat(deepest_, name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        return path_ + "/" + name;
    }

    // A name of 255 bytes.
    static std::string Name(char fill) { return std::string(255, fill); }

private:
    std::string path_;
    std::string top_;
    int deepest_ = -1;
};

} // namespace stampwell::testing
