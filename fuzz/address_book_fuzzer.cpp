// Any bytes as the phone's two address-book databases, read from memory by the widget's own
// queries: every record's address and photo are looked up and the address is mailed, without
// failing; an address read is always UTF-8 text no longer than the input, and a photo found is
// decoded to a picture with a size or to none.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "sources/address_book.h"
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace kavrin;

// The record ids looked up: small ones, a negative one, and two of the demo phone's contacts.
constexpr std::int32_t kRecords[] = { -1, 0, 1, 2, 101, 102 };
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const phone_files::PhoneWriter phone = fuzzing::makeFuzzPhone("kavrin-fuzz-ab-");
    const fuzzing::FuzzPlatform platform(phone);
    const auto [addressBook, images] = fuzzing::splitAtFirstByte(data, size);
    setAddressBookBytes(sys::kAddressBookPath, addressBook);
    setAddressBookBytes(sys::kAddressBookImagesPath, images);
    {
        KavrinController controller;
        for (const std::int32_t record : kRecords) {
            const std::string address = controller.getMailFromDB(record);
            if (address.size() > size || !sys::isValidUtf8(address))
                std::abort();
            controller.doMail(&address);
            if (const ui::ImagePtr photo = controller.getImageFromDB(record)) {
                if (photo->size().width <= 0 || photo->size().height <= 0)
                    std::abort();
            }
        }
    }
    clearAddressBookBytes();
    return 0;
}
