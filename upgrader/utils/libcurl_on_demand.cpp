// libcurl's functions that the upgrader calls, defined here so that the
// program does not link libcurl: each loads libcurl on its first call (see
// on_demand_library.h) and hands over to libcurl's own function. Without
// libcurl every call fails as libcurl fails on a handle it cannot use.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <cstdarg>

#include "upgrader/utils/on_demand_library.h"

namespace {

void* Libcurl() {
    static void* const library = upgrader::LoadOnDemand("libcurl.so.4");
    return library;
}

}  // namespace

// libcurl's function `name`, resolved once.
#define LIBCURL(name) UPGRADER_ON_DEMAND(Libcurl(), name)

// Returns what libcurl's `name` returns for the arguments, or `fallback`.
#define FORWARD(name, fallback, ...)      \
    if (auto* const real = LIBCURL(name)) \
        return real(__VA_ARGS__);         \
    return fallback

namespace {

// libcurl reads an option's argument by the option's type: a long, an object
// or function pointer, or a curl_off_t.
CURLcode SetOption(CURL* handle, CURLoption option, va_list arguments) {
    auto* const real = LIBCURL(curl_easy_setopt);
    if (!real)
        return CURLE_FAILED_INIT;
    if (option < CURLOPTTYPE_OBJECTPOINT)
        return real(handle, option, va_arg(arguments, long));
    if (option >= CURLOPTTYPE_FUNCTIONPOINT && option < CURLOPTTYPE_OFF_T)
        return real(handle, option, va_arg(arguments, void (*)()));
    if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB)
        return real(handle, option, va_arg(arguments, curl_off_t));
    return real(handle, option, va_arg(arguments, void*));
}

}  // namespace

extern "C" {

CURL* curl_easy_init() {
    FORWARD(curl_easy_init, nullptr);
}

void curl_easy_cleanup(CURL* handle) {
    if (auto* const real = LIBCURL(curl_easy_cleanup))
        real(handle);
}

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    va_list arguments;
    va_start(arguments, option);
    const CURLcode result = SetOption(handle, option, arguments);
    va_end(arguments);
    return result;
}

// Every piece of information is written through a pointer.
CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
    va_list arguments;
    va_start(arguments, info);
    void* const target = va_arg(arguments, void*);
    va_end(arguments);
    FORWARD(curl_easy_getinfo, CURLE_FAILED_INIT, handle, info, target);
}

CURLcode curl_easy_pause(CURL* handle, int bitmask) {
    FORWARD(curl_easy_pause, CURLE_FAILED_INIT, handle, bitmask);
}

CURLM* curl_multi_init() {
    FORWARD(curl_multi_init, nullptr);
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
    FORWARD(curl_multi_cleanup, CURLM_BAD_HANDLE, multi);
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* handle) {
    FORWARD(curl_multi_add_handle, CURLM_BAD_HANDLE, multi, handle);
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* handle) {
    FORWARD(curl_multi_remove_handle, CURLM_BAD_HANDLE, multi, handle);
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
    FORWARD(curl_multi_perform, CURLM_BAD_HANDLE, multi, running);
}

CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd* extra, unsigned count, int timeoutMs,
                          int* ready) {
    FORWARD(curl_multi_poll, CURLM_BAD_HANDLE, multi, extra, count, timeoutMs, ready);
}

CURLMcode curl_multi_wakeup(CURLM* multi) {
    FORWARD(curl_multi_wakeup, CURLM_BAD_HANDLE, multi);
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* queued) {
    FORWARD(curl_multi_info_read, nullptr, multi, queued);
}

CURLU* curl_url() {
    FORWARD(curl_url, nullptr);
}

void curl_url_cleanup(CURLU* url) {
    if (auto* const real = LIBCURL(curl_url_cleanup))
        real(url);
}

CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* content, unsigned flags) {
    FORWARD(curl_url_set, CURLUE_BAD_HANDLE, url, part, content, flags);
}

CURLUcode curl_url_get(CURLU* url, CURLUPart part, char** content, unsigned flags) {
    FORWARD(curl_url_get, CURLUE_BAD_HANDLE, url, part, content, flags);
}

void curl_free(void* memory) {
    if (auto* const real = LIBCURL(curl_free))
        real(memory);
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
    FORWARD(curl_slist_append, nullptr, list, text);
}

void curl_slist_free_all(curl_slist* list) {
    if (auto* const real = LIBCURL(curl_slist_free_all))
        real(list);
}

}  // extern "C"
