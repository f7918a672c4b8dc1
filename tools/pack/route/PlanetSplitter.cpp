#include "PlanetSplitter.h"

#include "SafeFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace PlanetSplitter {

const char* const program = "planetsplitter";
const char* const tagging = "/usr/share/routino/tagging.xml";

bool looksLikePbf(const std::string& path, std::string* why)
{
    const int fd = SafeFile::openRegular(path);
    if (fd < 0) {
        *why = path + ": cannot be opened (missing or not a regular file)";
        return false;
    }
    unsigned char head[16] = {};
    const ssize_t got = pread(fd, head, sizeof head, 0);
    close(fd);
    // A 4-byte big-endian header length, then field 1 (the type): "OSMHeader".
    const std::uint32_t length = std::uint32_t(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
    if (got != sizeof head || length == 0 || length > 64 * 1024 || head[4] != 0x0a || head[5] != 9 ||
        std::memcmp(head + 6, "OSMHeader", 9) != 0) {
        *why = path + ": not an OpenStreetMap PBF file";
        return false;
    }
    return true;
}

namespace {

// The child's output, line by line; the last lines kept for a failure.
struct Log {
    std::string partial;
    std::deque<std::string> last;
    void take(const char* bytes, std::size_t n, const std::function<void(const std::string&)>& status)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = bytes[i];
            if (c != '\n' && c != '\r') {
                if (partial.size() < 1000)
                    partial += c;
                continue;
            }
            if (partial.empty())
                continue;
            if (status)
                status(partial);
            last.push_back(partial);
            if (last.size() > 3)
                last.pop_front();
            partial.clear();
        }
    }
    std::string tail() const
    {
        std::string text;
        for (const std::string& line : last)
            text += (text.empty() ? "" : " / ") + line;
        return text;
    }
};

} // namespace

bool run(const std::string& pbf, const std::string& dir, const std::function<void(const std::string&)>& status,
         const std::function<bool()>& interrupted, std::string* why)
{
    if (!SafeFile::present(tagging)) {
        *why = std::string(tagging) + " is missing: install Debian's routino package";
        return false;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        *why = std::string("cannot start planetsplitter: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    const std::string dirArg = "--dir=" + dir, taggingArg = std::string("--tagging=") + tagging;
    std::vector<char*> argv = {const_cast<char*>(program), const_cast<char*>(dirArg.c_str()),
                               const_cast<char*>(taggingArg.c_str()), const_cast<char*>("--loggable"),
                               const_cast<char*>(pbf.c_str()), nullptr};
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        *why = spawned == ENOENT ? "planetsplitter was not found: install Debian's routino package"
                                 : std::string("cannot start planetsplitter: ") + std::strerror(spawned);
        return false;
    }
    Log log;
    bool stopped = false;
    for (;;) {
        if (!stopped && interrupted && interrupted()) {
            kill(child, SIGTERM);
            stopped = true;
        }
        pollfd p = {pipeFds[0], POLLIN, 0};
        if (poll(&p, 1, 200) < 0 && errno != EINTR)
            break;
        if (!(p.revents & (POLLIN | POLLHUP)))
            continue;
        char bytes[4096];
        const ssize_t got = read(pipeFds[0], bytes, sizeof bytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        log.take(bytes, static_cast<std::size_t>(got), status);
    }
    close(pipeFds[0]);
    int wstatus = 0;
    while (waitpid(child, &wstatus, 0) < 0 && errno == EINTR) {
    }
    if (stopped) {
        *why = "interrupted";
        return false;
    }
    if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) {
        *why = "planetsplitter failed on " + pbf + (log.tail().empty() ? std::string() : ": " + log.tail());
        return false;
    }
    return true;
}

} // namespace PlanetSplitter
