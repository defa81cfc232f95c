#include "CPage_MSW1.h"

#include "CDataExchange.h"
#include "ResourceIds.h"
#include "TextConvert.h"

namespace vellmark {

using namespace res;

CPage_MSW1::CPage_MSW1()
    : CSwitchPage(IDD_PAGE_MSW1, 1,
                  {IDC_MSW1_COUNTRY, IDC_MSW1_4_FIRST, IDC_MSW1_4_SECOND, IDC_MSW1_5_FIRST,
                   IDC_MSW1_5_SECOND, IDC_MSW1_6_FIRST, IDC_MSW1_6_SECOND, IDC_MSW1_7_FIRST,
                   IDC_MSW1_7_SECOND, IDC_MSW1_8_FIRST, IDC_MSW1_8_SECOND},
                  {{IDC_MSW1_8_FIRST, 8, false},
                   {IDC_MSW1_6_FIRST, 6, false},
                   {IDC_MSW1_5_FIRST, 5, false},
                   {IDC_MSW1_7_FIRST, 7, false},
                   {IDC_MSW1_4_FIRST, 4, false}}) {}

void CPage_MSW1::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(IDC_MSW1_COUNTRY, m_strCountry);
    dx.DDV_MaxChars(m_strCountry, 20);
    CSwitchPage::DoDataExchange(dx);
}

void CPage_MSW1::DecodeExtra() {
    m_strCountry = ToQString(CountryFromBits(m_SwitchBits));
}

void CPage_MSW1::EncodeExtra() {
    const QByteArray text = m_strCountry.toUtf8();
    CountryToBits(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                  m_SwitchBits);
}

} // namespace vellmark
