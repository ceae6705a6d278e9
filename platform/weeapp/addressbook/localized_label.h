#pragma once

#include <string>
#include <string_view>

namespace weeapp::ab {

// ABAddressBookCopyLocalizedLabel: the display text of a stored label. Stored labels such as
// "_$!<Mobile>!$_" show as "mobile", "_$!<HomeFAX>!$_" as "home fax" (a marked name the
// address book does not know is spelt out as lower-case words); any other text (a custom
// label, "iPhone") shows unchanged. The common labels show in the user's first preferred
// language where there is a table for it ("_$!<Mobile>!$_" is "Mobil" in German); every other
// label, and every label in another language, shows in English.
std::string ABAddressBookCopyLocalizedLabel(std::string_view storedLabel);

}
