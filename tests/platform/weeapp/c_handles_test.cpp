#include <weeapp/c_handles.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <plist/plist.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

using weeapp::FileDescriptor;

bool isOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

// A pipe's two ends, adopted.
std::pair<FileDescriptor, FileDescriptor> pipeEnds()
{
    int ends[2] = { -1, -1 };
    EXPECT_EQ(::pipe(ends), 0);
    return { FileDescriptor(ends[0]), FileDescriptor(ends[1]) };
}

// A handle has one owner at a time: a move hands it over without freeing it and leaves the
// source empty, so that the source's end frees nothing; taking another frees the one held;
// release gives it up unfreed.
TEST(CHandles, OwnershipMovesAndEndsOnce)
{
    auto [read, write] = pipeEnds();
    const int readFd = read.get(), writeFd = write.get();

    FileDescriptor moved(std::move(read));
    EXPECT_EQ(moved.get(), readFd);
    EXPECT_FALSE(read);
    EXPECT_EQ(read.get(), -1);
    EXPECT_TRUE(isOpen(readFd));

    FileDescriptor assigned;
    assigned = std::move(moved);
    EXPECT_FALSE(moved);
    EXPECT_TRUE(isOpen(readFd));
    FileDescriptor& same = assigned;
    assigned = std::move(same);
    EXPECT_EQ(assigned.get(), readFd);
    EXPECT_TRUE(isOpen(readFd));

    assigned = std::move(write);
    EXPECT_FALSE(isOpen(readFd)) << "the descriptor given up by the assignment is closed";
    EXPECT_TRUE(isOpen(writeFd));

    const int released = assigned.release();
    EXPECT_EQ(released, writeFd);
    EXPECT_FALSE(assigned);
    assigned.reset();
    EXPECT_TRUE(isOpen(writeFd));
    {
        FileDescriptor adopted(released);
    }
    EXPECT_FALSE(isOpen(writeFd));
}

// A file's writing is done only when its closing is: close() answers the result and leaves the
// owner empty; an empty owner closes with 0, and a descriptor that no longer closes says so.
TEST(CHandles, CheckedCloseAnswersTheResult)
{
    auto [read, write] = pipeEnds();
    const int readFd = read.get();
    EXPECT_EQ(read.close(), 0);
    EXPECT_FALSE(read);
    EXPECT_FALSE(isOpen(readFd));
    EXPECT_EQ(read.close(), 0);

    const int writeFd = write.get();
    ASSERT_EQ(write.close(), 0);
    FileDescriptor stale(writeFd);
    errno = 0;
    EXPECT_EQ(stale.close(), -1);
    EXPECT_EQ(errno, EBADF);
}

// Each owner knows its library's empty value: iconv's failure is (iconv_t)-1, not null, and a
// handle that a function gives through a pointer replaces the one held, which is freed.
TEST(CHandles, EmptyValuesAndHandlesGivenThroughAPointer)
{
    const weeapp::IconvDescriptor failed(iconv_open("UTF-8", "NO-SUCH-ENCODING"));
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.get(), reinterpret_cast<iconv_t>(-1));
    EXPECT_EQ(weeapp::IconvDescriptor().get(), reinterpret_cast<iconv_t>(-1));
    EXPECT_TRUE(weeapp::IconvDescriptor(iconv_open("UTF-8", "UTF-16LE")));

    weeapp::PlistNode root;
    EXPECT_TRUE(root == nullptr);
    plist_from_xml("<plist><true/></plist>", 22, root.out());
    ASSERT_TRUE(root);
    plist_from_xml("<plist><integer>7</integer></plist>", 35, root.out());
    ASSERT_TRUE(root);
    EXPECT_EQ(plist_get_node_type(root.get()), PLIST_UINT);
}

}
