#include <weeapp/sys/object.h>
#include <weeapp/sys/weak_ref.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Receiver : virtual weeapp::sys::Object { };
struct Derived final : Receiver { };

}

// A weak reference reads its object while it lives and null from its destruction on, in every
// copy and through a base class, even once another object may have taken the same memory; an
// empty one is null and has no lifetime.
TEST(WeakRef, ReadsNullOnceObjectIsDestroyed)
{
    auto object = std::make_unique<Derived>();
    Derived* address = object.get();
    weeapp::sys::WeakRef<Receiver> reference(object.get());
    weeapp::sys::WeakRef<weeapp::sys::Object> base(object.get());
    const weeapp::sys::WeakRef<Receiver> copy = reference;
    EXPECT_EQ(reference.get(), address);
    EXPECT_TRUE(copy);
    EXPECT_EQ(base.get(), static_cast<weeapp::sys::Object*>(address));
    EXPECT_FALSE(reference.lifetime().expired());

    object.reset();
    EXPECT_EQ(reference.get(), nullptr);
    EXPECT_FALSE(copy);
    EXPECT_EQ(base.get(), nullptr);
    EXPECT_TRUE(reference.lifetime().expired());

    object = std::make_unique<Derived>();
    EXPECT_EQ(reference.get(), nullptr);

    weeapp::sys::WeakRef<Receiver> empty;
    weeapp::sys::WeakRef<Receiver> none(nullptr);
    EXPECT_FALSE(empty);
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_TRUE(none.lifetime().expired());
}
