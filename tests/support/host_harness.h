#pragma once

// Runs the built programs (kavrin-host, kavrin-prefs, kavrin-demo-phone) on phone roots that the
// tests write, the way other tools drive them.

#include "kavrin/published_names.h"
#include "phone_writer.h"
#include "support/pipe_ends.h"
#include "support/temporary_folder.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>
#include <weeapp/ui/images/image.h>

#include <gtest/gtest.h>

#include <cairo.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace kavrin::testing {

namespace fs = std::filesystem;

inline fs::path buildDirectory()
{
    const char* folder = std::getenv("KAVRIN_BUILD_DIR");
    return folder ? fs::path(folder) : fs::current_path();
}

inline std::string program(const std::string& name)
{
    return (buildDirectory() / "bin" / name).string();
}

// The words of a command line for one of our programs, and the argv that points into them.
struct CommandLine {
    CommandLine(const std::string& name, const std::vector<std::string>& arguments)
        : words { program(name) }
    {
        words.insert(words.end(), arguments.begin(), arguments.end());
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
    }
    // argv points into words.
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    std::vector<std::string> words;
    std::vector<char*> argv;
};

inline std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Every file under a folder with its bytes, and every link with its target, by relative path.
inline std::map<std::string, std::string> contentsOf(const fs::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink())
            contents[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            contents[name] = readFile(entry.path());
        else
            contents[name] = "folder";
    }
    return contents;
}

inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct RunResult {
    int status { -1 };
    std::string out;
    std::string err;
    std::vector<std::string> lines() const { return linesOf(out); }
};

