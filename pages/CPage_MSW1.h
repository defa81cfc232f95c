// SPDX-License-Identifier: Apache-2.0
// Memory switch page MSW1: international character set (country combo), receive mode, DC1/DC3
// handling, automatic newline, print trigger codes and the CR function.
#pragma once

#include "CSwitchPage.h"

#include <QString>

namespace vellmark {

class CPage_MSW1 : public CSwitchPage {
    Q_OBJECT
public:
    CPage_MSW1();
    QString m_strCountry;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void DecodeExtra() override;
    void EncodeExtra() override;
};

} // namespace vellmark
