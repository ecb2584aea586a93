#include "simulator/PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

void Complain(const std::string& what)
{
    std::fprintf(stderr, "tarvio-sim: %s: %s\n", what.c_str(), std::strerror(errno));
}

bool SetFlags(int fd, int statusFlags)
{
    return fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | statusFlags) == 0
        && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

double MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool PseudoTerminal::Open(const std::string& linkPath)
{
    Close();
    linkPath_ = linkPath;
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        Complain("cannot open a pseudo-terminal");
        return false;
    }
    // Raw, so that a CR reaches us as CR and nothing is echoed back to the
    // console before it configures the line itself.
    termios mode{};
    if (tcgetattr(slave_, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(slave_, TCSANOW, &mode);
    }
    if (!SetFlags(master_, O_NONBLOCK) || !SetFlags(slave_, 0)) {
        Complain("cannot configure the pseudo-terminal");
        return false;
    }
    slavePath_ = ptsname(master_);
    return linkPath_.empty() || MakeLink();
}

bool PseudoTerminal::MakeLink()
{
    const std::string& path = linkPath_;
    struct stat info{};
    if (lstat(path.c_str(), &info) == 0) {
        // A stale link from an earlier run is ours to replace; a real file is not.
        if (!S_ISLNK(info.st_mode)) {
            std::fprintf(stderr, "tarvio-sim: %s exists and is not a symbolic link\n", path.c_str());
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            Complain("cannot replace link " + path);
            return false;
        }
    }
    if (symlink(slavePath_.c_str(), path.c_str()) != 0) {
        Complain("cannot make link " + path);
        return false;
    }
    linkMade_ = true;
    return true;
}

void PseudoTerminal::RemoveLink()
{
    if (!linkMade_)
        return;
    linkMade_ = false;
    // Another simulator may have taken the name over meanwhile; leave its link be.
    std::vector<char> target(PATH_MAX + 1, '\0');
    const ssize_t length = readlink(linkPath_.c_str(), target.data(), PATH_MAX);
    if (length > 0 && std::string(target.data(), static_cast<std::size_t>(length)) == slavePath_)
        unlink(linkPath_.c_str());
}

void PseudoTerminal::Close()
{
    RemoveLink();
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}