// A program started with the text on its standard input and its output going to files, so that
// several can run at once.
class StartedProgram {
public:
    StartedProgram(const std::string& name, const std::vector<std::string>& arguments, const std::string& input = "",
        const fs::path& workingFolder = {})
    {
        std::ofstream(m_io.path() / "in", std::ios::binary) << input;
        CommandLine command(name, arguments);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, (m_io.path() / "in").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (m_io.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (m_io.path() / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (!workingFolder.empty())
            posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        if (posix_spawn(&m_pid, command.argv[0], &actions, nullptr, command.argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~StartedProgram() { finish(); }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // Waits for the program to end. One that runs far longer than any of them takes is killed
    // and reports status -1, so that a hung program fails the test instead of hanging it.
    RunResult finish()
    {
        if (m_pid > 0) {
            bool ended = false;
            {
                const weeapp::FileDescriptor pidfd(static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0)));
                pollfd descriptor { pidfd.get(), POLLIN, 0 };
                ended = !pidfd || poll(&descriptor, 1, 60000) > 0;
            }
            if (!ended)
                kill(m_pid, SIGKILL);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_result.status = !ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status)
                                                              : 128 + WTERMSIG(status);
            m_result.out = readFile(m_io.path() / "out");
            m_result.err = readFile(m_io.path() / "err");
            m_pid = -1;
        }
        return m_result;
    }

private:
    TemporaryFolder m_io;
    pid_t m_pid { -1 };
    RunResult m_result;
};

// Runs a program with the text on its standard input and collects its output and status.
inline RunResult runProgram(const std::string& name, const std::vector<std::string>& arguments, const std::string& input = "")
{
    return StartedProgram(name, arguments, input).finish();
}

// A host talking through pipes: commands in (the JSON protocol answers each as it comes), and
// what it prints read line by line as it prints it (the demo, --live, --window).
class InteractiveHost {
public:
    // Standard error goes to the file when one is named, else where the test's goes.
    explicit InteractiveHost(const std::vector<std::string>& arguments, const fs::path& errors = {})
    {
        PipeEnds toHost = makePipe(O_CLOEXEC);
        PipeEnds fromHost = makePipe(O_CLOEXEC);
        if (!toHost.read || !fromHost.read)
            return;
        CommandLine command("kavrin-host", arguments);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toHost.read.get(), 0);
        posix_spawn_file_actions_adddup2(&actions, fromHost.write.get(), 1);
        if (!errors.empty())
            posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, command.argv[0], &actions, nullptr, command.argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        m_input = std::move(toHost.write);
        m_output = std::move(fromHost.read);
    }
    ~InteractiveHost() { finish(); }
    InteractiveHost(const InteractiveHost&) = delete;
    InteractiveHost& operator=(const InteractiveHost&) = delete;

    bool running() const { return m_pid > 0; }
    void sendSignal(int number) const
    {
        if (m_pid > 0)
            ::kill(m_pid, number);
    }
    pid_t pid() const { return m_pid; }

    void send(const std::string& line)
    {
        std::string text = line + "\n";
        ASSERT_EQ(write(m_input.get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // The next line the host prints; nothing when it ends first (or stays silent far longer
    // than any command takes, so that a broken host fails the test instead of hanging it).
    std::optional<std::string> readLine()
    {
        while (true) {
            if (auto end = m_buffer.find('\n'); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            pollfd descriptor { m_output.get(), POLLIN, 0 };
            if (poll(&descriptor, 1, 60000) <= 0)
                return std::nullopt;
            char chunk[4096];
            ssize_t got = read(m_output.get(), chunk, sizeof chunk);
            if (got <= 0)
                return std::nullopt;
            m_buffer.append(chunk, static_cast<std::size_t>(got));
        }
    }

    // Sends the signal, as Ctrl-C or a window manager would.
    void signal(int number)
    {
        if (m_pid > 0)
            kill(m_pid, number);
    }

    // Closes the script and waits for the exit status.
    int finish()
    {
        m_input.reset();
        int status = 0;
        if (m_pid > 0 && waitpid(m_pid, &status, 0) == m_pid)
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        m_pid = -1;
        m_output.reset();
        return m_status;
    }

private:
    pid_t m_pid { -1 };
    weeapp::FileDescriptor m_input;
    weeapp::FileDescriptor m_output;
    int m_status { -1 };
    std::string m_buffer;
};

inline weeapp::sys::ValuePtr favorite(const std::string& name, int recordId, const std::string& label, const std::string& number)
{
    return weeapp::sys::Value::dictionary({
        { "Name", weeapp::sys::Value::string(name) },
        { "ABUid", weeapp::sys::Value::integer(recordId) },
        { "Label", weeapp::sys::Value::string(label) },
        { "Value", weeapp::sys::Value::string(number) },
    });
}

// A phone root in a temporary folder with the built bundle in its place.
class PhoneRoot {
public:
    // The phone's files as paths relative to the root.
    static constexpr const char* kSettings = kSettingsPath + 1;
    static constexpr const char* kFavorites = weeapp::sys::kFavoritesPath + 1;

    PhoneRoot()
    {
        fs::create_directories(path() / "private/var/mobile");
        auto linked = m_writer.linkBundle(kBundlePath, buildDirectory() / "Kavrin.bundle");
        EXPECT_TRUE(linked) << (linked ? "" : linked.error());
    }

    // The whole demo phone: favorites, address-book databases with thumbnails, settings.
    void writeDemoPhone()
    {
        RunResult result = runProgram("kavrin-demo-phone", { path().string() });
        ASSERT_EQ(result.status, 0) << result.err;
    }
    void writeFavorites(weeapp::sys::Array entries)
    {
        ASSERT_TRUE(m_writer.writeFavoritesValue(*weeapp::sys::Value::array(std::move(entries)), weeapp::sys::PropertyListFormat::Xml));
    }
    void writeSettings(const weeapp::sys::Dictionary& values) { ASSERT_TRUE(m_writer.writeSettings(values, weeapp::sys::PropertyListFormat::Xml)); }
    void writeRaw(const std::string& relative, const std::string& bytes)
    {
        ASSERT_TRUE(m_writer.writeFile(relative, { reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() }));
    }
    // A FIFO in a file's place: a reader that opened it blocking would wait for a writer forever.
    void makeFifo(const std::string& relative)
    {
        fs::create_directories((path() / relative).parent_path());
        ASSERT_EQ(mkfifo((path() / relative).c_str(), 0644), 0);
    }
    weeapp::sys::ValuePtr settings() const { return weeapp::sys::readPropertyListFile((path() / kSettings).string()); }

    const fs::path& path() const { return m_folder.path(); }
    std::string root() const { return path().string(); }

    // Runs a script on this phone.
    RunResult host(const std::string& script, std::vector<std::string> options = {}) const
    {
        options.insert(options.begin(), { "--root", root(), "--seed", "1", "--script", "-" });
        return runProgram("kavrin-host", options, script);
    }

private:
    TemporaryFolder m_folder;
    phone_files::PhoneWriter m_writer { m_folder.path() };
};

// A rendered picture, read back for pixel checks at its full size (the platform's decoder would
// shrink a large one). Pixels are Cairo's premultiplied ARGB.
class Picture {
public:
    explicit Picture(const fs::path& file)
    {
        const weeapp::CairoSurface read(cairo_image_surface_create_from_png(file.c_str()));
        cairo_surface_t* surface = read.get();
        if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
            const weeapp::CairoSurface converted(
                cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)));
            cairo_surface_t* argb = converted.get();
            {
                const weeapp::CairoContext cr(cairo_create(argb));
                cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
                cairo_set_source_surface(cr.get(), surface, 0, 0);
                cairo_paint(cr.get());
            }
            cairo_surface_flush(argb);
            auto bitmap = std::make_shared<weeapp::ui::Bitmap>();
            bitmap->width = cairo_image_surface_get_width(argb);
            bitmap->height = cairo_image_surface_get_height(argb);
            int stride = cairo_image_surface_get_stride(argb);
            const unsigned char* data = cairo_image_surface_get_data(argb);
            for (int y = 0; y < bitmap->height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
                bitmap->pixels.insert(bitmap->pixels.end(), row, row + bitmap->width);
            }
            m_bitmap = std::move(bitmap);
        }
    }
    bool valid() const { return m_bitmap != nullptr; }
    bool operator==(const Picture& other) const
    {
        return m_bitmap && other.m_bitmap && m_bitmap->width == other.m_bitmap->width && m_bitmap->height == other.m_bitmap->height
            && m_bitmap->pixels == other.m_bitmap->pixels;
    }
    int alpha(int x, int y) const
    {
        return static_cast<int>(m_bitmap->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_bitmap->width) + static_cast<std::size_t>(x)] >> 24);
    }
    int width() const { return m_bitmap ? m_bitmap->width : 0; }
    int height() const { return m_bitmap ? m_bitmap->height : 0; }

