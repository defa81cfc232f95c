#include "CPage_MSW1.h"

#include "CDataExchange.h"
#include "ResourceIds.h"
#include "TextConvert.h"

namespace vellmark {

CPage_MSW1::CPage_MSW1()
    : CSwitchPage(res::IDD_PAGE_MSW1, 1,
                  {1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017},
                  {{1014, 8, false},
                   {1008, 6, false},
                   {1007, 5, false},
                   {1011, 7, false},
                   {1016, 4, false}}) {}

void CPage_MSW1::DoDataExchange(CDataExchange& dx) {
    dx.DDX_CBString(1010, m_strCountry);
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
