// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/PseudoTerminal.h"

#include <dirent.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace sim {

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

bool PseudoTerminal::Open(const std::string& linkPath, const std::string& stableLinkPath)
{
    Close();
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
    link_ = {linkPath, slavePath_};
    stableLink_ = {stableLinkPath, linkPath.empty() ? slavePath_ : linkPath};
    return (link_.Path.empty() || Make(link_)) && (stableLink_.Path.empty() || Make(stableLink_));
}

namespace {
std::string ReadLink(const std::string& path)
{
    std::vector<char> target(PATH_MAX + 1, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), PATH_MAX);
    return length > 0 ? std::string(target.data(), static_cast<std::size_t>(length)) : std::string();
}

bool HoldsMasterOf(const std::string& pid, const std::string& fd, const std::string& ttyIndex)
{
    const std::string target = ReadLink("/proc/" + pid + "/fd/" + fd);
    if (target != "/dev/ptmx" && target != "/dev/pts/ptmx")
        return false;
    // The master's descriptor tells which terminal it opened.
    std::ifstream info("/proc/" + pid + "/fdinfo/" + fd);
    std::string line;
    while (std::getline(info, line)) {
        if (line.compare(0, 10, "tty-index:") == 0) {
            const std::size_t start = line.find_first_not_of(" \t", 10);
            return start != std::string::npos && line.substr(start) == ttyIndex;
        }
    }
    return false;
}
}

int SimulatorServing(const std::string& terminalPath)
{
    const std::string prefix = "/dev/pts/";
    if (terminalPath.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string ttyIndex = terminalPath.substr(prefix.size());
    const std::string self = std::to_string(getpid());
    int found = -1;
    DIR* processes = opendir("/proc");
    while (processes != nullptr && found < 0) {
        const dirent* process = readdir(processes);
        if (process == nullptr)
            break;
        const std::string pid = process->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        std::string name;
        std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
        // Another program's terminal may have been given the number since.
        if (name != "tarvio-sim")
            continue;
        DIR* fds = opendir(("/proc/" + pid + "/fd").c_str());
        while (fds != nullptr && found < 0) {
            const dirent* fd = readdir(fds);
            if (fd == nullptr)
                break;
            if (HoldsMasterOf(pid, fd->d_name, ttyIndex))
                found = std::stoi(pid);
        }
        if (fds != nullptr)
            closedir(fds);
    }
    if (processes != nullptr)
        closedir(processes);
    return found;
}

bool PseudoTerminal::Make(Link& link)
{
    const std::string& path = link.Path;
    struct stat info{};
    if (lstat(path.c_str(), &info) == 0) {
        // A stale link from an earlier run is ours to replace; a real file, or
        // a link another simulator still serves, is not.
        if (!S_ISLNK(info.st_mode)) {
            std::fprintf(stderr, "tarvio-sim: %s exists and is not a symbolic link\n", path.c_str());
            return false;
        }
        // A stable link reaches the terminal through another link.
        char* resolved = realpath(path.c_str(), nullptr);
        const std::string target = resolved != nullptr ? resolved : ReadLink(path);
        std::free(resolved);
        if (const int pid = SimulatorServing(target); pid >= 0) {
            std::fprintf(stderr, "tarvio-sim: %s points to %s, which tarvio-sim process %d still serves\n",
                         path.c_str(), target.c_str(), pid);
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            Complain("cannot replace link " + path);
            return false;
        }
    }
    if (symlink(link.Target.c_str(), path.c_str()) != 0) {
        Complain("cannot make link " + path);
        return false;
    }
    link.Made = true;
    return true;
}

void PseudoTerminal::Remove(Link& link)
{
    if (!link.Made)
        return;
    link.Made = false;
    // Another simulator may have taken the name over meanwhile; leave its link be.
    if (ReadLink(link.Path) == link.Target)
        unlink(link.Path.c_str());
}

void PseudoTerminal::Close()
{
    Remove(stableLink_);
    Remove(link_);
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

} // namespace sim
