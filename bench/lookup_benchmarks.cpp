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
    const sys::Dictionary settings = settingsFor(Look::Standard);
    for (const auto& [format, name] : { std::pair { sys::PropertyListFormat::Xml, "checkSetting/xml" }, std::pair { sys::PropertyListFormat::Binary, "checkSetting/binary" } }) {
        registerWithFloor(name, kBookSize, settings, [](benchmark::State& state) {
            KavrinController controller;
            for (auto _ : state)
                benchmark::DoNotOptimize(controller.checkSetting("showLabels"));
        }, { .settingsLookups = 1 }, format);
    }

    registerWithFloor("getMailFromDB/present", kBookSize, settings, [](benchmark::State& state) {
        KavrinController controller;
        if (controller.getMailFromDB(kPresentRecordId).empty())
            state.SkipWithError("the record has no address");
        for (auto _ : state)
            benchmark::DoNotOptimize(controller.getMailFromDB(kPresentRecordId));
    }, { .mailQueries = 1 });
    registerWithFloor("getMailFromDB/absent", kBookSize, settings, [](benchmark::State& state) {
        KavrinController controller;
        for (auto _ : state)
            benchmark::DoNotOptimize(controller.getMailFromDB(kAbsentRecordId));
    }, { .absentMailQueries = 1 });

    registerWithFloor("getImageFromDB/present", kBookSize, settings, [](benchmark::State& state) {
        KavrinController controller;
        if (!controller.getImageFromDB(kPresentRecordId))
            state.SkipWithError("the record has no photo");
        for (auto _ : state)
            benchmark::DoNotOptimize(controller.getImageFromDB(kPresentRecordId));
    }, { .photoQueries = 1 });
    registerWithFloor("getImageFromDB/absent", kBookSize, settings, [](benchmark::State& state) {
        KavrinController controller;
        if (!controller.getImageFromDB(kAbsentRecordId))
            state.SkipWithError("no placeholder photo");
        for (auto _ : state)
            benchmark::DoNotOptimize(controller.getImageFromDB(kAbsentRecordId));
    }, { .placeholderPhotos = 1 });
}

}
