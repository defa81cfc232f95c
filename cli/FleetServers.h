// SPDX-License-Identifier: Apache-2.0
// The print servers of a command and the queues of the model each of them lists.
#pragma once

#include "CupsPrintService.h"
#include "SelectionRules.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellmark::cli {

// Why a server gives no printer when it lists no queue of the model.
std::string NoUsableQueue();

// A queue of the model on a server, and why it cannot take the job (empty: it can).
struct QueueOfModel {
    PrinterRow row;
    std::string refusal;
};

// One print server of a command: what was asked of it and what it said.
struct Server {
    std::string name;                         // as given, or the scheduler libcups would use
    std::vector<std::string> named;           // the queues named for it (empty with --all)
    std::vector<QueueOfModel> queues;         // every queue of the model, in list order
    std::map<std::string, std::string> uuids; // queue name -> printer-uuid
    std::string peer;                         // the machine it runs on
    std::string listFailure;

    // The queue of the model named `queue`: exactly, else as the spooler matches names.
    const QueueOfModel* Find(const std::string& queue) const {
        for (const auto& same :
             {+[](std::string_view a, std::string_view b) { return a == b; },
              +[](std::string_view a, std::string_view b) { return SameQueueName(a, b); }})
            for (const QueueOfModel& q : queues)
                if (same(q.row.name, queue))
                    return &q;
        return nullptr;
    }
    bool AnyUsable() const {
        return std::any_of(queues.begin(), queues.end(),
                           [](const QueueOfModel& q) { return q.refusal.empty(); });
    }
};

// The servers of a command, each asked once: "--server" values and servers named in
// "--printer SERVER/QUEUE", in the order given; none given means the default scheduler.
class ServerList {
public:
    // False when `name` is not a server address.
    bool Add(const std::string& name) { return Find(name) != nullptr || Insert(name); }
    Server* Find(const std::string& name) {
        const auto address = ParseServerAddress(name);
        for (std::size_t i = 0; i < m_servers.size(); ++i)
            if (address && m_addresses[i] == *address)
                return m_servers[i].get();
        return nullptr;
    }
    // Every server; the default scheduler when none was named.
    std::vector<std::unique_ptr<Server>>& All() {
        if (m_servers.empty()) {
            m_servers.push_back(std::make_unique<Server>());
            m_servers.back()->name = CupsPrintService().ServerName();
        }
        return m_servers;
    }
    std::size_t Size() const { return m_servers.size(); }
    // Drops the servers `unneeded` picks: nothing is asked of them.
    void DropIf(const std::function<bool(const Server&)>& unneeded) {
        for (std::size_t i = m_servers.size(); i-- > 0;)
            if (unneeded(*m_servers[i])) {
                m_servers.erase(m_servers.begin() + static_cast<std::ptrdiff_t>(i));
                m_addresses.erase(m_addresses.begin() + static_cast<std::ptrdiff_t>(i));
            }
    }

private:
    bool Insert(const std::string& name) {
        const auto address = ParseServerAddress(name);
        if (!address)
            return false;
        m_servers.push_back(std::make_unique<Server>());
        m_servers.back()->name = name;
        m_addresses.push_back(*address);
        return true;
    }
    std::vector<std::unique_ptr<Server>> m_servers;
    std::vector<ServerAddress> m_addresses;
};

// Runs `work` for every index below `count`, all at once, and returns when all are done: each
// step is bounded by the time limit, so the whole costs one bound whatever the count.
void RunAtOnce(std::size_t count, const std::function<void(std::size_t)>& work);

// The queue list of every server, all asked at once, each within the time bound; with several
// servers, a progress line on standard error every so often while they are still answering.
void Discover(std::vector<std::unique_ptr<Server>>& servers, std::chrono::milliseconds timeout);

} // namespace vellmark::cli
