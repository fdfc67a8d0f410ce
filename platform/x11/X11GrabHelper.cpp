#include "platform/x11/X11GrabHelper.h"

#include "platform/x11/X11Log.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

extern char** environ;

namespace tessora::x11 {

using grabprotocol::Report;
using grabprotocol::Request;

namespace {

// Starting the helper and making its grab take milliseconds; these only end waits for one that
// hangs.
constexpr std::chrono::milliseconds kAnswerWait{3000};
constexpr std::chrono::milliseconds kExitWait{1000};

// The helper sits beside the program in the build tree; installed, it is in libexec/tessora/,
// found from bin/ by the relative path the build configured. The first one there is taken (the
// one beside the program when neither is: the warning names it).
std::filesystem::path helperPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path beside = self.parent_path() / grabprotocol::kHelperName;
    const std::filesystem::path installed =
        (self.parent_path() / TESSORA_INSTALLED_HELPER_DIR / grabprotocol::kHelperName)
            .lexically_normal();
    return ::access(beside.c_str(), X_OK) != 0 && ::access(installed.c_str(), X_OK) == 0
               ? installed
               : beside;
}

}  // namespace

GrabHelper::GrabHelper(QByteArray display, std::function<void(const Report&)> onScroll)
    : m_display(std::move(display)), m_onScroll(std::move(onScroll)) {}

GrabHelper::~GrabHelper() {
    stop();
}

bool GrabHelper::start() {
    const std::filesystem::path path = helperPath();
    if (path.empty() || ::access(path.c_str(), X_OK) != 0) {
        if (!m_warnedMissing) {
            qCWarning(lcX11) << "The grab helper" << path.c_str()
                             << "is missing: Alt+scroll stays unavailable";
            m_warnedMissing = true;
        }
        return false;
    }
    // Close-on-exec on both ends: nothing launched from here may hold the helper's socket open
    // beyond the program.
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        qCWarning(lcX11) << "The grab helper cannot be started:" << std::strerror(errno);
        return false;
    }
    int childEnd = ends[1];
    if (childEnd == grabprotocol::kHelperSocket) {
        // Duplicated onto itself it would stay close-on-exec.
        childEnd = ::fcntl(ends[1], F_DUPFD_CLOEXEC, grabprotocol::kHelperSocket + 1);
        ::close(ends[1]);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childEnd, grabprotocol::kHelperSocket);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const std::string program = path.string();
    std::string display = m_display.toStdString();
    char* arguments[] = {const_cast<char*>(program.c_str()), display.data(), nullptr};
    pid_t pid = 0;
    const int failed =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(childEnd);
    if (failed != 0) {
        ::close(ends[0]);
        qCWarning(lcX11) << "The grab helper cannot be started:" << std::strerror(failed);
        return false;
    }
    m_pid = pid;
    m_socket = ends[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_socket, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    return true;
}

void GrabHelper::stop() {
    if (m_notifier) {
        // Possibly from its own signal: it goes once that has returned.
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    if (m_socket >= 0) {
        ::close(m_socket);  // the helper ends when it reads the end of its socket
        m_socket = -1;
    }
    if (m_pid <= 0) {
        return;
    }
    // Not reaped by anyone else, the pid stays the helper's until it is reaped here.
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    pid_t reaped = 0;
    while ((reaped = ::waitpid(m_pid, nullptr, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (reaped == 0) {
        ::kill(m_pid, SIGKILL);  // stopped, say; its grabs end with its connection
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = 0;
}

bool GrabHelper::send(const Request& request) {
    // Never waits: a helper that does not read is as good as gone.
    return m_socket >= 0 && ::send(m_socket, &request, sizeof request,
                                   MSG_DONTWAIT | MSG_NOSIGNAL) == sizeof request;
}

bool GrabHelper::grab(const Request& request) {
    if (m_socket < 0 && !start()) {
        return false;
    }
    if (!send(request)) {
        // It ended before we heard of it: once more with a new one.
        stop();
        if (!start() || !send(request)) {
            return false;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    std::optional<bool> answer;
    while (!answer) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            qCWarning(lcX11) << "The grab helper did not answer; Alt+scroll stays unavailable";
            stop();
            return false;
        }
        pollfd readable{m_socket, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            stop();
            return false;
        }
        // Presses taken for a grab released before this one belong to no one any more.
        const bool alive = readReports([&](const Report& report) {
            if (report.serial == request.serial &&
                (report.kind == Report::Grabbed || report.kind == Report::Refused)) {
                answer = report.kind == Report::Grabbed;
            }
        });
        if (!alive) {
            qCWarning(lcX11) << "The grab helper ended; Alt+scroll stays unavailable";
            stop();
            return false;
        }
    }
    return *answer;
}

void GrabHelper::release(uint32_t serial) {
    Request request;
    request.kind = Request::ReleaseScroll;
    request.serial = serial;
    send(request);
}

bool GrabHelper::readReports(const std::function<void(const Report&)>& take) {
    for (;;) {
        Report report;
        const ssize_t got = ::recv(m_socket, &report, sizeof report, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        }
        if (got <= 0) {
            return false;
        }
        if (got == sizeof report) {
            take(report);
        }
    }
}

void GrabHelper::onReadable() {
    const bool alive = readReports([this](const Report& report) {
        if (report.kind == Report::Scroll && m_onScroll) {
            m_onScroll(report);
        }
    });
    if (!alive) {
        qCWarning(lcX11) << "The grab helper ended; Alt+scroll is unavailable until it is grabbed"
                         << "again";
        stop();
    }
}

}  // namespace tessora::x11
