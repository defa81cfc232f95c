// SPDX-License-Identifier: Apache-2.0
// A print service that is made, and asked for its queue list, on a worker thread from the moment
// it is constructed, so that the list is ready (or nearly) when the program first needs it: the
// program's start-up builds its window meanwhile, and nobody can act before that window exists.
//
// The first EnumPrinters answers with that list, read once; every later one asks the spooler
// afresh, as the selection does before each choice. Every other call waits for the worker and
// then goes to the service it made, on the caller's thread. Only one thread uses the object.
#pragma once

#include "PrintService.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace vellmark {

class PrefetchedPrintService : public PrintService {
public:
    using Factory = std::function<std::unique_ptr<PrintService>()>;

    // Starts the worker: it makes the service with `make` and reads its queue list.
    explicit PrefetchedPrintService(Factory make);
    // Waits for the worker when it still runs (at most the service's own time budget).
    ~PrefetchedPrintService() override;
    PrefetchedPrintService(const PrefetchedPrintService&) = delete;
    PrefetchedPrintService& operator=(const PrefetchedPrintService&) = delete;

    // The service the worker made, once it has finished.
    PrintService& Service() const;

    PlatformPath Platform() const override { return Service().Platform(); }
    PrinterList EnumPrinters() override;
    std::string ServerName() const override { return Service().ServerName(); }
    UseCheck OpenForUse(const std::string& name) override { return Service().OpenForUse(name); }
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override {
        return Service().ReadStatus(name);
    }
    StartedJob StartJob(const std::string& name, const std::string& documentName) override {
        return Service().StartJob(name, documentName);
    }

private:
    // Written by the worker only; read after it was joined.
    std::unique_ptr<PrintService> m_service;
    std::optional<PrinterList> m_firstList;
    std::exception_ptr m_failure;
    mutable std::thread m_worker;
};

} // namespace vellmark
