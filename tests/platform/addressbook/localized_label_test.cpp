#include "addressbook/localized_label.h"

#include <gtest/gtest.h>

using ab::ABAddressBookCopyLocalizedLabel;

// Stored labels show as the address book's words; custom labels and "iPhone" stay as they are.
TEST(LocalizedLabel, StoredAndCustomLabels)
{
    const std::pair<const char*, const char*> cases[] = {
        { "_$!<Mobile>!$_", "mobile" },
        { "_$!<Home>!$_", "home" },
        { "_$!<Work>!$_", "work" },
        { "_$!<Main>!$_", "main" },
        { "_$!<HomeFAX>!$_", "home fax" },
        { "_$!<WorkFAX>!$_", "work fax" },
        { "_$!<OtherFAX>!$_", "other fax" },
        { "_$!<Pager>!$_", "pager" },
        { "_$!<Other>!$_", "other" },
        { "_$!<iPhone>!$_", "iPhone" },
        { "_$!<CarRadioLink>!$_", "car radio link" },
        { "iPhone", "iPhone" },
        { "Boat phone", "Boat phone" },
        { "", "" },
        { "_$!<>!$_", "_$!<>!$_" },
        { "_$!<Mobile>", "_$!<Mobile>" },
        { "(null)", "(null)" },
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(ABAddressBookCopyLocalizedLabel(stored), shown) << stored;
}
