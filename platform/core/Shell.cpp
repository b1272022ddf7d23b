#include "Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {

struct DesktopShell::Opener {
    pid_t pid = -1;
    int pidfd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QPointer<QObject> context;
    Failed failed;
    ~Opener() {
        notifier.reset();
        if (pidfd >= 0) ::close(pidfd);
    }
};

DesktopShell::DesktopShell() = default;

// The openers still running are left to themselves, never killed.
DesktopShell::~DesktopShell() = default;

bool DesktopShell::Launch(const std::string& program, const std::vector<std::string>& args, QObject* context,
                          Failed failed) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // Its output goes nowhere, it inherits none of our files (a serial port
    // held by an opener would stay open after we close it), and it starts
    // with default signals in a session of its own, so that a Ctrl+C or the
    // end of the program's terminal leaves the application it runs alone.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    posix_spawn_file_actions_addclosefrom_np(&files, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), &files, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) return false;

    auto opener = std::make_unique<Opener>();
    opener->pid = pid;
    opener->pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (opener->pidfd < 0) {
        // A kernel that cannot watch a process: the opener counts as done,
        // and a thread of its own reaps it.
        std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
        return true;
    }
    opener->context = context;
    opener->failed = std::move(failed);
    opener->notifier = std::make_unique<QSocketNotifier>(opener->pidfd, QSocketNotifier::Read);
    Opener* watched = opener.get();
    QObject::connect(opener->notifier.get(), &QSocketNotifier::activated, opener->notifier.get(),
                     [this, watched](QSocketDescriptor, QSocketNotifier::Type) { Ended(watched); });
    openers_.push_back(std::move(opener));
    return true;
}

void DesktopShell::Ended(Opener* opener) {
    int status = 0;
    const pid_t reaped = ::waitpid(opener->pid, &status, WNOHANG);
    if (reaped == 0) return;
    const auto it = std::find_if(openers_.begin(), openers_.end(), [opener](const auto& o) { return o.get() == opener; });
    if (it == openers_.end()) return;
    // Out of the list before the call, which may show a box and run a loop.
    // The notifier is deleted while it is still in its signal, which Qt
    // allows, once it can fire no more.
    const std::unique_ptr<Opener> ended = std::move(*it);
    openers_.erase(it);
    ended->notifier->setEnabled(false);
    // Reaped by someone else (-1), its end is unknown: nothing to say then.
    const bool failed = reaped == opener->pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (failed && ended->context && ended->failed) ended->failed();
}

void DesktopShell::Open(const std::string& target, const std::string& workingFolder, QObject* context,
                        Failed failed) {
    const QString t = QString::fromStdString(target);
    QUrl url(t);
    if (url.scheme().size() <= 1) { // a plain path, relative to the working folder
        QFileInfo fi(QDir(QString::fromStdString(workingFolder)), t);
        url = QUrl::fromLocalFile(fi.absoluteFilePath());
    }
    const std::string what = url.isLocalFile() ? url.toLocalFile().toStdString() : url.toEncoded().toStdString();
    if (Launch("xdg-open", {what}, context, failed)) return;
    // Told as late as an opener's failure would be, never inside the call.
    QPointer<QObject> guard(context);
    QTimer::singleShot(0, context, [guard, failed = std::move(failed)] {
        if (guard && failed) failed();
    });
}

bool DesktopShell::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
}

void DesktopShell::Edit(const std::string& file, QObject* context, Failed failed) {
    // The default application for plain text is the desktop's text editor;
    // a template's own extension may belong to an office suite.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                            QStringLiteral("text/plain")});
    if (query.waitForFinished(3000) && query.exitCode() == 0) {
        QString entry = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
        if (entry.endsWith(QLatin1String(".desktop"))) entry.chop(8);
        if (!entry.isEmpty() && Launch("gtk-launch", {entry.toStdString(), file}, context, failed)) return;
    }
    Open(file, {}, context, std::move(failed));
}

namespace {

QStringList Filters(const std::string& filter) { return QString::fromStdString(filter).split(QStringLiteral(";;")); }

} // namespace

std::string FilterExtension(const std::string& filter, int index) {
    const QStringList filters = Filters(filter);
    QString f = filters.value(index >= 0 && index < filters.size() ? index : 0).trimmed();
    const qsizetype open = f.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && f.endsWith(QLatin1Char(')'))) f = f.mid(open + 1, f.size() - open - 2);
    const QString first = f.split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QLatin1String("*."))) return {};
    const QString ext = first.mid(2);
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?'))) return {};
    return ext.toStdString();
}

std::string WithFilterExtension(const std::string& name, const std::string& filter, int index) {
    if (name.empty() || name.back() == '/') return name;
    const size_t slash = name.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', start + 1) != std::string::npos) return name;
    const std::string ext = FilterExtension(filter, index);
    return ext.empty() ? name : name + "." + ext;
}

std::string NoBrowserMessage(const std::string& address) {
    return "Can't start a web browser for " + address + ". \rEnter the address in a browser of your choice.";
}

bool DesktopShell::Installed(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

} // namespace orvane
