#pragma once

#include <chrono>
#include <stop_token>
#include <string>
#include <string_view>

namespace sornel {

// How long a fetch waits for a server that does not answer. Connecting (the TCP and TLS
// handshakes together) gives up after `connect`; after that, a transfer ends once no byte at all
// has arrived for `silence`. A slow server that keeps sending is read to its end.
struct FetchTimeLimits {
    std::chrono::milliseconds connect{std::chrono::seconds(60)};
    std::chrono::milliseconds silence{std::chrono::seconds(120)};
};

// Downloads the body of one page: one HTTP/1.0 GET to an http or https address, redirects
// followed (to http and https only, at most 20), whatever the status. Nothing is cached and
// nothing but the process-wide client context outlives a call; every call makes its own
// connection. Failures are silent: no body is an empty result, and a read that breaks part-way
// or falls silent (see FetchTimeLimits) gives the bytes that arrived.
struct PageFetcher {
    // Blocks until the body is read or the request has failed. Never throws.
    static std::string fetch(std::string_view address);

    // The same, but returns an empty result promptly once `stop` is requested, whatever the
    // transfer is doing at that moment.
    static std::string fetch(std::string_view address, std::stop_token stop);

    // How many times the process-wide client context has been created: 0 before the first
    // fetch, 1 ever after.
    static int clientContextCreations();

    // Tests only: also trust the certificates in this PEM file, for servers the tests start
    // with certificates they made. Call before any fetch; the program never does.
    static void trustCaFileForTesting(std::string pemPath);

    // Tests only: shorter time limits, for the fetches that start from now on.
    static void setTimeLimitsForTesting(FetchTimeLimits limits);
    static FetchTimeLimits timeLimits();
};

} // namespace sornel
