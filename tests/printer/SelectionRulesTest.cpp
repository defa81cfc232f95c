// The selection rules on the in-memory service, on both platform paths.
#include "SelectionRules.h"
#include "CupsConnection.h"
#include "MemoryPrintService.h"
#include "PrinterSelectModel.h"

#include <gtest/gtest.h>

namespace vellmark {
namespace {

PrinterRecord Model(const std::string& name, const std::string& port) {
    PrinterRecord r;
    r.name = name;
    r.port = port;
    r.driverName = std::string(kModelDriverName);
    r.attributes = kAttributeLocal;
    return r;
}

std::vector<PrinterRow> Rows(std::initializer_list<PrinterRow> rows) {
    return rows;
}

TEST(SelectionRulesTest, NtPathFiltersByExactDriverAndUseAccessAndShowsServerOfConnections) {
    MemoryPrintService service(PlatformPath::NT);
    service.AddQueue(Model("zeta", "socket://10.0.0.9:9100"));
    PrinterRecord caseVariant = Model("case", "LPT1:");
    caseVariant.driverName = "KSD DOTRIX LEDGER 9040";
    service.AddQueue(caseVariant);
    PrinterRecord blank = Model("blank", "LPT1:");
    blank.driverName = std::string(kModelDriverName) + " ";
    service.AddQueue(blank);
    service.AddQueue(Model("locked", "LPT2:")).failOpen = true;
    PrinterRecord connection = Model("Office", "ipp://printsrv/printers/office");
    connection.server = "printsrv";
    connection.attributes = kAttributeNetwork;
    service.AddQueue(connection);
    PrinterRecord mixed = Model("mixed", "COM1:");
    mixed.server = "othersrv";
    mixed.attributes = kAttributeNetwork | kAttributeLocal;
    service.AddQueue(mixed);
    // The status bit of the other path does not matter here.
    PrinterRecord busy = Model("Busy", "LPT3:");
    busy.status = kStatusUserIntervention;
    service.AddQueue(busy);
    service.AddQueue(Model("alpha", "file:")); // not "FILE:": an ordinary destination

    EXPECT_EQ(DiscoverRows(service), Rows({{"alpha", "file:"},
                                           {"Busy", "LPT3:"},
                                           {"mixed", "COM1:"},
                                           {"Office", "printsrv"},
                                           {"zeta", "socket://10.0.0.9:9100"}}));
    EXPECT_EQ(service.CallCount(), 1);
}

TEST(SelectionRulesTest, OtherPathFiltersByStatusBitWithoutOpeningAndShowsPorts) {
    MemoryPrintService service(PlatformPath::Other);
    PrinterRecord busy = Model("busy", "LPT1:");
    busy.status = kStatusUserIntervention | kStatusPaused;
    service.AddQueue(busy);
    PrinterRecord paused = Model("paused", "LPT2:");
    paused.status = kStatusPaused;
    service.AddQueue(paused);
    service.AddQueue(Model("unopenable", "LPT3:")).failOpen = true; // never opened here
    PrinterRecord connection = Model("Office", "\\\\printsrv\\office");
    connection.server = "printsrv";
    connection.attributes = kAttributeNetwork;
    service.AddQueue(connection);

    EXPECT_EQ(
        DiscoverRows(service),
        Rows({{"Office", "\\\\printsrv\\office"}, {"paused", "LPT2:"}, {"unopenable", "LPT3:"}}));
    EXPECT_EQ(service.CallCount(), 1);
}

TEST(SelectionRulesTest, PreselectionAndInitialisationOutcomes) {
    const auto two = Rows({{"A", "LPT1:"}, {"B", "LPT2:"}});
    EXPECT_EQ(PreselectRow(two, "B"), 1u);
    EXPECT_EQ(PreselectRow(two, "gone"), 0u);
    EXPECT_EQ(PreselectRow(two, ""), 0u);
    EXPECT_EQ(PreselectRow(two, "b"), 0u);                                    // byte for byte
    EXPECT_EQ(PreselectRow(Rows({{"A", "LPT1:"}, {"A", "LPT2:"}}), "A"), 0u); // the first

    PrinterSelectModel model;
    model.m_strPrinterName = "B";
    model.m_strPort = "old";
    SelectStep step = model.InitWithRows(two);
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(step.message, nullptr);
    EXPECT_EQ(model.SelectedRow(), 1);
    EXPECT_EQ(model.m_nPrinterCount, 2);
    EXPECT_EQ(model.m_strPort, "old"); // not touched until OK

    // No row: M1, the program ends.
    step = model.InitWithRows({});
    EXPECT_EQ(step.action, SelectAction::EndProgram);
    EXPECT_EQ(step.message, &kMessageM1);
    EXPECT_EQ(model.m_nPrinterCount, 0);

    // One printer at start-up: chosen without showing the dialog.
    PrinterSelectModel startup;
    step = startup.InitWithRows(Rows({{"Only", "LPT1:"}}));
    EXPECT_EQ(step.action, SelectAction::CloseOk);
    EXPECT_EQ(step.message, nullptr);
    EXPECT_EQ(startup.m_strPrinterName, "Only");
    EXPECT_EQ(startup.m_strPort, "LPT1:");
    // The same after start-up: the dialog is shown with its single row.
    startup.m_bStartupDone = 1;
    EXPECT_EQ(startup.InitWithRows(Rows({{"Only", "LPT1:"}})).action, SelectAction::StayOpen);

    // One printer to a file at start-up: M4; after start-up the scan gives M2.
    PrinterSelectModel file;
    step = file.InitWithRows(Rows({{"F", "FILE:"}}));
    EXPECT_EQ(step.action, SelectAction::EndProgram);
    EXPECT_EQ(step.message, &kMessageM4);
    file.m_bStartupDone = 1;
    step = file.InitWithRows(Rows({{"F", "FILE:"}}));
    EXPECT_EQ(step.message, &kMessageM2);

    // Every printer to a file: M2, at start-up and later.
    for (int done : {0, 1}) {
        PrinterSelectModel all;
        all.m_bStartupDone = done;
        step = all.InitWithRows(Rows({{"F1", "FILE:"}, {"F2", "FILE:"}}));
        EXPECT_EQ(step.action, SelectAction::EndProgram);
        EXPECT_EQ(step.message, &kMessageM2);
    }
}

TEST(SelectionRulesTest, OkDoubleClickAndCancel) {
    PrinterSelectModel model;
    ASSERT_EQ(model.InitWithRows(Rows({{"File", "FILE:"}, {"Real", "LPT1:"}})).action,
              SelectAction::StayOpen);
    EXPECT_EQ(model.SelectedRow(), 0);

    // Double-click and OK with nothing selected.
    model.SelectRow(PrinterSelectModel::kNoRow);
    SelectStep step = model.OnDoubleClick();
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(step.message, nullptr);
    step = model.OnOK();
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(step.message, &kMessageM3);
    EXPECT_EQ(model.m_strPrinterName, "");

    // OK on the file row: M5, the dialog stays, the outputs already hold the row; Cancel
    // leaves them so.
    model.SelectRow(0);
    step = model.OnOK();
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(step.message, &kMessageM5);
    EXPECT_EQ(model.OnCancel().action, SelectAction::CloseCancel);
    EXPECT_EQ(model.m_strPrinterName, "File");
    EXPECT_EQ(model.m_strPort, "FILE:");

    // Double-click on the other row closes with IDOK.
    model.SelectRow(1);
    step = model.OnDoubleClick();
    EXPECT_EQ(step.action, SelectAction::CloseOk);
    EXPECT_EQ(model.m_strPrinterName, "Real");
    EXPECT_EQ(model.m_strPort, "LPT1:");

    // Out-of-range selections count as none: one past the last row, or below the first.
    for (const int row : {2, -2, 7}) {
        model.SelectRow(row);
        EXPECT_EQ(model.SelectedRow(), PrinterSelectModel::kNoRow) << row;
    }
}

TEST(SelectionRulesTest, RowOrderIgnoresLetterCaseAndPutsUtf8NamesAfterAscii) {
    MemoryPrintService service;
    for (const char* name : {"プリンタ", "b", "élan", "C", "Zulu", "Ärger", "a", "0-First", "B",
                             "~tilde", "zeta", "Élan"})
        service.AddQueue(Model(name, "LPT1:"));
    std::vector<std::string> names;
    for (const PrinterRow& row : DiscoverRows(service))
        names.push_back(row.name);
    // UTF-8 names in byte order: Ä (C3 84) < É (C3 89) < é (C3 A9) < プ (E3 83 97).
    EXPECT_EQ(names, (std::vector<std::string>{"0-First", "a", "B", "b", "C", "zeta", "Zulu",
                                               "~tilde", "Ärger", "Élan", "élan", "プリンタ"}));
}

TEST(SelectionRulesTest, UserListsDecideWhoMayPrint) {
    using List = std::vector<std::string>;
    const List groups = {"staff", "lpadmin"};
    struct Case {
        const char* what;
        List allowed;
        List denied;
        bool may;
    } cases[] = {
        {"no lists", {}, {}, true},
        {"allowed by name", {"mori", "ana"}, {}, true},
        {"allowed by name in another case", {"ANA"}, {}, true},
        {"not on the allow list", {"mori"}, {}, false},
        {"allowed by group", {"@staff"}, {}, true},
        {"group names keep their case", {"@STAFF"}, {}, false},
        {"not in the allowed group", {"@wheel"}, {}, false},
        {"a name that merely looks like a group", {"staff"}, {}, false},
        {"denied by name", {}, {"Ana"}, false},
        {"denied by group", {}, {"@lpadmin"}, false},
        {"others denied", {}, {"mori", "@wheel"}, true},
        {"a longer name is another user", {"anna"}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(UserListsAllow("ana", groups, c.allowed, c.denied), c.may);
    }
}

TEST(SelectionRulesTest, ServerAddressesParseIntoHostAndPort) {
    const int ipp = 631;
    struct Case {
        const char* text;
        std::optional<ServerAddress> address;
    } cases[] = {
        {"printsrv", ServerAddress{"printsrv", ipp}},
        {"printsrv:8631", ServerAddress{"printsrv", 8631}},
        {"127.0.0.1:18631", ServerAddress{"127.0.0.1", 18631}},
        {"[::1]:18631", ServerAddress{"::1", 18631}},
        {"[fe80::1]", ServerAddress{"fe80::1", ipp}},
        {"::1", ServerAddress{"::1", ipp}},
        {"/run/cups/cups.sock", ServerAddress{"/run/cups/cups.sock", 0}},
        {"", std::nullopt},
        {"printsrv:", std::nullopt},
        {"printsrv:0", std::nullopt},
        {"printsrv:65536", std::nullopt},
        {"printsrv:http", std::nullopt},
        {":631", std::nullopt},
        {"[::1", std::nullopt},
        {"[]:631", std::nullopt},
        {"[::1]631", std::nullopt},
        {"[::1]:", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseServerAddress(c.text), c.address);
    }
}

} // namespace
} // namespace vellmark
