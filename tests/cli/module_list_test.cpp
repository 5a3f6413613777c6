// One entry per module, sorted by address value; answers without MAC apart.
#include "cli/session/module_list.h"

#include <gtest/gtest.h>

#include "record_builder.h"

namespace tolm::linkora {
namespace {

std::vector<std::uint8_t> LastMacBytes(const std::vector<Answer>& answers) {
    std::vector<std::uint8_t> bytes;
    for (const Answer& a : answers) bytes.push_back(a.record.abMacId[5]);
    return bytes;
}

// The first answer is listed; a second sender or other values make the MAC
// a conflict, while the same module heard twice does not.
TEST(ModuleList, KeepsTheFirstAnswerAndTellsWhereAnswersForAMacDisagree) {
    ModuleList list;
    Answer module = MakeAnswer(1, 0x0A4D0065);
    module.sender = 0x0A4D000B;
    EXPECT_TRUE(list.Add(module));
    EXPECT_FALSE(list.Add(module)) << "heard again";
    Answer other_adapter = module;
    other_adapter.adapter = "tl1";
    EXPECT_FALSE(list.Add(other_adapter));
    EXPECT_TRUE(list.Conflicts().empty());

    Answer changed = MakeAnswer(1, 0x0A4D0099);
    changed.sender = module.sender;
    EXPECT_FALSE(list.Add(changed)) << "a second answer, other settings";
    Answer impostor = module;
    impostor.sender = 0x0A4D000C;
    EXPECT_FALSE(list.Add(impostor));
    ASSERT_EQ(list.ModuleCount(), 1u);
    EXPECT_EQ(list.Modules()[0].record.dwIpAddress, 0x0A4D0065u);
    ASSERT_EQ(list.Conflicts().size(), 1u);
    EXPECT_EQ(list.ConflictOf(module.record.abMacId).size(), 3u);
    EXPECT_EQ(list.ConflictOf(module.record.abMacId)[2].sender, 0x0A4D000Cu);
    EXPECT_TRUE(list.ConflictOf(MakeAnswer(2, 0).record.abMacId).empty());
}

TEST(ModuleList, SortsByAddressValueWithUnaddressedModulesLast) {
    ModuleList list;
    list.Add(MakeAnswer(4, 0));
    list.Add(MakeAnswer(1, 0x0A4D000A));  // 10.77.0.10
    list.Add(MakeAnswer(3, 0));
    list.Add(MakeAnswer(2, 0x0A4D0009));  // 10.77.0.9: before .10 by value, after it as text
    EXPECT_EQ(LastMacBytes(list.Modules()), (std::vector<std::uint8_t>{2, 1, 3, 4}));
}

TEST(ModuleList, ListsAnswersWithoutMacApartOnceEach) {
    ModuleList list;
    EXPECT_TRUE(list.Add(MakeAnswer(0, 0x0A4D0063, false)));
    EXPECT_FALSE(list.Add(MakeAnswer(0, 0x0A4D0063, false))) << "the same answer again";
    EXPECT_TRUE(list.Add(MakeAnswer(0, 0x0A4D0064, false)));
    Answer partial = MakeAnswer(5, 0x0A4D0065);
    partial.record.bMacIdValid = 2;  // anything but 1 names no module
    EXPECT_TRUE(list.Add(partial));
    EXPECT_EQ(list.ModuleCount(), 0u);
    EXPECT_EQ(list.WithoutMac().size(), 3u);
    EXPECT_EQ(list.WithoutMacCount(), 3u) << "the same answer twice counts once";
    EXPECT_EQ(list.Find(partial.record.abMacId), nullptr);

    // A flood of answers without MAC is counted, not kept.
    for (std::uint32_t n = 0; n < 1000; ++n) list.Add(MakeAnswer(0, 0x0B000000 + n, false));
    EXPECT_EQ(list.WithoutMac().size(), ModuleList::kMaxWithoutMac);
    EXPECT_EQ(list.WithoutMacCount(), 1003u);
}

}  // namespace
}  // namespace tolm::linkora
