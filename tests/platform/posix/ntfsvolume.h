#pragma once

#include "testing/tempfolder.h"

#include <cstdio>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace stampwell::testing {

// A small NTFS volume: an image file made with mkntfs and mounted with
// ntfs-3g on a temporary mount point, unmounted again whatever the test did.
// When any step is impossible here, Why() says which and why.
class NtfsVolume {
public:
    NtfsVolume() {
        image_ = temp_.Path("ntfs.img");
        mountPoint_ = temp_.Folder("mnt");
        if (!Run("truncate -s 16M '" + image_ + "'", "cannot make the image file") ||
            !Run("mkntfs -F -q -f '" + image_ + "'", "mkntfs (package ntfs-3g) failed") ||
            !Run("ntfs-3g '" + image_ + "' '" + mountPoint_ + "'",
                 "ntfs-3g could not mount the image (needs FUSE and root)"))
            return;
        mounted_ = true;
    }

    ~NtfsVolume() {
        // A FUSE mount can be busy for a moment after the last file closed.
        for (int attempt = 0; mounted_ && attempt < 50; ++attempt) {
            if (umount(mountPoint_.c_str()) == 0)
                mounted_ = false;
            else
                usleep(100'000);
        }
        if (mounted_)
            umount2(mountPoint_.c_str(), MNT_DETACH);
    }

    NtfsVolume(const NtfsVolume&) = delete;
    NtfsVolume& operator=(const NtfsVolume&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }

    // A path on the volume.
    std::string Path(const std::string& relative) const { return mountPoint_ + "/" + relative; }

private:
    bool Run(const std::string& command, const char* what) {
        // mkntfs lives in /usr/sbin, which a plain user's PATH may lack.
        const std::string line = "PATH=\"$PATH:/usr/sbin:/sbin\" " + command + " 2>&1";
        std::string output;
        FILE* pipe = popen(line.c_str(), "r");
        if (pipe == nullptr) {
            why_ = std::string(what) + ": cannot start a shell";
            return false;
        }
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        if (pclose(pipe) == 0)
            return true;
        why_ = std::string(what) + ": " + command + "\n" + output;
        return false;
    }

    TempFolder temp_;
    std::string image_;
    std::string mountPoint_;
    std::string why_;
    bool mounted_ = false;
};

} // namespace stampwell::testing
