#pragma once
// The desktop's openers (xdg-open, xdg-mime, gtk-launch) as stand-ins: small
// scripts in a private folder that is the whole search path while the object
// lives, so a program run by name is a stand-in or is missing. Each stand-in
// notes the arguments of every run, prints what it was given and ends with
// the exit code it was given.
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace orvane::test {

class StandInOpeners {
public:
    StandInOpeners();
    ~StandInOpeners(); // the search path comes back
    StandInOpeners(const StandInOpeners&) = delete;
    StandInOpeners& operator=(const StandInOpeners&) = delete;

    bool Valid() const { return dir_.isValid(); }
    std::string Folder() const { return dir_.path().toStdString(); }

    // A stand-in that prints `output` and ends with `exitCode`; a later Add
    // of the same name replaces it.
    void Add(const std::string& name, int exitCode, const std::string& output = {});
    // A stand-in that, after noting its run, goes on with the shell `script`.
    void AddScript(const std::string& name, const std::string& script);
    void Remove(const std::string& name);
    // The arguments of each run so far (an empty argument is not told apart
    // from the end of a run).
    std::vector<std::vector<std::string>> Runs(const std::string& name) const;

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

} // namespace orvane::test
