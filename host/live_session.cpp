#include "live_session.h"

#include "sys/run_loop.h"
#include "ui/view_dump.h"

#include <csignal>
#include <ostream>

namespace kavrin::host {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void interrupt(int)
{
    g_interrupted = 1;
}

std::string treeOf(const HostSession& session)
{
    return session.contentView() ? ui::dumpViewTree(*session.contentView()) : std::string();
}

}

int runLiveSession(HostSession& session, const std::filesystem::path& outputFolder, std::ostream& out)
{
    constexpr double kPictureInterval = 0.1;
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    std::error_code ignored;
    std::filesystem::create_directories(outputFolder, ignored);
    std::filesystem::path picture = outputFolder / "live.png";

    session.showView();
    if (session.controller())
        session.controller()->viewDidAppear();
    out << "showing the widget; its picture is " << picture.string() << "; stop with Ctrl-C\n";
    out.flush();
    std::string tree = treeOf(session);
    std::string error;
    while (!g_interrupted) {
        if (!session.renderToFile(picture, error)) {
            out << error << '\n';
            return 1;
        }
        sys::RunLoop& loop = sys::RunLoop::main();
        loop.runUntil(loop.now() + kPictureInterval);
        if (std::string now = treeOf(session); now != tree) {
            tree = now;
            out << "rebuilt\n";
        }
        out.flush();
    }
    return 0;
}

}
