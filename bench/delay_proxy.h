#pragma once
// A TCP proxy on loopback that holds every chunk for a fixed delay in each
// direction, to stand in for a server across a network.
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

class DelayProxy {
public:
    DelayProxy(int upstreamPort, std::chrono::microseconds delayEachWay);
    ~DelayProxy();
    int port() const { return port_; }

private:
    void acceptLoop();
    void pump(int from, int to);

    int upstreamPort_;
    std::chrono::microseconds delay_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::vector<int> fds_;
    std::vector<std::thread> threads_;
    std::thread acceptThread_;
};
