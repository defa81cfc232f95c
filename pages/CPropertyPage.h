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
#include <vector>

namespace vellmark {

class CPropertyPage : public CDialogBase, public ISettingsPage {
    Q_OBJECT
public:
    CPropertyPage(int templateId, std::initializer_list<int> forwardedIds);

    bool IsForwarded(int id) const;
    void WindowProc(int id, int code) override;

protected:
    void SendDataCheck();

    // A setting's decoded value into its member; a code in no list leaves the member.
    static void DecodeMember(const SettingsBlock& block, Setting id, QString& member);
    static void DecodeMember(const SettingsBlock& block, Setting id, int& member);
    static void EncodeMember(SettingsBlock& block, Setting id, const QString& member);

private:
    std::vector<int> m_forwarded;
};

} // namespace vellmark
