#include "support/property_list_shapes.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/property_list.h>

#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>

using namespace sys;
using kavrin::testing::BinaryPropertyListBuilder;
using kavrin::testing::deepBinaryPropertyList;
using kavrin::testing::deepXmlPropertyList;

namespace {

constexpr const char* kSettings = "/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist";
constexpr const char* kFavorites = "/private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist";

// Runs work on a thread with the 1 MB stack of a phone's main thread.
void runOnOneMegabyteStack(const std::function<void()>& work)
{
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1u << 20), 0);
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

std::string xmlArrayOfIntegers(std::size_t count)
{
    std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>x</key><array>";
    for (std::size_t i = 0; i < count; ++i)
        bytes += "<integer>" + std::to_string(i % 1000) + "</integer>";
    return bytes + "</array></dict></plist>";
}

class PropertyListBoundsTest : public ::testing::Test {
protected:
    void SetUp() override { setPhoneRoot(m_folder.path()); }
    void TearDown() override { setPhoneRoot("/"); }

    kavrin::testing::TemporaryFolder m_folder;
};

}

// Settings and favorites nested 10,000, 100,000 and 1,000,000 levels deep, binary or XML, are
// unreadable, also on a thread with a 1 MB stack: a settings lookup finds nothing, so every
// setting has its default, and the favorites list is none.
TEST_F(PropertyListBoundsTest, DeepNestingIsUnreadableOnASmallStack)
{
    for (std::uint64_t levels : { 10'000u, 100'000u, 1'000'000u }) {
        for (bool binary : { true, false }) {
            m_folder.write(kSettings, binary ? deepBinaryPropertyList(levels, true) : deepXmlPropertyList(levels, true));
            m_folder.write(kFavorites, binary ? deepBinaryPropertyList(levels, false) : deepXmlPropertyList(levels, false));
            ValuePtr settings = Value::boolean(true);
            ValuePtr favorites = Value::boolean(true);
            runOnOneMegabyteStack([&] {
                settings = dictionaryWithContentsOfFile(kSettings);
                favorites = arrayWithContentsOfFile(kFavorites);
            });
            EXPECT_EQ(settings, nullptr) << levels << (binary ? " binary" : " XML");
            EXPECT_EQ(favorites, nullptr) << levels << (binary ? " binary" : " XML");
        }
    }
}

// The deepest nesting that is read, and one level more that is not, in both formats; the file
// at the limit is read, and its values freed, on a 1 MB stack.
TEST_F(PropertyListBoundsTest, NestingUpToTheLimitIsRead)
{
    for (bool binary : { true, false }) {
        auto make = binary ? deepBinaryPropertyList : deepXmlPropertyList;
        ValuePtr atLimit;
        ValuePtr pastLimit = Value::boolean(true);
        runOnOneMegabyteStack([&] {
            atLimit = propertyListFromBytes(make(kMaximumPropertyListDepth, true));
            pastLimit = propertyListFromBytes(make(kMaximumPropertyListDepth + 1, true));
            ValuePtr innermost = objectForKey(atLimit, "k");
            for (std::size_t level = 2; level < kMaximumPropertyListDepth; ++level)
                innermost = objectAtIndex(innermost, 0);
            EXPECT_TRUE(innermost && innermost->isArray() && count(innermost) == 0) << binary;
            atLimit.reset();
        });
        EXPECT_EQ(pastLimit, nullptr) << binary;
    }
}

// The XML scan passes over what the parser passes over: elements written inside comments, a
// document type's quoted literals, CDATA sections, processing instructions and attribute values
// count for nothing, so a shallow file full of them reads.
TEST_F(PropertyListBoundsTest, XmlMarkupThatIsNoElementDoesNotNest)
{
    std::string opens;
    for (int i = 0; i < 2000; ++i)
        opens += "<array>";
    const std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//x//DTD PLIST 1.0//EN\" \"<array>\">\n<!-- "
        + opens + " -->\n<?note " + opens + " ?><plist version=\"1.0\" note=\"" + opens + ">\"><dict><!-- " + opens
        + " --><key>k</key><string><![CDATA[" + opens + "]]></string></dict></plist>";
    ValuePtr read = propertyListFromBytes(bytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(description(objectForKey(read, "k")), opens);
}

// A long array reads in one pass, binary or XML: a million items come back in order.
// Under AddressSanitizer the unoptimised reader takes minutes on a million items; that build
// looks for memory errors, which the shorter array finds as well.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kLongestArray = 100'000;
#else
constexpr std::size_t kLongestArray = 1'000'000;
#endif

TEST_F(PropertyListBoundsTest, LongArraysRead)
{
    for (std::size_t items : { std::size_t { 100'000 }, kLongestArray }) {
        Array numbers;
        numbers.reserve(items);
        for (std::size_t i = 0; i < items; ++i)
            numbers.push_back(Value::integer(static_cast<std::int64_t>(i % 1000)));
        const std::string binary = *serializePropertyList(*Value::dictionary({ { "x", Value::array(std::move(numbers)) } }), PropertyListFormat::Binary);
        for (const std::string& bytes : { binary, xmlArrayOfIntegers(items) }) {
            m_folder.write(kSettings, bytes);
            ValuePtr list = objectForKey(dictionaryWithContentsOfFile(kSettings), "x");
            ASSERT_EQ(count(list), items);
            EXPECT_EQ(intValue(objectAtIndex(list, items - 1)), static_cast<std::int32_t>((items - 1) % 1000));
        }
    }
}

// A binary file whose tree is bigger than its bytes (containers shared at every level) or has a
// cycle is unreadable; one that shares texts and numbers, as every writer does, reads.
TEST_F(PropertyListBoundsTest, BinaryGraphsThatExpandOrLoopAreUnreadable)
{
    // 40 levels of an array holding the next one twice: 2^40 nodes in 200 bytes.
    BinaryPropertyListBuilder doubling;
    const std::uint64_t top = doubling.array({ 1, 1 });
    for (int level = 1; level < 40; ++level)
        doubling.array({ doubling.nextObject() + 1, doubling.nextObject() + 1 });
    doubling.array({});
    EXPECT_EQ(propertyListFromBytes(doubling.finish(top)), nullptr);

    BinaryPropertyListBuilder cycle;
    cycle.array({ 1 });
    cycle.array({ 0 });
    EXPECT_EQ(propertyListFromBytes(cycle.finish(0)), nullptr);

    BinaryPropertyListBuilder shared;
    const std::uint64_t key = shared.ascii("Name");
    const std::uint64_t name = shared.ascii("Ann");
    const std::uint64_t entry = shared.dictionary({ key }, { name });
    const std::uint64_t second = shared.dictionary({ key }, { name });
    const std::string bytes = shared.finish(shared.array({ entry, second, entry == 0 ? 0 : second }));
    ValuePtr list = propertyListFromBytes(bytes);
    ASSERT_EQ(count(list), 3u);
    EXPECT_EQ(description(objectForKey(objectAtIndex(list, 2), "Name")), "Ann");
}
