// What `linkora set` refuses before sending, and how it verifies.
#include "cli/verbs/set_request.h"

#include <gtest/gtest.h>

#include "cli/command_line/failure.h"
#include "cli/delivery/attribution.h"
#include "cli/delivery/mismatches.h"
#include "record_builder.h"

namespace tolm::linkora {
namespace {

// The usage failure's message, or "" when the options pass.
std::string Refusal(const SetOptions& options) {
    try {
        CheckSetOptions(options);
        return "";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Code(), kUsage);
        return failure.what();
    }
}

SetOptions Options(std::optional<std::string> host_name = std::nullopt) {
    SetOptions options;
    options.mac = "02-00-00-00-00-01";
    options.host_name = std::move(host_name);
    return options;
}

TEST(SetRequest, RefusesBadInputNamingIt) {
    SetOptions bad_mac = Options("ok");
    bad_mac.mac = "02-00-00-00-01";
    EXPECT_NE(Refusal(bad_mac).find("is not a MAC address"), std::string::npos);
    SetOptions bad_ip = Options();
    bad_ip.ip = "10.77.0.256";
    EXPECT_NE(Refusal(bad_ip).find("--ip: \"10.77.0.256\""), std::string::npos);
    SetOptions unsendable = Options();
    unsendable.dns2 = "255.255.255.255";
    EXPECT_NE(Refusal(unsendable).find("--dns2: 255.255.255.255 cannot be sent"),
              std::string::npos);
    EXPECT_NE(Refusal(Options("plc-01")).find("illegal host name"), std::string::npos);
    EXPECT_NE(Refusal(Options()).find("nothing to set"), std::string::npos);
}

TEST(SetRequest, TextsUpToTheProtocolsLimitsPass) {
    EXPECT_EQ(Refusal(Options(std::string(93, 'h'))), "");
    EXPECT_NE(Refusal(Options(std::string(94, 'h'))).find("the host name is too long"),
              std::string::npos);
    const SetRequest request = CheckSetOptions(Options("ok"));
    EXPECT_NO_THROW(CheckPasswords(request, std::string(88, 'p'), std::string(83, 'n')));
    EXPECT_THROW(CheckPasswords(request, std::string(89, 'p'), std::nullopt), Failure);
    EXPECT_THROW(CheckPasswords(request, std::nullopt, std::string(84, 'n')), Failure);
    EXPECT_THROW(CheckPasswords(request, std::nullopt, std::string("new;IP = 1.2.3.4")), Failure);
}

TEST(Verify, NamesEachValueTheModuleDoesNotReport) {
    client::ConfigureChanges changes;
    changes.ip_address = 0x0A4D0096;
    changes.dhcp = true;
    changes.host_name = "press_1";
    changes.new_password = "";
    Answer module = MakeAnswer(1, 0x0A4D0096);
    SetText(module.record.szHostName, module.record.bHostNameValid, "press_1");
    module.record.bDhcpValid = 1;
    module.record.bDhcpEnabled = 1;
    module.record.bPswdValid = 1;
    module.record.bPswdEnabled = 0;
    EXPECT_TRUE(Mismatches(changes, module.record).empty());

    module.record.dwIpAddress = 0x0A4D0065;
    module.record.bDhcpEnabled = 0;
    module.record.bHostNameValid = 0;
    module.record.bPswdEnabled = 1;
    EXPECT_EQ(
        Mismatches(changes, module.record),
        (std::vector<std::string>{"IP address: sent 10.77.0.150, the module reports 10.77.0.101",
                                  "DHCP: sent on, the module reports off",
                                  "host name: sent \"press_1\", the module reports none",
                                  "password protection: sent off, the module reports on"}));
}

// Only the module's own sender, or the address a request gives it, speaks for
// it; a reply that names a MAC must name the module's. A verification scan
// decides on all its answers for the MAC.
TEST(Attribution, OnlyTheModulesSenderSpeaksForIt) {
    ModuleSender module{MakeAnswer(1, 0x0A4D0065), 0x0A4D0096};
    module.module.sender = 0x0A4D000B;
    ReplyFrom reply;
    reply.code = TOLM_NOTIFY_RECONFIGURED;
    reply.sender = 0x0A4D000B;
    EXPECT_TRUE(IsFromModule(reply, module)) << "no MAC named";
    reply.mac = client::Mac{2, 0, 0, 0, 0, 1};
    EXPECT_TRUE(IsFromModule(reply, module));
    reply.sender = 0x0A4D0096;
    EXPECT_TRUE(IsFromModule(reply, module)) << "from the address just given";
    reply.mac.reset();
    EXPECT_FALSE(IsFromModule(reply, module)) << "from that address, but naming no MAC";
    reply.mac = client::Mac{2, 0, 0, 0, 0, 1};
    reply.sender = 0x0A4D000C;
    EXPECT_FALSE(IsFromModule(reply, module)) << "another sender";
    reply.sender = 0x0A4D000B;
    reply.mac = client::Mac{2, 0, 0, 0, 0, 2};
    EXPECT_FALSE(IsFromModule(reply, module)) << "another module's MAC";

    Answer impostor = module.module;
    impostor.sender = 0x0A4D000C;
    Answer moved = module.module;
    moved.sender = 0x0A4D0096;
    EXPECT_EQ(JudgeAnswers({moved}, module).answer->sender, 0x0A4D0096u) << "from its new address";
    const Verdict old = JudgeAnswers({module.module}, module);
    EXPECT_FALSE(old.answer) << "its IP changed, yet it answers from the old one";
    EXPECT_FALSE(old.final);
    const Verdict twins = JudgeAnswers({moved, impostor}, module);
    EXPECT_TRUE(!twins.answer && twins.final &&
                twins.problem.find("10.77.0.150, 10.77.0.12") != std::string::npos)
        << twins.problem;
    EXPECT_FALSE(JudgeAnswers({impostor}, module).answer) << "a lone stranger";
    ModuleSender kept{module.module, std::nullopt};
    EXPECT_TRUE(JudgeAnswers({module.module}, kept).answer) << "its IP kept: its earlier sender";
    ModuleSender leased{module.module, std::nullopt, true};
    EXPECT_TRUE(JudgeAnswers({impostor}, leased).answer) << "DHCP switched on: any one sender";
}

}  // namespace
}  // namespace tolm::linkora
