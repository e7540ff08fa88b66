#include "delay_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

void noDelay(int fd)
{
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

DelayProxy::DelayProxy(int upstreamPort, std::chrono::microseconds delay) : upstreamPort_(upstreamPort), delay_(delay)
{
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listenFd_, 8) != 0)
        throw std::runtime_error("proxy: cannot listen on loopback");
    socklen_t len = sizeof a;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

DelayProxy::~DelayProxy()
{
    stop_ = true;
    acceptThread_.join();
    for (int fd : fds_)
        shutdown(fd, SHUT_RDWR);
    for (auto& t : threads_)
        t.join();
    for (int fd : fds_)
        close(fd);
    close(listenFd_);
}

void DelayProxy::acceptLoop()
{
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const int client = accept(listenFd_, nullptr, nullptr);
        if (client < 0)
            continue;
        const int server = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = loopback(upstreamPort_);
        if (connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close(client);
            close(server);
            continue;
        }
        noDelay(client);
        noDelay(server);
        fds_.push_back(client);
        fds_.push_back(server);
        threads_.emplace_back([this, client, server] { pump(client, server); });
        threads_.emplace_back([this, client, server] { pump(server, client); });
    }
}

// Reads as data arrives and writes each chunk once its delay has passed, so
// the link has latency but no lower throughput.
void DelayProxy::pump(int from, int to)
{
    using clock = std::chrono::steady_clock;
    struct Chunk {
        clock::time_point due;
        std::string data;
    };
    std::deque<Chunk> queue;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;

    std::thread writer([&] {
        for (;;) {
            std::unique_lock lock(m);
            cv.wait(lock, [&] { return done || !queue.empty(); });
            if (queue.empty())
                return;
            Chunk c = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(c.due);
            for (std::size_t off = 0; off < c.data.size();) {
                const ssize_t n = send(to, c.data.data() + off, c.data.size() - off, MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                off += std::size_t(n);
            }
        }
    });
    char buf[65536];
    for (;;) {
        const ssize_t n = recv(from, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        std::lock_guard lock(m);
        queue.push_back({clock::now() + delay_, std::string(buf, std::size_t(n))});
        cv.notify_one();
    }
    {
        std::lock_guard lock(m);
        done = true;
        cv.notify_one();
    }
    writer.join();
    shutdown(to, SHUT_WR);
}
