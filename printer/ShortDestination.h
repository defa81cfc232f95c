// SPDX-License-Identifier: Apache-2.0
// The destination (接続先) in the short form people read in the selection list and the status
// line, from the text the selection hands on and the queue's device URI.
#pragma once

#include <string>
#include <string_view>

namespace vellmark {

// The destination as it is shown:
// - "FILE:" for a queue that prints to a file (the destination the selection keys on);
// - "server/queue" for a queue that forwards to another print server (ipp or ipps to a
//   /printers/ or /classes/ path); the server keeps its port when it is not the IPP port 631;
// - "host:port" for a network device (socket, ipp, ipps, lpd, http, https), an IPv6 address in
//   brackets; the port is the scheme's default when the URI names none;
// - the service name of a DNS-SD device, percent-decoded, without its service type and domain;
// - the device path of a local port ("parallel:/dev/lp0" gives "/dev/lp0");
// - otherwise the device URI percent-decoded, without user name or password.
// Without a device URI, or with one that cannot be read, the destination itself. Nothing is cut
// here: the window elides what does not fit.
std::string ShortDestination(std::string_view destination, std::string_view deviceUri);

} // namespace vellmark
