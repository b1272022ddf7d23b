#include "StandInOpeners.h"

#include "TestFiles.h"

#include <QFile>

#include <sys/stat.h>

namespace orvane::test {

namespace {

// The text as one argument of the shell, whatever it holds.
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

StandInOpeners::StandInOpeners() : oldPath_(qgetenv("PATH")) { qputenv("PATH", dir_.path().toLocal8Bit()); }

StandInOpeners::~StandInOpeners() { qputenv("PATH", oldPath_); }

void StandInOpeners::AddScript(const std::string& name, const std::string& script) {
    const std::string file = Folder() + "/" + name;
    // Builtins only: the search path holds nothing else.
    WriteFileBytes(file, "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; printf '\\n'; } >> " +
                             ShellQuoted(file + ".runs") + "\n" + script + "\n");
    ::chmod(file.c_str(), 0755);
}

void StandInOpeners::Add(const std::string& name, int exitCode, const std::string& output) {
    AddScript(name, "printf '%s' " + ShellQuoted(output) + "\nexit " + std::to_string(exitCode));
}

void StandInOpeners::Remove(const std::string& name) { QFile::remove(QString::fromStdString(Folder() + "/" + name)); }

std::vector<std::vector<std::string>> StandInOpeners::Runs(const std::string& name) const {
    std::vector<std::vector<std::string>> runs;
    std::vector<std::string> run;
    const std::string text = ReadFileBytes(Folder() + "/" + name + ".runs");
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (end == start) {
            runs.push_back(std::move(run));
            run.clear();
        } else {
            run.push_back(text.substr(start, end - start));
        }
    }
    return runs;
}

} // namespace orvane::test
