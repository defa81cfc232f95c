// SPDX-License-Identifier: Apache-2.0
#include "CPage_MSW1.h"

#include "CDataExchange.h"
#include "ResourceIds.h"
#include "TextConvert.h"

namespace vellmark {

using namespace res;

CPage_MSW1::CPage_MSW1() : CSwitchPage(1, {IDC_MSW1_COUNTRY}) {}

void CPage_MSW1::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(IDC_MSW1_COUNTRY, m_strCountry);
    dx.DDV_MaxChars(m_strCountry, 20);
    CSwitchPage::DoDataExchange(dx);
}

void CPage_MSW1::DecodeExtra() {
    m_strCountry = ToQString(CountryFromBits(m_SwitchBits));
}

void CPage_MSW1::EncodeExtra() {
    CountryToBits(ToStdString(m_strCountry), m_SwitchBits);
}

} // namespace vellmark
