#include "bench_support.h"

namespace kavrin::bench {

namespace {

constexpr int kBookSize = 200;
constexpr std::int32_t kPresentRecordId = kFirstRecordId;

}

// One settings lookup, one e-mail query and one photo query each, for a record that is in the
// address book and for one that is not (the empty address; the placeholder photo).
void registerLookupBenchmarks()
{
    const weeapp::sys::Dictionary settings = settingsFor(Look::Standard);
    for (const auto& [format, name] : { std::pair { weeapp::sys::PropertyListFormat::Xml, "checkSetting/xml" }, std::pair { weeapp::sys::PropertyListFormat::Binary, "checkSetting/binary" } }) {
        registerWithFloor(
            name, kBookSize, settings, [] {
                auto controller = std::make_shared<KavrinController>();
                return Work { {}, [controller] { benchmark::DoNotOptimize(controller->checkSetting("showLabels")); }, {} };
            },
            { .settingsLookups = 1 }, format);
    }

    registerWithFloor("getMailFromDB/present", kBookSize, settings, [] {
        auto controller = std::make_shared<KavrinController>();
        const bool found = !controller->getMailFromDB(kPresentRecordId).empty();
        return Work { {}, [controller] { benchmark::DoNotOptimize(controller->getMailFromDB(kPresentRecordId)); },
            [found] { return found ? std::string() : "the record has no address"; } };
    },
        { .mailQueries = 1 });
    registerWithFloor("getMailFromDB/absent", kBookSize, settings, [] {
        auto controller = std::make_shared<KavrinController>();
        return Work { {}, [controller] { benchmark::DoNotOptimize(controller->getMailFromDB(kAbsentRecordId)); }, {} };
    },
        { .absentMailQueries = 1 });

    registerWithFloor("getImageFromDB/present", kBookSize, settings, [] {
        auto controller = std::make_shared<KavrinController>();
        const bool found = controller->getImageFromDB(kPresentRecordId) != nullptr;
        return Work { {}, [controller] { benchmark::DoNotOptimize(controller->getImageFromDB(kPresentRecordId)); },
            [found] { return found ? std::string() : "the record has no photo"; } };
    },
        { .photoQueries = 1 });
    registerWithFloor("getImageFromDB/absent", kBookSize, settings, [] {
        auto controller = std::make_shared<KavrinController>();
        const bool found = controller->getImageFromDB(kAbsentRecordId) != nullptr;
        return Work { {}, [controller] { benchmark::DoNotOptimize(controller->getImageFromDB(kAbsentRecordId)); },
            [found] { return found ? std::string() : "no placeholder photo"; } };
    },
        { .placeholderPhotos = 1 });
}

}
