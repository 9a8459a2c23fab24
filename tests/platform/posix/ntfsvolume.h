#pragma once

#include "testing/tempfolder.h"

#include <cstdlib>
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
        const std::string image = temp_.Path("ntfs.img");
        mounted_ = Run("truncate -s 16M '" + image + "'") &&
                   Run("mkntfs -F -q -f '" + image + "'") &&
                   Run("ntfs-3g '" + image + "' '" + mountPoint_ + "'");
    }

    ~NtfsVolume() {
        // A FUSE mount can be busy for a moment after the last file closed.
        for (int attempt = 0; mounted_ && attempt < 50; ++attempt, usleep(100'000))
            mounted_ = umount(mountPoint_.c_str()) != 0;
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
    // Runs a command quietly (mkntfs lives in /usr/sbin, which a plain user's
    // PATH may lack); on failure Why() names it.
    bool Run(const std::string& command) {
        const std::string quiet = "PATH=\"$PATH:/usr/sbin:/sbin\" " + command + " >/dev/null 2>&1";
        if (std::system(quiet.c_str()) == 0)
            return true;
        why_ = command + " failed (needs ntfs-3g, FUSE and root)";
        return false;
    }

    TempFolder temp_;
    std::string mountPoint_ = temp_.Folder("mnt");
    std::string why_;
    bool mounted_ = false;
};

} // namespace stampwell::testing
