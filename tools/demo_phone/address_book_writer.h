#pragma once

#include "demo_contacts.h"

#include <string>
#include <vector>

namespace kavrin::tooling {

// Writes the two address-book databases for the contacts, replacing any files there:
// people, their phone numbers (property 3) and e-mail addresses (property 4) in ABMultiValue,
// and their thumbnails in ABThumbnailImage (format 0 is the one shown in lists).
bool writeAddressBook(const std::string& addressBookPath, const std::string& imagesPath, const std::vector<DemoContact>&);

}
