#include "monitor/page_fetcher.h"

#include "monitor/platform.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <optional>

namespace sornel {

namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 20;

// Limits on the parts of an address; an address over any of them is not fetched.
constexpr std::size_t kMaxHost = 255;
constexpr std::size_t kMaxPathQueryFragment = 2047;
constexpr std::size_t kMaxUserOrPassword = 127;

// The first piece of a body is sized from Content-Length, within these bounds.
constexpr std::size_t kMaxFirstPiece = 102400;
constexpr std::size_t kPieceWithoutLength = 10240;
// libcurl reads the socket in pieces of this size: fewer, larger reads for big bodies.
constexpr long kReadBuffer = 256 * 1024;
// From this size on a body's buffer asks for huge pages.
constexpr std::size_t kLargeBody = 8u << 20;

// ---- The client context: libcurl's global state and what the fetches share. ----

class ClientContext {
public:
    ClientContext()
    {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            return;
        }
        share_ = curl_share_init();
        if (share_ != nullptr) {
            curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &ClientContext::lock);
            curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &ClientContext::unlock);
            curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
            // Name look-ups and TLS sessions may be reused; connections and cookies never are.
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        }
        ready_ = true;
    }
    // Lives until the process ends: a worker may still be winding down at exit.
    ClientContext(const ClientContext&) = delete;
    ClientContext& operator=(const ClientContext&) = delete;

    bool ready() const { return ready_; }
    CURLSH* share() const { return share_; }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self)
    {
        static_cast<ClientContext*>(self)->mutexFor(data).lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self)
    {
        static_cast<ClientContext*>(self)->mutexFor(data).unlock();
    }
    std::mutex& mutexFor(curl_lock_data data)
    {
        return mutexes_[static_cast<std::size_t>(data) % mutexes_.size()];
    }

    bool ready_ = false;
    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
};

// The time limits of the fetches, in milliseconds; only tests change them.
std::atomic<std::int64_t> connectLimitMs{FetchTimeLimits().connect.count()};
std::atomic<std::int64_t> silenceLimitMs{FetchTimeLimits().silence.count()};

std::once_flag contextOnce;
ClientContext* context = nullptr;
std::atomic<int> contextCreations{0};
std::string testCaFile;

const ClientContext* clientContext()
{
    std::call_once(contextOnce, [] {
        context = new ClientContext(); // never deleted: see ClientContext
        contextCreations.fetch_add(1);
    });
    return context->ready() ? context : nullptr;
}

// ---- The address. ----

struct UrlCloser {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlPtr = std::unique_ptr<CURLU, UrlCloser>;

std::optional<std::string> urlPart(CURLU* url, CURLUPart part)
{
    char* text = nullptr;
    if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) {
        return std::nullopt;
    }
    std::string value(text);
    curl_free(text);
    return value;
}

