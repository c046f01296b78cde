#pragma once
// Loopback addresses for raw test peers (tests and network benchmarks).
#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>

inline sockaddr_in loopback(const char* ip, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, ip, &a.sin_addr);
    return a;
}
