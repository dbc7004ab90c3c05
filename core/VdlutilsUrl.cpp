// CheckUrl: asks a web server for an address and looks only at the status
// line. The answer's body is not fetched: the transfer stops at its first
// byte, once the status is known.
#include "Vdlutils.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 10;
constexpr long kTransferTimeoutSeconds = 60;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::size_t StopAtBody(char*, std::size_t, std::size_t, void*) {
    return 0;
}

// Asks every cache on the way for a fresh answer.
curl_slist* NoCacheHeaders() {
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    if (curl_slist* longer = headers ? curl_slist_append(headers, "Pragma: no-cache") : nullptr)
        headers = longer;
    return headers;
}

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

// Proxies come from the usual environment variables (http_proxy and the
// like), which libcurl reads itself. Redirects are not followed: a 302 is
// an answer of its own.
bool CheckUrl(const std::string& url) {
    InitialiseCurlOnce();
    const std::unique_ptr<CURL, EasyDeleter> request(curl_easy_init());
    if (!request)
        return false;
    const std::unique_ptr<curl_slist, HeaderListDeleter> headers(NoCacheHeaders());
    CURL* handle = request.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "InetURL:/1.0");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, StopAtBody);
    const CURLcode outcome = curl_easy_perform(handle);
    if (outcome != CURLE_OK && outcome != CURLE_WRITE_ERROR)
        return false;
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return false;
    return status == 200 || status == 302;
}