// Writes the bytes that cannot stand raw in a request line (a space, anything outside ASCII)
// as percent-escapes of those same bytes, so the server receives the address's own bytes.
std::string escapeRawBytes(std::string_view url)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte >= 0x80) {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The address in the form that is requested, or nothing when it must not be fetched: no
// scheme, a scheme other than http or https, a part over its limit, or no valid address at
// all. "." and ".." segments are resolved; escapes the address holds stay as they are.
std::optional<std::string> requestAddress(std::string_view address)
{
    const UrlPtr url(curl_url());
    if (!url) {
        return std::nullopt;
    }
    const std::string text(address);
    if (curl_url_set(url.get(), CURLUPART_URL, text.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK) {
        return std::nullopt;
    }
    const auto scheme = urlPart(url.get(), CURLUPART_SCHEME);
    if (!scheme || (*scheme != "http" && *scheme != "https")) {
        return std::nullopt;
    }
    const auto length = [&](CURLUPart part) {
        const auto value = urlPart(url.get(), part);
        return value ? value->size() : 0;
    };
    const auto separated = [&](CURLUPart part) {
        const auto value = urlPart(url.get(), part);
        return value ? value->size() + 1 : 0; // with its "?" or "#"
    };
    if (length(CURLUPART_HOST) > kMaxHost ||
        length(CURLUPART_PATH) + separated(CURLUPART_QUERY) + separated(CURLUPART_FRAGMENT) >
            kMaxPathQueryFragment ||
        length(CURLUPART_USER) > kMaxUserOrPassword ||
        length(CURLUPART_PASSWORD) > kMaxUserOrPassword) {
        return std::nullopt;
    }
    // The fragment is never sent.
    curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0);
    const auto canonical = urlPart(url.get(), CURLUPART_URL);
    if (!canonical) {
        return std::nullopt;
    }
    return escapeRawBytes(*canonical);
}

// ---- One transfer. ----

struct EasyCloser {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCloser {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

class Transfer {
public:
    using Clock = std::chrono::steady_clock;

    Transfer(std::stop_token stop, FetchTimeLimits limits) : stop_(std::move(stop)), limits_(limits)
    {
    }

    // The body of the last response; empty on failure, the part that arrived when a read
    // broke off, and empty when stopped.
    std::string run(const ClientContext& client, const std::string& url)
    {
        const std::unique_ptr<CURL, EasyCloser> easy(curl_easy_init());
        const std::unique_ptr<CURLM, MultiCloser> multi(curl_multi_init());
        if (!easy || !multi || !configure(easy.get(), client, url)) {
            return {};
        }
        easy_ = easy.get();
        curl_multi_add_handle(multi.get(), easy.get());
        CURLcode result = CURLE_OK;
        {
            // A stop wakes the poll below at once, from whatever thread requests it.
            const std::stop_callback wake(stop_, [&multi] { curl_multi_wakeup(multi.get()); });
            result = drive(multi.get());
        }
        curl_multi_remove_handle(multi.get(), easy.get());
        if (stop_.stop_requested()) {
            return {};
        }
        // A redirect that was refused (one too many, or to a scheme other than http and https)
        // gives no body, even if the refused answer carried one. Any other failure keeps what
        // arrived: nothing when the connection or the certificate failed or no answer came, the
        // part that came when a read broke off or fell silent.
        if (result == CURLE_TOO_MANY_REDIRECTS || result == CURLE_UNSUPPORTED_PROTOCOL) {
            return {};
        }
        return std::move(body_);
    }

private:
    bool configure(CURL* easy, const ClientContext& client, const std::string& url)
    {
        bool ok = true;
        const auto set = [&](CURLoption option, auto value) {
            ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
        };
        set(CURLOPT_URL, url.c_str());
        set(CURLOPT_NOSIGNAL, 1L);
        // A stopped fetch must not wait for a name look-up still running in curl's resolver
        // thread; that thread finishes on its own.
        set(CURLOPT_QUICK_EXIT, 1L);
        set(CURLOPT_PROTOCOLS_STR, "http,https");
        set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        set(CURLOPT_FOLLOWLOCATION, 1L);
        // Each request of a redirect chain on a connection of its own, as HTTP/1.0 has it: a
        // connection kept from the answer before may be closed by the server just as the next
        // request goes out, and that request then fails.
        set(CURLOPT_FORBID_REUSE, 1L);
        set(CURLOPT_MAXREDIRS, kMaxRedirects);
        set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        set(CURLOPT_USERAGENT, kUserAgent);
        // libcurl sends "Accept: */*" itself and no referrer, body or other header line.
        set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
        set(CURLOPT_PROXY, "");      // no proxy, not even one from the environment
        set(CURLOPT_COOKIEFILE, ""); // cookies live for this fetch's redirects only
        set(CURLOPT_SSL_VERIFYPEER, 1L);
        set(CURLOPT_SSL_VERIFYHOST, 2L);
        // No application protocol is offered in the TLS handshake: the only one this request
        // could name is "http/1.0", which servers that enforce ALPN refuse outright.
        set(CURLOPT_SSL_ENABLE_ALPN, 0L);
        // Connecting, with the TLS handshake, has a limit of its own; silence after it is
        // watched in drive(). Keep-alive probes find a connection that died quietly.
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connect.count()));
        set(CURLOPT_TCP_KEEPALIVE, 1L);
        set(CURLOPT_TCP_KEEPIDLE, 60L);
        set(CURLOPT_TCP_KEEPINTVL, 60L);
        set(CURLOPT_PREREQFUNCTION, &Transfer::onConnected);
        set(CURLOPT_PREREQDATA, this);
        if (!testCaFile.empty()) {
            set(CURLOPT_CAINFO, testCaFile.c_str());
        }
        if (client.share() != nullptr) {
            set(CURLOPT_SHARE, client.share());
        }
        set(CURLOPT_BUFFERSIZE, kReadBuffer);
        set(CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
        set(CURLOPT_HEADERDATA, this);
        set(CURLOPT_WRITEFUNCTION, &Transfer::onBody);
        set(CURLOPT_WRITEDATA, this);
        return ok;
    }

    CURLcode drive(CURLM* multi)
    {
        using std::chrono::milliseconds;
        int running = 1;
        while (!stop_.stop_requested()) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
            if (running == 0) {
                break;
            }
            milliseconds wait(1000);
            if (connected_) {
                // Once connected, the transfer ends when nothing at all has arrived for the
                // silence limit.
                const auto quiet =
                    std::chrono::duration_cast<milliseconds>(Clock::now() - lastArrival_);
                if (quiet >= limits_.silence) {
                    return CURLE_OPERATION_TIMEDOUT;
                }
                wait = std::min(wait, limits_.silence - quiet + milliseconds(1));
            }
            if (curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()), nullptr) !=
                CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
        }
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                return message->data.result;
            }
        }
        return CURLE_ABORTED_BY_CALLBACK;
    }

    // A connection is ready (after its TLS handshake) and the request is about to be sent: from
    // here on silence counts.
    static int onConnected(void* self, char*, char*, int, int)
    {
        auto* transfer = static_cast<Transfer*>(self);
        transfer->connected_ = true;
        transfer->lastArrival_ = Clock::now();
        return CURL_PREREQFUNC_OK;
    }

    // A status line starts a new response: only the last response's body is the result.
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self)
    {
        auto* transfer = static_cast<Transfer*>(self);
        transfer->lastArrival_ = Clock::now();
        const std::string_view line(data, size * count);
        if (line.starts_with("HTTP/")) {
            transfer->body_.clear();
            transfer->contentLength_.reset();
            transfer->lengthKnown_ = false;
        }
        return size * count;
    }

    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self)
    {
        auto* transfer = static_cast<Transfer*>(self);
        if (transfer->stop_.stop_requested()) {
            return 0; // ends the transfer
        }
        transfer->lastArrival_ = Clock::now();
        const std::size_t length = size * count;
        transfer->makeRoom(length);
        transfer->body_.append(data, length);
        return length;
    }

    // Grows the body so that `length` more bytes fit. The announced Content-Length is trusted
    // only as far as the bytes that actually arrived make it credible: the body jumps to that
    // size once it is at most 64 times what came, so a made-up length never causes a large
    // allocation up front, and a real one costs one last growth from a small buffer.
    void makeRoom(std::size_t length)
    {
        if (!lengthKnown_) {
            lengthKnown_ = true;
            curl_off_t announced = -1;
            if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
                    CURLE_OK &&
                announced > 0) {
                contentLength_ = static_cast<std::size_t>(announced);
            }
            const std::size_t first = contentLength_ ? std::min(*contentLength_ + 1, kMaxFirstPiece)
                                                     : kPieceWithoutLength;
            body_.reserve(std::max(first, body_.size() + length));
        }
        const std::size_t needed = body_.size() + length;
        if (needed <= body_.capacity()) {
            return;
        }
        std::size_t next = std::max(needed, 2 * body_.capacity());
        if (contentLength_ && needed <= *contentLength_ && *contentLength_ / 64 <= needed) {
            next = *contentLength_;
        }
        if (next < kLargeBody) {
            body_.reserve(next);
            return;
        }
        // A large buffer gets its hint before anything is copied into it.
        std::string grown;
        grown.reserve(next);
        platform::preferHugePages(grown.data(), grown.capacity());
        grown.append(body_);
        body_.swap(grown);
    }

    std::stop_token stop_;
    FetchTimeLimits limits_;
    bool connected_ = false;
    Clock::time_point lastArrival_;
    CURL* easy_ = nullptr;
    std::string body_;
    std::optional<std::size_t> contentLength_;
    bool lengthKnown_ = false;
};

} // namespace

std::string PageFetcher::fetch(std::string_view address)
{
    return fetch(address, std::stop_token());
}

std::string PageFetcher::fetch(std::string_view address, std::stop_token stop)
{
    try {
        if (address.empty()) {
            return {};
        }
        const std::optional<std::string> url = requestAddress(address);
        if (!url) {
            return {};
        }
        const ClientContext* client = clientContext();
        if (client == nullptr) {
            return {};
        }
        Transfer transfer(std::move(stop), timeLimits());
        return transfer.run(*client, *url);
    } catch (...) {
        // Out of memory for a huge body, say: the caller sees no page.
        return {};
    }
}

int PageFetcher::clientContextCreations()
{
    return contextCreations.load();
}

void PageFetcher::trustCaFileForTesting(std::string pemPath)
{
    testCaFile = std::move(pemPath);
}

void PageFetcher::setTimeLimitsForTesting(FetchTimeLimits limits)
{
    connectLimitMs.store(limits.connect.count());
    silenceLimitMs.store(limits.silence.count());
}

FetchTimeLimits PageFetcher::timeLimits()
{
    return {std::chrono::milliseconds(connectLimitMs.load()),
            std::chrono::milliseconds(silenceLimitMs.load())};
}

} // namespace sornel
