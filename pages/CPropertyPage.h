// SPDX-License-Identifier: Apache-2.0
// A settings page: a child dialog laid over the main window's tab area. It decodes its fields
// of the settings block into its members and shows them (ParseBlock), and reads its controls
// and encodes them back (BuildBlock). Every notification of a forwarded control (the page's
// combo boxes, radio buttons and check boxes) first raises the data check ID_DATA_CHECK, which
// the main window handles synchronously, and only then goes on to the page's own handling.
#pragma once

#include "CDialogBase.h"
#include "Settings.h"
#include "SettingsDocument.h"

#include <QString>

#include <initializer_list>
#include <variant>
#include <vector>

namespace vellmark {

class CPropertyPage : public CDialogBase, public ISettingsPage {
    Q_OBJECT
public:
    CPropertyPage(int templateId, std::vector<int> forwardedIds);

    bool IsForwarded(int id) const;
    void WindowProc(int id, int code) override;

    // The bound fields decoded into their members, then shown.
    void ParseBlock(const SettingsBlock& block) override;
    // The controls read into the members, then the bound fields encoded.
    void BuildBlock(SettingsBlock& block) override;

protected:
    // A member that holds one setting: a combo box's text or a number (edit value or radio
    // index).
    using Member = std::variant<QString*, int*>;

    void SendDataCheck();
    // Binds the page's settings, in the order of the core's table, to their members (a text
    // member for each text setting); once, by the page's constructor.
    void BindFields(Page page, std::initializer_list<Member> members);
    // Each field's decoded value into its member; a code in no list leaves the member.
    void DecodeFields(const SettingsBlock& block);
    void EncodeFields(SettingsBlock& block) const;

private:
    struct Field {
        Setting id;
        Member member;
    };
    std::vector<int> m_forwarded;
    std::vector<Field> m_fields;
};

} // namespace vellmark
