#include "LoopbackServer.h"

#include "HttpClient.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

LoopbackServer::LoopbackServer(const std::string& root, const std::string& tiles)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        const std::string script = std::string(TESSEL_SOURCE_DIR) + "/tests/support/tile_server.py";
        execlp("python3", "python3", script.c_str(), root.c_str(), tiles.empty() ? nullptr : tiles.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    // The first line says the port; it comes once the server listens.
    FILE* in = fdopen(out[0], "r");
    char line[64] = {0};
    if (in && std::fgets(line, sizeof line, in))
        std::sscanf(line, "PORT %d", &port);
    if (in)
        std::fclose(in);
}

LoopbackServer::~LoopbackServer()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

std::string LoopbackServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

void LoopbackServer::counts(long long* requests, long long* bytes, std::string* agents) const
{
    HttpClient client(HttpClient::Settings{});
    HttpReply reply;
    client.get(url("/stats"), 0, 0, &reply);
    const std::string& s = reply.body;
    auto number = [&s](const char* key) {
        const std::size_t at = s.find(key);
        return at == std::string::npos ? -1ll : std::atoll(s.c_str() + at + std::string(key).size());
    };
    *requests = number("\"requests\": ");
    *bytes = number("\"bytes\": ");
    if (agents)
        *agents = s;
}
