// Any bytes as the phone's two address-book databases, with favorites pointing into them: the
// widget builds its tiles (one photo query each), looks up addresses and takes a tap without
// failing, and an address it reads is always text.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "phone_writer.h"
#include <weeapp/sys/application.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/testing_reset.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/window.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>

namespace {

using namespace kavrin;

// The record ids the favorites point to: small ones, and two of the demo phone's contacts.
constexpr std::int32_t kRecords[] = { 0, 1, 2, 101, 102 };

const phone_files::PhoneWriter& phone()
{
    static const phone_files::PhoneWriter writer = [] {
        phone_files::PhoneWriter made = fuzzing::makeFuzzPhone("kavrin-fuzz-ab-");
        std::vector<phone_files::FavoriteRecord> favorites;
        for (const std::int32_t record : kRecords)
            favorites.push_back({ "Contact", record, "_$!<Mobile>!$_", "+49 170 1234" });
        made.writeFavorites(favorites);
        return made;
    }();
    return writer;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [addressBook, images] = fuzzing::splitAtFirstByte(data, size);
    phone().writeFile(sys::kAddressBookPath, addressBook);
    phone().writeFile(sys::kAddressBookImagesPath, images);
    for (const char* suffix : { "-wal", "-shm", "-journal" }) {
        std::error_code ignored;
        std::filesystem::remove(phone().realPath(sys::kAddressBookPath).string() + suffix, ignored);
        std::filesystem::remove(phone().realPath(sys::kAddressBookImagesPath).string() + suffix, ignored);
    }

    ui::AlertView::setPresenter([](std::shared_ptr<ui::AlertView>) {});
    {
        auto window = ui::Window::create({ 0, 0, 320, 480 });
        KavrinController controller;
        window->addSubview(controller.view());
        controller.viewHeight();
        for (const std::int32_t record : kRecords) {
            const std::string address = controller.getMailFromDB(record);
            if (address.find('\0') == std::string::npos && address.size() > static_cast<std::size_t>(size))
                std::abort();
            controller.getImageFromDB(record);
        }
        controller.launchURLForTapLocation({ 40, 40 });
    }
    weeapp::resetForTests();
    ui::AlertView::setPresenter(nullptr);
    return 0;
}