    struct Rgb {
        int red, green, blue;
    };
    // The colour at a pixel of an opaque picture.
    Rgb at(int x, int y) const
    {
        std::uint32_t pixel = m_bitmap->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_bitmap->width) + static_cast<std::size_t>(x)];
        return { static_cast<int>((pixel >> 16) & 0xff), static_cast<int>((pixel >> 8) & 0xff), static_cast<int>(pixel & 0xff) };
    }
    bool near(int x, int y, Rgb expected, int tolerance = 6) const
    {
        Rgb got = at(x, y);
        return std::abs(got.red - expected.red) <= tolerance && std::abs(got.green - expected.green) <= tolerance
            && std::abs(got.blue - expected.blue) <= tolerance;
    }

private:
    std::shared_ptr<weeapp::ui::Bitmap> m_bitmap;
};

// A 16-bit mono PCM WAV file as the host writes it; nothing for anything else.
struct Wav {
    int sampleRate { 0 };
    std::vector<std::int16_t> samples;
};

inline std::optional<Wav> readWav(const fs::path& file)
{
    const std::string bytes = readFile(file);
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0 || bytes.compare(36, 4, "data") != 0)
        return std::nullopt;
    auto little = [&](std::size_t at, int size) {
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return value;
    };
    if (little(20, 2) != 1 || little(22, 2) != 1 || little(34, 2) != 16 || little(40, 4) != bytes.size() - 44)
        return std::nullopt;
    Wav wav;
    wav.sampleRate = static_cast<int>(little(24, 4));
    wav.samples.resize((bytes.size() - 44) / 2);
    if (!wav.samples.empty())
        std::memcpy(wav.samples.data(), bytes.data() + 44, wav.samples.size() * 2);
    return wav;
}

inline std::size_t loudSamples(const Wav& wav)
{
    return static_cast<std::size_t>(std::count_if(wav.samples.begin(), wav.samples.end(), [](std::int16_t sample) { return std::abs(sample) > 1000; }));
}

// The colour every picture shows where no view draws.
constexpr Picture::Rgb kGround { 41, 43, 48 };

}
