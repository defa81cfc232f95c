// SPDX-License-Identifier: Apache-2.0
#include "ShortDestination.h"

#include "SelectionRules.h"

#include <array>
#include <cups/http.h>

namespace vellmark {
namespace {

constexpr int kIppPort = 631;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool OneOf(std::string_view scheme, std::initializer_list<std::string_view> schemes) {
    for (std::string_view s : schemes)
        if (scheme == s)
            return true;
    return false;
}

// A host as written in a URI: an IPv6 address goes in brackets.
std::string UriHost(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

// The resource without its query.
std::string_view PathOf(std::string_view resource) {
    return resource.substr(0, resource.find('?'));
}

// The service instance of a DNS-SD name: "Name._ipp._tcp.local." gives "Name".
std::string ServiceInstance(const std::string& name) {
    std::size_t type = std::string::npos;
    for (const char* protocol : {"._tcp.", "._udp."}) {
        const std::size_t at = name.find(protocol);
        if (at != std::string::npos && at > 0)
            type = std::min(type, name.rfind("._", at - 1));
    }
    if (type == std::string::npos || type == 0)
        return name;
    return name.substr(0, type);
}

} // namespace

std::string ShortDestination(std::string_view destination, std::string_view deviceUri) {
    if (IsFileDestination(destination))
        return std::string(destination);
    if (deviceUri.empty())
        return std::string(destination);

    // The URI's parts, percent-decoded.
    std::array<char, 32> scheme{};
    std::array<char, 256> user{}, host{};
    std::array<char, 1024> resource{};
    int port = 0;
    const std::string uri(deviceUri);
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme.data(), scheme.size(), user.data(),
                        user.size(), host.data(), host.size(), &port, resource.data(),
                        resource.size()) < HTTP_URI_STATUS_OK)
        return std::string(destination);
    const std::string_view s = scheme.data();
    const std::string h = host.data();
    const std::string_view r = resource.data();
    const std::string hostPort = UriHost(h) + ":" + std::to_string(port);

    if (!h.empty() && OneOf(s, {"ipp", "ipps"})) {
        for (std::string_view folder : {"/printers/", "/classes/"}) {
            if (!StartsWith(r, folder))
                continue;
            std::string_view queue = PathOf(r.substr(folder.size()));
            queue = queue.substr(0, queue.find('/'));
            if (!queue.empty())
                return (port == kIppPort ? UriHost(h) : hostPort) + "/" + std::string(queue);
        }
    }
    if (!h.empty() && OneOf(s, {"socket", "ipp", "ipps", "ipp14", "lpd", "http", "https"}))
        return hostPort;
    if (!h.empty() && OneOf(s, {"dnssd", "mdns"}))
        return ServiceInstance(h);
    if (h.empty() && StartsWith(r, "/dev/"))
        return std::string(PathOf(r));
    std::string shown = std::string(s) + ":";
    if (!h.empty()) {
        // Appended piece by piece: gcc 12 at -O3 warns falsely (-Wrestrict) on a literal
        // concatenated in front of a temporary string.
        shown += "//";
        shown += UriHost(h);
        if (port > 0) {
            shown += ':';
            shown += std::to_string(port);
        }
    }
    shown += r;
    return shown;
}

} // namespace vellmark
