#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavrin::phone_files {

enum class PhotoKind { None,
    Png,
    Jpeg,
    Broken,
    OtherFormatOnly };

// One favorite of the demo phone with what the address book knows about it.
struct DemoContact {
    std::string name;
    std::optional<int> recordId; // absent: the favorite has no "ABUid"
    std::string label;           // as the address book stores it
    std::string number;
    std::vector<std::string> mails; // in row order; the last row is the one the widget shows
    PhotoKind photo { PhotoKind::None };
    double hue { 0 }; // of the generated photo, 0 ... 1
};

// Fourteen favorites whose names, labels and address-book records cover the cases that show:
// several words, a leading space, non-Latin scripts, a long name, every stored label kind and a
// custom one, contacts without photo or e-mail.
const std::vector<DemoContact>& demoContacts();

// Six favorites, one a script: Greek, Cyrillic, Japanese, Arabic, Hebrew and Korean names, each
// with a photo of its initials.
const std::vector<DemoContact>& scriptSampleContacts();

}
