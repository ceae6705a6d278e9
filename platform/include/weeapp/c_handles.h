#pragma once

// Owners for what the C libraries hand out. A handle is owned from the line that receives it,
// by one of these; no destroy, finalise, close or free is written anywhere else.
//
// Each owner is move-only and frees its handle when it ends or is given another. It adopts a
// handle only when told to (its explicit constructor, or out() for a function that answers
// through a pointer), lends it with get() and gives it up with release().
//
// The libraries' own types are declared here, not included: a file that includes this header
// needs the headers of only the libraries it calls itself. The freeing functions live in the
// platform library, which links the libraries.

#include <concepts>
#include <cstddef>
#include <cstdio>
#include <type_traits>
#include <utility>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;
typedef struct _cairo_font_options cairo_font_options_t;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoAttrList PangoAttrList;
typedef struct _PangoLayoutIter PangoLayoutIter;
struct sqlite3;
struct sqlite3_stmt;

namespace weeapp {

template<typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    // Empty, as a null pointer says where a pointer would be owned (return nullptr;).
    UniqueHandle(std::nullptr_t) noexcept
        requires std::is_pointer_v<Handle>
    {
    }
    explicit UniqueHandle(Handle handle) noexcept
        : m_handle(handle)
    {
    }
    UniqueHandle(UniqueHandle&& other) noexcept
        : m_handle(other.release())
    {
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::empty(); }
    friend bool operator==(const UniqueHandle& owner, std::nullptr_t) noexcept
        requires std::is_pointer_v<Handle>
    {
        return !owner;
    }

    // Gives the handle up to the caller, who then owns it; the owner is left empty.
    [[nodiscard]] Handle release() noexcept { return std::exchange(m_handle, Traits::empty()); }

    // Frees the handle held, if any, and holds the one given.
    void reset(Handle handle = Traits::empty()) noexcept
    {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::empty())
            Traits::free(old);
    }

    // Where a function that answers through a pointer puts the handle it makes
    // (sqlite3_open(path, connection.out())); whatever was held is freed first.
    Handle* out() noexcept
    {
        reset();
        return &m_handle;
    }

    // Frees the handle now and answers whether that went well (0, or the library's failure with
    // errno set), for a file whose writing is only done when its closing is. The owner is left
    // empty; an empty owner closes with 0.
    int close() noexcept
        requires requires(Handle handle)
    {
        {
            Traits::close(handle)
            } -> std::same_as<int>;
    }
    {
        const Handle old = release();
        return old == Traits::empty() ? 0 : Traits::close(old);
    }

private:
    Handle m_handle { Traits::empty() };
};

namespace handle_traits {

// A handle that is a pointer, null when empty, freed by a function of the platform library.
template<typename Pointer, void (*Free)(Pointer) noexcept>
struct FreedBy {
    using Handle = Pointer;
    static constexpr Pointer empty() noexcept { return nullptr; }
    static void free(Pointer handle) noexcept { Free(handle); }
};

void destroyCairoContext(cairo_t*) noexcept;
void destroyCairoSurface(cairo_surface_t*) noexcept;
void destroyCairoPattern(cairo_pattern_t*) noexcept;
void destroyCairoFontOptions(cairo_font_options_t*) noexcept;
void freePangoFontDescription(PangoFontDescription*) noexcept;
void unrefPangoAttrList(PangoAttrList*) noexcept;
void freePangoLayoutIter(PangoLayoutIter*) noexcept;
void unrefGObject(void*) noexcept;
void closeSqliteConnection(sqlite3*) noexcept;
void finalizeSqliteStatement(sqlite3_stmt*) noexcept;
void freePlistNode(void*) noexcept;
void freeMemory(void*) noexcept;
void closeSharedObject(void*) noexcept;

struct FileDescriptor {
    using Handle = int;
    static constexpr int empty() noexcept { return -1; }
    static void free(int) noexcept;
    static int close(int) noexcept;
};

struct StdioFile {
    using Handle = std::FILE*;
    static constexpr std::FILE* empty() noexcept { return nullptr; }
    static void free(std::FILE*) noexcept;
    static int close(std::FILE*) noexcept;
};

// iconv's descriptor is a pointer whose failure value is (iconv_t)-1, not null.
struct Iconv {
    using Handle = void*;
    static void* empty() noexcept { return reinterpret_cast<void*>(-1); }
    static void free(void*) noexcept;
};

template<typename Object>
struct GObject {
    using Handle = Object*;
    static constexpr Object* empty() noexcept { return nullptr; }
    static void free(Object* object) noexcept { unrefGObject(object); }
};

template<typename Object>
struct Memory {
    using Handle = Object*;
    static constexpr Object* empty() noexcept { return nullptr; }
    static void free(Object* memory) noexcept { freeMemory(memory); }
};

}

using CairoContext = UniqueHandle<handle_traits::FreedBy<cairo_t*, handle_traits::destroyCairoContext>>;
using CairoSurface = UniqueHandle<handle_traits::FreedBy<cairo_surface_t*, handle_traits::destroyCairoSurface>>;
using CairoPattern = UniqueHandle<handle_traits::FreedBy<cairo_pattern_t*, handle_traits::destroyCairoPattern>>;
using CairoFontOptions = UniqueHandle<handle_traits::FreedBy<cairo_font_options_t*, handle_traits::destroyCairoFontOptions>>;
using PangoFontDescriptionOwner = UniqueHandle<handle_traits::FreedBy<PangoFontDescription*, handle_traits::freePangoFontDescription>>;
using PangoAttrListOwner = UniqueHandle<handle_traits::FreedBy<PangoAttrList*, handle_traits::unrefPangoAttrList>>;
using PangoLayoutIterOwner = UniqueHandle<handle_traits::FreedBy<PangoLayoutIter*, handle_traits::freePangoLayoutIter>>;
// One reference to a GObject (a Pango layout, context or font map), given up with it.
template<typename Object>
using GObjectRef = UniqueHandle<handle_traits::GObject<Object>>;

using SqliteConnection = UniqueHandle<handle_traits::FreedBy<sqlite3*, handle_traits::closeSqliteConnection>>;
using SqliteStatement = UniqueHandle<handle_traits::FreedBy<sqlite3_stmt*, handle_traits::finalizeSqliteStatement>>;

// A property-list node (plist_t) and its subtree.
using PlistNode = UniqueHandle<handle_traits::FreedBy<void*, handle_traits::freePlistNode>>;

// What a C library allocated with malloc and leaves to its caller to free: a text, the bytes of
// a written property list, an iterator.
template<typename Object>
using CMemory = UniqueHandle<handle_traits::Memory<Object>>;

// -1 when empty.
using FileDescriptor = UniqueHandle<handle_traits::FileDescriptor>;
using StdioFile = UniqueHandle<handle_traits::StdioFile>;
// An iconv_t; (iconv_t)-1, what iconv_open answers on failure, when empty.
using IconvDescriptor = UniqueHandle<handle_traits::Iconv>;
// A handle from dlopen.
using SharedObject = UniqueHandle<handle_traits::FreedBy<void*, handle_traits::closeSharedObject>>;

}
