// Any bytes as a property list: parsed or refused, and whatever comes out converts, formats
// and writes back without failing.
#include <weeapp/sys/format.h>
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void visit(const weeapp::sys::ValuePtr& value, int depth)
{
    if (!value || depth > 64)
        return;
    weeapp::sys::intValue(value);
    weeapp::sys::boolValue(value);
    weeapp::sys::stringWithFormat("%@ %i", value, weeapp::sys::intValue(value));
    if (const auto* array = value->asArray()) {
        for (const auto& element : *array)
            visit(element, depth + 1);
    }
    if (const auto* dictionary = value->asDictionary()) {
        for (const auto& [key, element] : *dictionary)
            visit(element, depth + 1);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace weeapp::sys;
    const ValuePtr root = propertyListFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    visit(root, 0);
    if (root) {
        serializePropertyList(*root, PropertyListFormat::Xml);
        serializePropertyList(*root, PropertyListFormat::Binary);
    }
    return 0;
}
