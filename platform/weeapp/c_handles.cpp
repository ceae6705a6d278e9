#include <weeapp/c_handles.h>

#include <cairo.h>
#include <dlfcn.h>
#include <iconv.h>
#include <pango/pango.h>
#include <plist/plist.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>

namespace weeapp::handle_traits {

void destroyCairoContext(cairo_t* context) noexcept { cairo_destroy(context); }
void destroyCairoSurface(cairo_surface_t* surface) noexcept { cairo_surface_destroy(surface); }
void destroyCairoPattern(cairo_pattern_t* pattern) noexcept { cairo_pattern_destroy(pattern); }
void destroyCairoFontOptions(cairo_font_options_t* options) noexcept { cairo_font_options_destroy(options); }
void freePangoFontDescription(PangoFontDescription* description) noexcept { pango_font_description_free(description); }
void unrefPangoAttrList(PangoAttrList* attributes) noexcept { pango_attr_list_unref(attributes); }
void freePangoLayoutIter(PangoLayoutIter* iterator) noexcept { pango_layout_iter_free(iterator); }
void unrefGObject(void* object) noexcept { g_object_unref(object); }
void closeSqliteConnection(sqlite3* connection) noexcept { sqlite3_close(connection); }
void finalizeSqliteStatement(sqlite3_stmt* statement) noexcept { sqlite3_finalize(statement); }
void freePlistNode(void* node) noexcept { plist_free(static_cast<plist_t>(node)); }
void freeMemory(void* memory) noexcept { std::free(memory); }
void closeSharedObject(void* object) noexcept { dlclose(object); }

void FileDescriptor::free(int descriptor) noexcept { ::close(descriptor); }
int FileDescriptor::close(int descriptor) noexcept { return ::close(descriptor); }

void StdioFile::free(std::FILE* file) noexcept { std::fclose(file); }
int StdioFile::close(std::FILE* file) noexcept { return std::fclose(file); }

void Iconv::free(void* descriptor) noexcept { iconv_close(static_cast<iconv_t>(descriptor)); }

}
