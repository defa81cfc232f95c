// SPDX-License-Identifier: Apache-2.0
#include "PrefetchedPrintService.h"

#include <utility>

namespace vellmark {

PrefetchedPrintService::PrefetchedPrintService(Factory make)
    : m_worker([this, make = std::move(make)] {
          try {
              m_service = make();
              m_firstList = m_service->EnumPrinters();
          } catch (...) {
              m_failure = std::current_exception();
          }
      }) {}

PrefetchedPrintService::~PrefetchedPrintService() {
    if (m_worker.joinable())
        m_worker.join();
}

PrintService& PrefetchedPrintService::Service() const {
    if (m_worker.joinable())
        m_worker.join();
    if (m_failure)
        std::rethrow_exception(m_failure);
    return *m_service;
}

PrinterList PrefetchedPrintService::EnumPrinters() {
    PrintService& service = Service();
    if (m_firstList) {
        PrinterList list = std::move(*m_firstList);
        m_firstList.reset();
        return list;
    }
    return service.EnumPrinters();
}

} // namespace vellmark
